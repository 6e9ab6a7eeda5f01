#include "platform/Registry.h"

#include "platform/Exception.h"
#include "platform/Files.h"
#include "platform/Text.h"

#include <QString>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

const char* const HeaderLine = "Windows Registry Editor Version 5.00";
// Older exports: ANSI text in the system's code page, for us code page 1251.
const char* const OldHeaderLine = "REGEDIT4";
const char* const RootName = "HKEY_LOCAL_MACHINE";

enum class TLineKind { Other, Key, ForeignKey, DeleteKey, Value, DeleteValue };
enum class TValueType { String, Dword, Raw };
enum class TEncoding { Utf8, Utf8Bom, Utf16, Ansi };

// One logical line of the file: its exact text (line endings and continuation lines included),
// so that everything the program does not change is written back byte for byte.
struct TLine {
    std::string Raw; // UTF-8
    TLineKind Kind = TLineKind::Other;
    std::string Id;   // key: its path, upper case, cp1251; value: its name likewise
    std::string Path; // key: path as written, cp1251
    TValueType Type = TValueType::Raw;
    std::string Text; // string value, cp1251
    std::uint32_t Dword = 0;
};

std::string KeyId(const std::string& path) {
    return AnsiUpperCase(path);
}

// "A\\B\\\\C\\" -> "A\\B\\C": empty components do not name keys.
std::string NormalizePath(const std::string& path) {
    std::string out;
    std::size_t pos = 0;
    while (pos <= path.size()) {
        std::size_t sep = path.find('\\', pos);
        if (sep == std::string::npos)
            sep = path.size();
        if (sep > pos) {
            if (!out.empty())
                out += '\\';
            out += path.substr(pos, sep - pos);
        }
        pos = sep + 1;
    }
    return out;
}

bool IsSubKeyOf(const std::string& id, const std::string& parentId) {
    if (parentId.empty())
        return !id.empty();
    return id.size() > parentId.size() && id.compare(0, parentId.size(), parentId) == 0 &&
           id[parentId.size()] == '\\';
}

// A quoted .reg string starting at s[pos] == '"'; on success pos is past the closing quote.
bool ParseQuoted(const std::string& s, std::size_t& pos, std::string& out) {
    out.clear();
    for (std::size_t i = pos + 1; i < s.size(); ++i) {
        char c = s[i];
        if (c == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) {
            out += s[++i];
        } else if (c == '"') {
            pos = i + 1;
            return true;
        } else {
            out += c;
        }
    }
    return false;
}

