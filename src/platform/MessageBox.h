#pragma once
// Message boxes with Windows flags and results. Who presents them is pluggable: the programs use
// Qt boxes, the tools and --print-config write to standard error, tests install a recorder.

#include <memory>
#include <string>

namespace platform {

enum : unsigned {
    MB_OK = 0x00,
    MB_OKCANCEL = 0x01,
    MB_YESNO = 0x04,
    MB_ICONERROR = 0x10, // also MB_ICONHAND, MB_ICONSTOP
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30, // also MB_ICONWARNING
    MB_ICONINFORMATION = 0x40,
    MB_ICONMASK = 0xF0,
    MB_TYPEMASK = 0x0F,
};

enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

class IMessagePresenter {
public:
    virtual ~IMessagePresenter() = default;
    // text and caption are cp1251; returns IDOK, IDYES, IDNO ...
    virtual int Show(const std::string& text, const std::string& caption, unsigned flags) = 0;
};

// Shows a box through the current presenter (the Qt one unless another was installed).
int MessageBox(const std::string& text, const std::string& caption, unsigned flags);

// Installs a presenter and returns the previous one (nullptr means the default Qt presenter).
std::unique_ptr<IMessagePresenter> SetMessagePresenter(std::unique_ptr<IMessagePresenter> p);
IMessagePresenter* CurrentMessagePresenter();

// QMessageBox owned by the active window; CR LF shown as line breaks.
class TQtMessagePresenter : public IMessagePresenter {
public:
    int Show(const std::string& text, const std::string& caption, unsigned flags) override;
};

// Standard error, UTF-8: "caption: text". Answers questions with the given default.
class TConsoleMessagePresenter : public IMessagePresenter {
public:
    explicit TConsoleMessagePresenter(int answer = IDYES) : Answer(answer) {}
    int Show(const std::string& text, const std::string& caption, unsigned flags) override;
    int Shown() const { return Count; }

private:
    int Answer;
    int Count = 0;
};

} // namespace platform
