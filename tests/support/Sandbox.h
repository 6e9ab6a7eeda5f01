#pragma once
// A private world for one test: a temporary folder holding a content directory, a Windows
// directory, a registry file and a home, with the environment pointed at them, the global state
// of the trainer reset and the screen size overridden. Everything is restored on destruction.

#include "platform/Screen.h"

#include <QTemporaryDir>
#include <map>
#include <optional>
#include <string>

class TSandbox {
public:
    explicit TSandbox(platform::TScreenMetrics screen = {1024, 768, 32});
    ~TSandbox();
    TSandbox(const TSandbox&) = delete;
    TSandbox& operator=(const TSandbox&) = delete;

    // Native folder of the sandbox itself, with a trailing '/'.
    std::string Root() const;
    // Native paths, each with a trailing '/'.
    std::string ContentDir() const { return Root() + "content/"; }
    std::string WinDir() const { return Root() + "windows/"; }
    std::string Home() const { return Root() + "home/"; }
    std::string RegistryFile() const { return Root() + "registry.reg"; }

    // Writes bytes to a file under the sandbox root (folders created), returns its native path.
    std::string Write(const std::string& relative, const std::string& bytes);
    // Writes the registry file: the header line is added; `body` holds keys and values.
    void WriteRegistry(const std::string& body);
    std::string Read(const std::string& relative) const;
    bool Exists(const std::string& relative) const;
    // Copies a file or folder of the built content directory into the sandbox's content dir.
    void CopyBuiltContent(const std::string& name);

    void SetEnv(const char* name, const std::optional<std::string>& value);

private:
    QTemporaryDir Dir;
    std::map<std::string, std::optional<std::string>> SavedEnv;
};