std::string Quote(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    return out + '"';
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsBlankTail(const std::string& s, std::size_t pos) {
    for (; pos < s.size(); ++pos)
        if (s[pos] != ' ' && s[pos] != '\t' && s[pos] != '\r' && s[pos] != '\n')
            return false;
    return true;
}

// After a complete value the editor allows blanks and a ';' comment.
bool IsValueTail(const std::string& s, std::size_t pos) {
    while (pos < s.size() && IsBlank(s[pos]))
        ++pos;
    return (pos < s.size() && s[pos] == ';') || IsBlankTail(s, pos);
}

bool StartsWithNoCase(const std::string& s, std::size_t pos, const char* prefix) {
    for (std::size_t i = 0; prefix[i]; ++i)
        if (pos + i >= s.size() || AnsiUpperChar(s[pos + i]) != AnsiUpperChar(prefix[i]))
            return false;
    return true;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string TrimBlanks(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b]))
        ++b;
    while (e > b && IsBlank(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

// The physical line without its comment and blanks: what decides whether a hex value goes on.
std::string HexBody(std::string piece) {
    std::size_t semi = piece.find(';');
    if (semi != std::string::npos)
        piece.resize(semi);
    while (!piece.empty() && (piece.back() == '\r' || piece.back() == '\n'))
        piece.pop_back();
    return TrimBlanks(piece);
}

// A line that can go on a hex value: hex digits, commas and blanks, perhaps a final backslash
// and a comment. Anything else (a key header, a value) starts a line of its own, so a damaged
// value cannot swallow the lines after it.
bool IsHexContinuation(const std::string& physical) {
    const std::string body = HexBody(physical);
    if (body.empty() || HexDigit(body[0]) < 0)
        return false;
    for (char c : body)
        if (HexDigit(c) < 0 && c != ',' && c != '\\' && !IsBlank(c))
            return false;
    return true;
}

// The bytes of a hex value from `pos` (just after the colon) to the end of the logical line.
bool ParseHexBytes(const std::string& raw, std::size_t pos, std::string& out) {
    out.clear();
    while (pos < raw.size()) {
        std::size_t end = raw.find_first_of("\r\n", pos);
        if (end == std::string::npos)
            end = raw.size();
        std::string body = HexBody(raw.substr(pos, end - pos));
        pos = end;
        while (pos < raw.size() && (raw[pos] == '\r' || raw[pos] == '\n'))
            ++pos;
        if (!body.empty() && body.back() == '\\')
            body = TrimBlanks(body.substr(0, body.size() - 1));
        std::size_t p = 0;
        while (p < body.size()) {
            std::size_t comma = body.find(',', p);
            const std::string token = TrimBlanks(
                body.substr(p, comma == std::string::npos ? std::string::npos : comma - p));
            if (token.empty() || token.size() > 2)
                return false;
            int value = 0;
            for (char c : token) {
                if (HexDigit(c) < 0)
                    return false;
                value = value * 16 + HexDigit(c);
            }
            out += static_cast<char>(value);
            if (comma == std::string::npos)
                break;
            p = comma + 1;
        }
    }
    return true;
}

// An expandable (or plain) string stored as hex, as the editor exports it: UTF-16 in a version 5
// file, the code page in a REGEDIT4 one; the text ends at its terminating zero.
bool DecodeHexString(const std::string& bytes, bool ansi, std::string& text) {
    if (ansi) {
        text = bytes.substr(0, bytes.find('\0'));
        return true;
    }
    std::u16string units;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        char16_t u = static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                           (static_cast<unsigned char>(bytes[i + 1]) << 8));
        if (u == 0)
            break;
        units.push_back(u);
    }
    text = ToAnsi(QString::fromUtf16(units.data(), static_cast<qsizetype>(units.size())));
    return true;
}

void Classify(TLine& line, bool ansi) {
    const std::string& raw = line.Raw;
    std::size_t b = 0;
    while (b < raw.size() && IsBlank(raw[b]))
        ++b;
    if (b >= raw.size())
        return;
    if (raw[b] == '[') {
        std::size_t close = raw.rfind(']');
        if (close == std::string::npos || close < b || !IsBlankTail(raw, close + 1))
            return;
        std::string inner = Utf8ToAnsi(raw.substr(b + 1, close - b - 1));
        const bool deletion = !inner.empty() && inner[0] == '-';
        if (deletion)
            inner.erase(0, 1);
        std::size_t sep = inner.find('\\');
        std::string root = inner.substr(0, sep);
        if (AnsiSameText(root, RootName) || AnsiSameText(root, "HKLM")) {
            line.Kind = deletion ? TLineKind::DeleteKey : TLineKind::Key;
            line.Path = NormalizePath(sep == std::string::npos ? "" : inner.substr(sep + 1));
            line.Id = KeyId(line.Path);
        } else {
            // Other roots, and their deletions: kept in the file, ignored here.
            line.Kind = TLineKind::ForeignKey;
        }
        return;
    }
    std::string name;
    std::size_t pos = b;
    if (raw[pos] == '@') {
        ++pos;
    } else if (raw[pos] != '"' || !ParseQuoted(raw, pos, name)) {
        return;
    }
    while (pos < raw.size() && IsBlank(raw[pos]))
        ++pos;
    if (pos >= raw.size() || raw[pos] != '=')
        return;
    ++pos;
    while (pos < raw.size() && IsBlank(raw[pos]))
        ++pos;
    if (pos < raw.size() && raw[pos] == '"') {
        std::string text;
        if (!ParseQuoted(raw, pos, text) || !IsValueTail(raw, pos))
            return;
        line.Type = TValueType::String;
        line.Text = Utf8ToAnsi(text);
    } else if (pos < raw.size() && raw[pos] == '-') {
        if (!IsValueTail(raw, pos + 1))
            return;
        line.Kind = TLineKind::DeleteValue;
        line.Id = KeyId(Utf8ToAnsi(name));
        return;
    } else if (StartsWithNoCase(raw, pos, "dword:")) {
        pos += 6;
        while (pos < raw.size() && IsBlank(raw[pos]))
            ++pos;
        std::size_t digits = 0;
        std::uint32_t v = 0;
        for (; pos < raw.size() && HexDigit(raw[pos]) >= 0; ++pos) {
            v = v * 16 + static_cast<std::uint32_t>(HexDigit(raw[pos]));
            ++digits;
        }
        if (digits == 0 || digits > 8 || !IsValueTail(raw, pos))
            return;
        line.Type = TValueType::Dword;
        line.Dword = v;
    } else if (StartsWithNoCase(raw, pos, "hex(2):") || StartsWithNoCase(raw, pos, "hex(1):")) {
        std::string bytes;
        if (!ParseHexBytes(raw, pos + 7, bytes))
            return;
        line.Type = TValueType::String;
        DecodeHexString(bytes, ansi, line.Text);
    } else if (StartsWithNoCase(raw, pos, "hex")) {
        // Other kinds of data are kept as written; nothing reads them.
        line.Type = TValueType::Raw;
    } else {
        return;
    }
    line.Kind = TLineKind::Value;
    line.Id = KeyId(Utf8ToAnsi(name));
}

