#pragma once
// Private-profile (INI) files, read with the semantics of the Windows profile functions that the
// program relies on: section and key names compared without regard to case, values trimmed of
// blanks, one pair of enclosing double quotes removed, at most 2047 characters, and a key that is
// listed with an empty value distinct from a key that is missing. Bytes are taken as they stand
// (cp1251). Lines may end in CR LF or LF; lines starting with ';' are comments. Read-only.

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

namespace platform {

class TIniFile {
public:
    // Reads the whole file at once; a missing or unreadable file behaves as an empty one.
    explicit TIniFile(const std::string& fileName);
    // Parses text directly (used by tests and fuzzing).
    static TIniFile FromText(const std::string& text);

    bool Loaded() const { return FileRead; }
    bool SectionExists(const std::string& section) const;
    bool ValueExists(const std::string& section, const std::string& key) const;
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) const;
    // Decimal, or hexadecimal after 0x / 0X; a missing or malformed number gives defaultValue.
    std::int32_t ReadInteger(const std::string& section, const std::string& key,
                             std::int32_t defaultValue) const;

    static constexpr std::size_t MaxValueLength = 2047;

private:
    TIniFile() = default;
    void Parse(const std::string& text);
    std::optional<std::string> Find(const std::string& section, const std::string& key) const;

    // Keyed by the upper-case name: one hash look-up per line and per query, where a search
    // through the earlier names made a file of many sections take minutes.
    using TEntries = std::unordered_map<std::string, std::string>;
    std::unordered_map<std::string, TEntries> Sections;
    bool FileRead = false;
};

// Integer parsing shared by the profile and configuration readers: decimal with an optional sign,
// or hexadecimal after 0x / 0X. Empty optional for anything else or for overflow.
std::optional<std::int32_t> ParseInteger(const std::string& text);

} // namespace platform
