#pragma once
// Base of the program's own exceptions. The message is a code page 1251 byte string, as every
// text inside the program; it is turned into Unicode only when it reaches the screen.

#include <exception>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : Message(std::move(message)) {}
    const char* what() const noexcept override { return Message.c_str(); }
    const std::string& GetMessage() const { return Message; }

private:
    std::string Message;
};

// Silent abort of an operation; carries a message for the standard exception report.
class EAbort : public Exception {
public:
    using Exception::Exception;
};

// A registry value of the wrong type, or a registry store that cannot be read.
class ERegistryError : public Exception {
public:
    using Exception::Exception;
};

// A file that cannot be opened, read or written by the platform's file services.
class EInOutError : public Exception {
public:
    using Exception::Exception;
};

// A file larger than its kind may be, refused before it is read whole.
class EFileTooLarge : public EInOutError {
public:
    using EInOutError::EInOutError;
};