bool IsHexValueLine(const std::string& raw) {
    std::size_t eq = raw.find('=');
    if (eq == std::string::npos)
        return false;
    std::size_t pos = eq + 1;
    while (pos < raw.size() && IsBlank(raw[pos]))
        ++pos;
    return StartsWithNoCase(raw, pos, "hex");
}

std::string TrimRight(const std::string& s) {
    std::size_t e = s.size();
    while (e > 0 && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r' || s[e - 1] == '\n'))
        --e;
    return s.substr(0, e);
}

// The first line of the text without its line end and surrounding blanks.
std::string FirstLine(const std::string& text) {
    return TrimBlanks(text.substr(0, text.find_first_of("\r\n")));
}

std::string DecodeText(const std::string& bytes, TEncoding& encoding) {
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        encoding = TEncoding::Utf16;
        std::u16string units;
        units.reserve(bytes.size() / 2);
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
            units.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                                  (static_cast<unsigned char>(bytes[i + 1]) << 8)));
        QByteArray b =
            QString::fromUtf16(units.data(), static_cast<qsizetype>(units.size())).toUtf8();
        return std::string(b.constData(), static_cast<std::size_t>(b.size()));
    }
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        encoding = TEncoding::Utf8Bom;
        return bytes.substr(3);
    }
    if (FirstLine(bytes) == OldHeaderLine) {
        encoding = TEncoding::Ansi;
        return AnsiToUtf8(bytes);
    }
    encoding = TEncoding::Utf8;
    return bytes;
}

std::string EncodeText(const std::string& text, TEncoding encoding) {
    switch (encoding) {
    case TEncoding::Utf8:
        return text;
    case TEncoding::Utf8Bom:
        return "\xEF\xBB\xBF" + text;
    case TEncoding::Ansi:
        return Utf8ToAnsi(text);
    case TEncoding::Utf16:
        break;
    }
    QString u = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    std::string out = "\xFF\xFE";
    out.reserve(2 + 2 * static_cast<std::size_t>(u.size()));
    for (QChar c : u) {
        out += static_cast<char>(c.unicode() & 0xFF);
        out += static_cast<char>(c.unicode() >> 8);
    }
    return out;
}

} // namespace

// The parsed registry file, and what importing it would leave in the registry.
class TRegistryStore {
public:
    std::vector<TLine> Lines;
    TEncoding Encoding = TEncoding::Utf8;
    std::string Eol = "\r\n";
    // The file starts with one of the editor's headers; without one the editor imports nothing
    // from it, and neither do we.
    bool HasHeader = false;
    // Nothing but blanks (or no file): an empty registry that may be written.
    bool Blank = true;
    // The decoded text gives the file's bytes back exactly; only then may it be rewritten.
    bool Exact = true;

