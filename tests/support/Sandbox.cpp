#include "support/Sandbox.h"

#include "app/Globals.h"
#include "app/Strings.h"
#include "support/MessageRecorder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {
void CopyRecursively(const QString& from, const QString& to) {
    QFileInfo info(from);
    if (info.isDir()) {
        QDir().mkpath(to);
        for (const QString& e : QDir(from).entryList(QDir::AllEntries | QDir::NoDotAndDotDot))
            CopyRecursively(from + "/" + e, to + "/" + e);
    } else {
        QFile::remove(to);
        QFile::copy(from, to);
    }
}
} // namespace

TSandbox::TSandbox(platform::TScreenMetrics screen) {
    EXPECT_TRUE(Dir.isValid());
    QDir().mkpath(QString::fromStdString(ContentDir()));
    QDir().mkpath(QString::fromStdString(WinDir()));
    QDir().mkpath(QString::fromStdString(Home()));
    SetEnv("ZARVO_REGISTRY", RegistryFile());
    SetEnv("ZARVO_WINDIR", WinDir().substr(0, WinDir().size() - 1));
    SetEnv("ZARVO_CONTENT_DIR", ContentDir());
    SetEnv("HOME", Home());
    SetEnv("XDG_DESKTOP_DIR", Home() + "Desktop");
    SetEnv("XDG_DATA_HOME", Home() + ".local/share");
    SetEnv("ZARVO_SCREEN", std::nullopt);
    platform::SetScreenOverride(screen);

    GlobalFailure = false;
    ::ContentDir = ContentDir();
    SetDefaultInterfaceStrings();
    Recorder().Reset();
}

TSandbox::~TSandbox() {
    for (auto& [name, value] : SavedEnv) {
        if (value)
            setenv(name.c_str(), value->c_str(), 1);
        else
            unsetenv(name.c_str());
    }
    platform::SetScreenOverride(std::nullopt);
    GlobalFailure = false;
    ::ContentDir.clear();
}

std::string TSandbox::Root() const {
    return Dir.path().toStdString() + "/";
}

std::string TSandbox::Write(const std::string& relative, const std::string& bytes) {
    std::string path = Root() + relative;
    QDir().mkpath(QFileInfo(QString::fromStdString(path)).absolutePath());
    QFile f(QString::fromStdString(path));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path;
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return path;
}

void TSandbox::WriteRegistry(const std::string& body) {
    Write("registry.reg", "Windows Registry Editor Version 5.00\r\n\r\n" + body);
}

std::string TSandbox::Read(const std::string& relative) const {
    QFile f(QString::fromStdString(Root() + relative));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QByteArray b = f.readAll();
    return std::string(b.constData(), static_cast<std::size_t>(b.size()));
}

bool TSandbox::Exists(const std::string& relative) const {
    return QFileInfo::exists(QString::fromStdString(Root() + relative));
}

void TSandbox::CopyBuiltContent(const std::string& name) {
    CopyRecursively(QString::fromStdString(std::string(ZARVO_CONTENT_BUILD_DIR) + name),
                    QString::fromStdString(ContentDir() + name));
}

void TSandbox::SetEnv(const char* name, const std::optional<std::string>& value) {
    if (!SavedEnv.count(name)) {
        const char* old = std::getenv(name);
        SavedEnv[name] = old ? std::optional<std::string>(old) : std::nullopt;
    }
    if (value)
        setenv(name, value->c_str(), 1);
    else
        unsetenv(name);
}
