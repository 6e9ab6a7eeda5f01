#include "platform/Profile.h"

#include "platform/Exception.h"
#include "platform/Files.h"
#include "platform/Lines.h"
#include "platform/Text.h"

#include <limits>

namespace platform {

TIniFile::TIniFile(const std::string& fileName) {
    try {
        Parse(ReadFileBytes(fileName, MaxSettingsFileSize));
        FileRead = true;
    } catch (const EInOutError&) {
        // A file that cannot be read gives every reader its default, as the profile functions do.
    }
}

TIniFile TIniFile::FromText(const std::string& text) {
    TIniFile ini;
    ini.Parse(text);
    ini.FileRead = true;
    return ini;
}

void TIniFile::Parse(const std::string& text) {
    TEntries* current = nullptr;
    // Editors on Linux may save with a UTF-8 byte-order mark, which would hide the first section.
    const std::size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    for (const std::string_view raw : SplitLines(std::string_view(text).substr(start))) {
        std::string line = Trim(std::string(raw));
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[') {
            std::size_t close = line.find(']');
            std::string name =
                Trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
            // A section listed twice is one section; its first entries come first.
            current = &Sections[AnsiUpperCase(name)];
            continue;
        }
        std::size_t eq = line.find('=');
        if (!current || eq == std::string::npos)
            continue;
        std::string key = Trim(line.substr(0, eq));
        std::string value = Trim(line.substr(eq + 1));
        if (key.empty())
            continue;
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.size() > MaxValueLength)
            value.resize(MaxValueLength);
        // The first entry of a name wins, as the profile functions find it first.
        current->emplace(AnsiUpperCase(key), std::move(value));
    }
}

std::optional<std::string> TIniFile::Find(const std::string& section,
                                          const std::string& key) const {
    auto s = Sections.find(AnsiUpperCase(section));
    if (s == Sections.end())
        return std::nullopt;
    auto e = s->second.find(AnsiUpperCase(key));
    if (e == s->second.end())
        return std::nullopt;
    return e->second;
}

bool TIniFile::SectionExists(const std::string& section) const {
    return Sections.count(AnsiUpperCase(section)) != 0;
}

bool TIniFile::ValueExists(const std::string& section, const std::string& key) const {
    return Find(section, key).has_value();
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const {
    return Find(section, key).value_or(defaultValue);
}

std::int32_t TIniFile::ReadInteger(const std::string& section, const std::string& key,
                                   std::int32_t defaultValue) const {
    std::optional<std::string> text = Find(section, key);
    if (!text)
        return defaultValue;
    return ParseInteger(*text).value_or(defaultValue);
}

std::optional<std::int32_t> ParseInteger(const std::string& text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    unsigned base = 10;
    if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size())
        return std::nullopt;
    // The magnitude may reach 2^31 for the most negative number.
    const std::uint64_t limit =
        static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()) + (negative ? 1 : 0);
    std::uint64_t value = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        unsigned digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned>(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = static_cast<unsigned>(c - 'a' + 10);
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = static_cast<unsigned>(c - 'A' + 10);
        else
            return std::nullopt;
        value = value * base + digit;
        if (value > limit)
            return std::nullopt;
    }
    return negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(value))
                    : static_cast<std::int32_t>(value);
}

} // namespace platform