    void Parse(const std::string& bytes) {
        Lines.clear();
        Keys.clear();
        const std::string text = DecodeText(bytes, Encoding);
        Exact = EncodeText(text, Encoding) == bytes;
        Blank = TrimRight(text).find_first_not_of(" \t\r\n") == std::string::npos;
        const std::string first = FirstLine(text);
        HasHeader = first == HeaderLine || first == OldHeaderLine;
        const bool ansi = Encoding == TEncoding::Ansi;

        std::size_t firstEnd = text.find_first_of("\r\n");
        if (firstEnd != std::string::npos)
            Eol = text.compare(firstEnd, 2, "\r\n") == 0 ? "\r\n" : text.substr(firstEnd, 1);

        // Physical lines end in CR LF, LF or a lone CR (old Macintosh editors).
        std::size_t pos = 0;
        bool continuing = false;
        while (pos < text.size()) {
            std::size_t end = text.find_first_of("\r\n", pos);
            if (end == std::string::npos)
                end = text.size();
            else if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
                end += 2;
            else
                ++end;
            std::string physical = text.substr(pos, end - pos);
            pos = end;
            // Hex values go on over lines that end in a backslash.
            const std::string body = HexBody(physical);
            const bool goesOn = !body.empty() && body.back() == '\\';
            if (continuing && IsHexContinuation(physical)) {
                Lines.back().Raw += physical;
            } else {
                if (!Lines.empty())
                    Classify(Lines.back(), ansi);
                Lines.push_back({});
                Lines.back().Raw = std::move(physical);
            }
            continuing = goesOn && IsHexValueLine(Lines.back().Raw);
        }
        if (!Lines.empty())
            Classify(Lines.back(), ansi);
        if (!HasHeader)
            for (TLine& l : Lines)
                l.Kind = TLineKind::Other;
        Index();
    }

    std::string Serialize() const {
        std::string text;
        for (const TLine& l : Lines)
            text += l.Raw;
        return EncodeText(text, Encoding);
    }

    bool KeyExists(const std::string& path) const {
        std::string id = KeyId(path);
        return id.empty() || Keys.count(id) != 0;
    }

    bool HasSubKeys(const std::string& path) const {
        std::string id = KeyId(path);
        auto it = id.empty() ? Keys.upper_bound(std::string()) : Keys.lower_bound(id + '\\');
        return it != Keys.end() && IsSubKeyOf(it->first, id);
    }

    const TLine* FindValue(const std::string& path, const std::string& name) const {
        auto key = Keys.find(KeyId(path));
        if (key == Keys.end())
            return nullptr;
        auto value = key->second.Values.find(KeyId(name));
        return value == key->second.Values.end() ? nullptr : &Lines[value->second];
    }

    void AddKeyBlock(const std::string& path) {
        if (!HasHeader) {
            // A blank file gets the header in front of whatever blanks it held.
            TLine header;
            header.Raw = std::string(HeaderLine) + Eol;
            Lines.insert(Lines.begin(), header);
            HasHeader = true;
            Index();
        }
        std::string& last = Lines.back().Raw;
        if (!last.empty() && last.back() != '\n' && last.back() != '\r')
            last += Eol;
        TLine blank;
        blank.Raw = Eol;
        Lines.push_back(blank);
        TLine key;
        key.Raw =
            "[" + std::string(RootName) + (path.empty() ? "" : "\\" + AnsiToUtf8(path)) + "]" + Eol;
        Classify(key, Encoding == TEncoding::Ansi);
        Lines.push_back(key);
        Apply(Lines.size() - 1);
        Blank = false;
    }

