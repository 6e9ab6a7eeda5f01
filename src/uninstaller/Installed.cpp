#include "uninstaller/Installed.h"

#include "platform/Files.h"

#include <fstream>

const char* const PackageKey = "\\SOFTWARE\\Orvisoft\\Zarvo\\Package";

namespace {

const char* const ProductPathKey = "\\SOFTWARE\\Orvisoft\\Zarvo\\Path";
const char* const ResultKey = "\\SOFTWARE\\Orvisoft\\Zarvo\\Files\\Result";

bool IsAbsolute(const std::string& path) {
    return !path.empty() && (path[0] == '/' || path[0] == '\\');
}

bool IsBlank(const std::string& line) {
    return line.find_first_not_of(" \t\r") == std::string::npos;
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

} // namespace

std::string InstalledPackage(IUninstallTarget& target) {
    if (!target.KeyExists(PackageKey))
        return {};
    return target.ReadString(PackageKey, "Package");
}

std::string PackageRemovalText(const TUninstallTexts& texts, const std::string& package) {
    return texts.strPackage + "\r\n" +
           (package == "rpm" ? texts.strPackageRemoveRpm : texts.strPackageRemoveDeb);
}

std::string FindResultsFile(IUninstallTarget& target) {
    std::string folder;
    if (target.KeyExists(ProductPathKey))
        folder = platform::IncludeTrailingBackslash(target.ReadString(ProductPathKey, "Path"));
    if (!target.KeyExists(ResultKey))
        return {};
    std::string result = target.ReadString(ResultKey, "Result");
    // As the results step takes it: a full name as it is, a bare one in the program folder.
    std::string file;
    if (IsAbsolute(result))
        file = result;
    else if (!result.empty() && IsAbsolute(folder))
        file = folder + result;
    return !file.empty() && target.FileExists(file) ? file : std::string();
}

int CountResultBlocks(const std::string& text) {
    int blocks = 0;
    bool afterBlank = false;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t nl = text.find('\n', pos);
        std::string line = text.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos);
        bool blank = IsBlank(line);
        if (!blank && afterBlank)
            ++blocks;
        afterBlank = blank;
        if (nl == std::string::npos)
            break;
        pos = nl + 1;
    }
    return blocks;
}

int CountResultBlocksInFile(const std::string& path) {
    // A year of a lab's sessions may be larger than the settings files: read in pieces.
    std::ifstream in(platform::NativePath(path), std::ios::binary);
    if (!in)
        return -1;
    int blocks = 0;
    bool afterBlank = false;
    std::string line;
    while (std::getline(in, line)) {
        bool blank = IsBlank(line);
        if (!blank && afterBlank)
            ++blocks;
        afterBlank = blank;
    }
    return in.bad() ? -1 : blocks;
}

std::string ResultsLine(const TUninstallTexts& texts, const std::string& file, int blocks,
                        bool keep) {
    std::string text = keep ? texts.strResultsKept : texts.strResultsDeleted;
    text = ReplaceAll(text, "%2", blocks < 0 ? "?" : std::to_string(blocks));
    return ReplaceAll(text, "%1", file);
}
