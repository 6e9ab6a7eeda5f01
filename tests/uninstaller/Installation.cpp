#include "Installation.h"

#include <QFileInfo>
#include <sys/stat.h>

TInstallation::TInstallation(TSandbox& box, int listed) : Box(box) {
    Box.Write("windows/Config.fcf", "[Files]\r\nVarLib=CD\r\n");
    for (int i = 0; i < listed; ++i) {
        std::string name = i == 0 ? "RFPF/lay1.fpf" : "file" + std::to_string(i) + ".dat";
        Listed.push_back(Box.Write("prog/" + name, "x"));
    }
    WriteLog(Listed);
    Box.Write("prog/Zarvo.rez", "results");
    ::chmod((Program() + "Zarvo.rez").c_str(), 0444);
    Box.Write("home/Desktop/zarvo.desktop", "[Desktop Entry]\n");
    Box.Write("home/.local/share/applications/ZARVO/zarvo.desktop", "[Desktop Entry]\n");
    Box.Write("home/.local/share/applications/ZARVO/uninstall zarvo.desktop", "[Desktop Entry]\n");
    WriteRegistry();
}

void TInstallation::WriteRegistry(const std::string& extra) {
    Box.WriteRegistry(
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zarvo]\r\n"
        "\"DisplayName\"=\"Zarvo\"\r\n\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvisoft\\Zarvo\\Path]\r\n\"Path\"=\"" +
        Program() +
        "\"\r\n\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvisoft\\Zarvo\\Language]\r\n"
        "\"Language\"=\"Russian\"\r\n\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvisoft\\Zarvo\\Files\\Result]\r\n"
        "\"Result\"=\"Zarvo.rez\"\r\n\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvisoft\\Zarvo\\Files\\VarLib\\Length]\r\n"
        "\"Length\"=dword:0000000c\r\n\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other\\Thing]\r\n\"Keep\"=\"me\"\r\n\r\n" +
        extra);
}

void TInstallation::WriteLog(const std::vector<std::string>& lines) {
    std::string log;
    for (const std::string& l : lines)
        log += l + "\r\n";
    Box.Write("prog/Uninstall.log", log);
}

bool TInstallation::Exists(const std::string& native) const {
    struct stat st;
    return ::lstat(native.c_str(), &st) == 0;
}

bool TInstallation::RegistryHas(const std::string& key) const {
    return Registry().find("[HKEY_LOCAL_MACHINE\\" + key + "]") != std::string::npos;
}