    void SetValue(const std::string& path, TLine value) {
        const std::string keyId = KeyId(path);
        auto key = Keys.find(keyId);
        if (key != Keys.end()) {
            auto existing = key->second.Values.find(value.Id);
            if (existing != key->second.Values.end()) {
                // Keep the line ending the old line had.
                std::string& old = Lines[existing->second].Raw;
                std::size_t eolAt = old.find_last_not_of("\r\n");
                value.Raw += eolAt == std::string::npos ? std::string() : old.substr(eolAt + 1);
                Lines[existing->second] = value;
                return;
            }
        }
        // New values go after the last non-blank line of the key's last block that still
        // counts; a key left only by its subkeys, or deleted after its block, gets a new block.
        std::size_t insertAt = std::string::npos;
        if (key != Keys.end() && key->second.LastBlock != std::string::npos) {
            insertAt = key->second.LastBlock + 1;
            for (std::size_t i = insertAt; i < Lines.size(); ++i) {
                const TLineKind k = Lines[i].Kind;
                if (k == TLineKind::Key || k == TLineKind::ForeignKey || k == TLineKind::DeleteKey)
                    break;
                if (!TrimRight(Lines[i].Raw).empty())
                    insertAt = i + 1;
            }
        }
        if (insertAt == std::string::npos) {
            AddKeyBlock(path);
            insertAt = Lines.size();
        }
        std::string& before = Lines[insertAt - 1].Raw;
        if (!before.empty() && before.back() != '\n' && before.back() != '\r')
            before += Eol;
        value.Raw += Eol;
        Lines.insert(Lines.begin() + static_cast<long>(insertAt), value);
        Index();
    }

    // Removes the blocks of the key and of its subkeys; false when there was nothing to remove.
    bool RemoveKey(const std::string& path) {
        std::string id = KeyId(path);
        if (id.empty() || !KeyExists(path))
            return false;
        std::vector<TLine> kept;
        bool dropping = false;
        for (TLine& l : Lines) {
            if (l.Kind == TLineKind::Key)
                dropping = l.Id == id || IsSubKeyOf(l.Id, id);
            else if (l.Kind == TLineKind::ForeignKey || l.Kind == TLineKind::DeleteKey)
                dropping = false;
            if (!dropping)
                kept.push_back(std::move(l));
        }
        Lines = std::move(kept);
        Index();
        return true;
    }

private:
    struct TKey {
        std::map<std::string, std::size_t> Values; // name id -> line
        std::size_t LastBlock = std::string::npos; // its own last header that still counts
    };
    // What importing the lines in order leaves: a key header creates the key and its parents,
    // a deletion removes a key with its subkeys, a later value replaces an earlier one.
    std::map<std::string, TKey> Keys;
    std::string CurrentKey;
    bool InKey = false;

    void Index() {
        Keys.clear();
        InKey = false;
        for (std::size_t i = 0; i < Lines.size(); ++i)
            Apply(i);
    }

    void Apply(std::size_t i) {
        const TLine& l = Lines[i];
        switch (l.Kind) {
        case TLineKind::Key: {
            for (std::size_t sep = l.Id.find('\\'); sep != std::string::npos;
                 sep = l.Id.find('\\', sep + 1))
                Keys[l.Id.substr(0, sep)];
            if (!l.Id.empty())
                Keys[l.Id].LastBlock = i;
            CurrentKey = l.Id;
            InKey = true;
            break;
        }
        case TLineKind::DeleteKey:
            // The root itself cannot be deleted.
            if (!l.Id.empty()) {
                Keys.erase(l.Id);
                auto it = Keys.lower_bound(l.Id + '\\');
                while (it != Keys.end() && IsSubKeyOf(it->first, l.Id))
                    it = Keys.erase(it);
            }
            InKey = false;
            break;
        case TLineKind::ForeignKey:
            InKey = false;
            break;
        case TLineKind::Value:
            if (InKey)
                Keys[CurrentKey].Values[l.Id] = i;
            break;
        case TLineKind::DeleteValue:
            if (InKey)
                Keys[CurrentKey].Values.erase(l.Id);
            break;
        case TLineKind::Other:
            break;
        }
    }
};

namespace {

enum class TLoad { Missing, Read, Unreadable };

struct TLoaded {
    TLoad Status = TLoad::Missing;
    std::shared_ptr<const TRegistryStore> Store;
    // Keys may be added: the file is missing, or read, headed and writable back exactly.
    bool Rewritable() const {
        return Status == TLoad::Missing ||
               (Status == TLoad::Read && Store->Exact && (Store->HasHeader || Store->Blank));
    }
};

const std::shared_ptr<const TRegistryStore>& EmptyStore() {
    static const std::shared_ptr<const TRegistryStore> empty =
        std::make_shared<const TRegistryStore>();
    return empty;
}

// The file as it is now, read and parsed at every open: a start of the trainer opens about a
// dozen keys of a file of a few hundred bytes, which costs well under a millisecond in all.
TLoaded Load() {
    const std::string path = TRegistry::StorePath();
    struct stat st;
    if (::stat(NativePath(path).c_str(), &st) != 0)
        return {TLoad::Missing, EmptyStore()};
    std::string bytes;
    try {
        bytes = ReadFileBytes(path, MaxSettingsFileSize);
    } catch (const EFileTooLarge&) {
        // Read as empty it would quietly lose every setting and make the Uninstaller skip its
        // steps; no registry written by an installer comes near this size.
        throw ERegistryError("The registry file " + path + " is larger than " +
                             std::to_string(MaxSettingsFileSize / MiB) + " MiB");
    } catch (const EInOutError&) {
        return {TLoad::Unreadable, EmptyStore()};
    }
    auto store = std::make_shared<TRegistryStore>();
    store->Parse(bytes);
    return {TLoad::Read, store};
}

// A registry file that exists may be rewritten only when it is writable; a missing one may be
// created. Root passes access() for any file, so the write bits are tested as well.
bool StoreWritable() {
    std::string native = NativePath(TRegistry::StorePath());
    struct stat st;
    if (::stat(native.c_str(), &st) != 0)
        return errno == ENOENT;
    return S_ISREG(st.st_mode) && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0 &&
           ::access(native.c_str(), W_OK) == 0;
}

// Holds the lock file beside the registry file for one read-modify-write.
class TStoreLock {
public:
    TStoreLock() {
        std::string native = NativePath(TRegistry::StorePath()) + ".lock";
        Fd = ::open(native.c_str(), O_RDWR | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
        if (Fd >= 0 && ::flock(Fd, LOCK_EX) != 0) {
            ::close(Fd);
            Fd = -1;
        }
    }
    ~TStoreLock() {
        if (Fd >= 0)
            ::close(Fd);
    }
    TStoreLock(const TStoreLock&) = delete;
    TStoreLock& operator=(const TStoreLock&) = delete;
    bool Held() const { return Fd >= 0; }

private:
    int Fd = -1;
};

// Re-reads the file under the lock, applies `change` to a copy and writes the file back, once,
// when it changed something. False when the file could not be read or written, or may not be
// rewritten (no header, bytes that would not come back as they were); the file is then as it
// was. On success `store` is the new content.
template <class F> bool Modify(std::shared_ptr<const TRegistryStore>& store, F change) {
    // The replacement is renamed over the file, which a folder that can be written would allow
    // even for a read-only file; its own write permission decides, as on Windows.
    if (!StoreWritable())
        return false;
    TStoreLock lock;
    if (!lock.Held())
        return false;
    TLoaded fresh = Load();
    if (!fresh.Rewritable())
        return false;
    auto changed = std::make_shared<TRegistryStore>(*fresh.Store);
    if (!change(*changed))
        return false;
    std::string bytes = changed->Serialize();
    try {
        WriteFileAtomically(TRegistry::StorePath(), bytes);
    } catch (const EInOutError&) {
        return false;
    }
    store = changed;
    return true;
}

void CheckWritable(const std::string& text, const char* what) {
    // A line break would end the line in the file and let the rest be read as keys or values.
    if (text.find_first_of("\r\n") != std::string::npos)
        throw ERegistryError(std::string("Line break in a registry ") + what);
}

} // namespace

TRegistry::TRegistry() : Store(EmptyStore()) {}

TRegistry::~TRegistry() {
    try {
        Flush();
    } catch (...) {
        // Keys that could not be written are simply not there next time, as with a file that
        // cannot be written.
    }
}

std::string TRegistry::StorePath() {
    const char* env = std::getenv("ZARVO_REGISTRY");
    return env && *env ? Utf8ToAnsi(env) : std::string("/etc/zarvo/registry.reg");
}

std::string TRegistry::Resolve(const std::string& key) const {
    if (!key.empty() && key[0] == '\\')
        return NormalizePath(key);
    if (!IsOpen || Current.empty())
        return NormalizePath(key);
    return NormalizePath(Current + "\\" + key);
}

void TRegistry::Refresh() {
    Store = Load().Store;
}

bool TRegistry::PendingCovers(const std::string& path, bool subKeysOnly) const {
    const std::string id = KeyId(path);
    for (const std::string& p : Pending) {
        const std::string pid = KeyId(p);
        if (IsSubKeyOf(pid, id) || (!subKeysOnly && pid == id))
            return true;
    }
    return false;
}

bool TRegistry::AddPending(TRegistryStore& store) const {
    bool added = false;
    for (const std::string& p : Pending)
        if (!store.KeyExists(p)) {
            store.AddKeyBlock(p);
            added = true;
        }
    return added;
}

void TRegistry::Flush() {
    if (Pending.empty())
        return;
    Modify(Store, [&](TRegistryStore& s) { return AddPending(s); });
    Pending.clear();
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
    std::string path = Resolve(key);
    TLoaded loaded = Load();
    Store = loaded.Store;
    if (!Store->KeyExists(path) && !PendingCovers(path, false)) {
        if (!canCreate || path.find_first_of("\r\n") != std::string::npos)
            return false;
        // The key is written with the others that this client creates, in one rewrite when it
        // is done; whether the file can take it is decided now.
        if (!loaded.Rewritable() || !StoreWritable())
            return false;
        Pending.push_back(path);
    }
    Current = path;
    IsOpen = true;
    return true;
}

void TRegistry::CloseKey() {
    Current.clear();
    IsOpen = false;
}

bool TRegistry::KeyExists(const std::string& key) {
    std::string path = Resolve(key);
    Refresh();
    return Store->KeyExists(path) || PendingCovers(path, false);
}

bool TRegistry::DeleteKey(const std::string& key) {
    std::string path = Resolve(key);
    bool removed = false;
    Modify(Store, [&](TRegistryStore& s) {
        bool added = AddPending(s);
        removed = s.RemoveKey(path);
        return added || removed;
    });
    Pending.clear();
    return removed;
}

bool TRegistry::HasSubKeys() {
    Refresh();
    const std::string path = IsOpen ? Current : std::string();
    return Store->HasSubKeys(path) || PendingCovers(path, true);
}

bool TRegistry::ValueExists(const std::string& name) {
    return IsOpen && Store->FindValue(Current, name) != nullptr;
}

std::string TRegistry::ReadString(const std::string& name) {
    const TLine* v = IsOpen ? Store->FindValue(Current, name) : nullptr;
    if (!v)
        return {};
    if (v->Type != TValueType::String)
        throw ERegistryError("Invalid data type for '" + name + "'");
    return v->Text;
}

std::int32_t TRegistry::ReadInteger(const std::string& name) {
    const TLine* v = IsOpen ? Store->FindValue(Current, name) : nullptr;
    if (!v || v->Type != TValueType::Dword)
        throw ERegistryError("Invalid data type for '" + name + "'");
    return static_cast<std::int32_t>(v->Dword);
}

namespace {
std::string ValueName(const std::string& name) {
    return name.empty() ? "@" : Quote(AnsiToUtf8(name));
}
} // namespace

void TRegistry::WriteValue(const std::string& name, const std::string& data) {
    if (!IsOpen)
        throw ERegistryError("Failed to set data for '" + name + "'");
    CheckWritable(name, "value name");
    bool written = Modify(Store, [&](TRegistryStore& s) {
        AddPending(s);
        TLine line;
        line.Raw = ValueName(name) + "=" + data;
        Classify(line, false);
        s.SetValue(Current, line);
        return true;
    });
    if (!written)
        throw ERegistryError("Failed to set data for '" + name + "'");
    Pending.clear();
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
    CheckWritable(value, "value");
    WriteValue(name, Quote(AnsiToUtf8(value)));
}

void TRegistry::WriteInteger(const std::string& name, std::int32_t value) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%08x", static_cast<std::uint32_t>(value));
    WriteValue(name, std::string("dword:") + digits);
}

} // namespace platform
