#include "platform/Registry.h"

#include "platform/Exception.h"
#include "platform/Files.h"
#include "platform/Text.h"

#include <QString>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

const char* const HeaderLine = "Windows Registry Editor Version 5.00";
const char* const RootName = "HKEY_LOCAL_MACHINE";

enum class TLineKind { Other, Key, ForeignKey, Value };
enum class TValueType { String, Dword, Raw };

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

bool IsBlankTail(const std::string& s, std::size_t pos) {
    for (; pos < s.size(); ++pos)
        if (s[pos] != ' ' && s[pos] != '\t' && s[pos] != '\r' && s[pos] != '\n')
            return false;
    return true;
}

bool StartsWithNoCase(const std::string& s, std::size_t pos, const char* prefix) {
    for (std::size_t i = 0; prefix[i]; ++i)
        if (pos + i >= s.size() || AnsiUpperChar(s[pos + i]) != AnsiUpperChar(prefix[i]))
            return false;
    return true;
}

void Classify(TLine& line) {
    const std::string& raw = line.Raw;
    std::size_t b = 0;
    while (b < raw.size() && (raw[b] == ' ' || raw[b] == '\t'))
        ++b;
    if (b >= raw.size())
        return;
    if (raw[b] == '[') {
        std::size_t close = raw.rfind(']');
        if (close == std::string::npos || !IsBlankTail(raw, close + 1))
            return;
        std::string inner = Utf8ToAnsi(raw.substr(b + 1, close - b - 1));
        std::size_t sep = inner.find('\\');
        std::string root = inner.substr(0, sep);
        if (AnsiSameText(root, RootName) || AnsiSameText(root, "HKLM")) {
            line.Kind = TLineKind::Key;
            line.Path = NormalizePath(sep == std::string::npos ? "" : inner.substr(sep + 1));
            line.Id = KeyId(line.Path);
        } else {
            // Other roots and "[-...]" deletions: kept in the file, ignored here.
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
    while (pos < raw.size() && (raw[pos] == ' ' || raw[pos] == '\t'))
        ++pos;
    if (pos >= raw.size() || raw[pos] != '=')
        return;
    ++pos;
    while (pos < raw.size() && (raw[pos] == ' ' || raw[pos] == '\t'))
        ++pos;
    if (pos < raw.size() && raw[pos] == '"') {
        std::string text;
        if (!ParseQuoted(raw, pos, text) || !IsBlankTail(raw, pos))
            return;
        line.Type = TValueType::String;
        line.Text = Utf8ToAnsi(text);
    } else if (StartsWithNoCase(raw, pos, "dword:")) {
        pos += 6;
        std::size_t digits = 0;
        std::uint32_t v = 0;
        for (; pos < raw.size() && std::isxdigit(static_cast<unsigned char>(raw[pos])); ++pos) {
            char c = raw[pos];
            v = v * 16 +
                static_cast<std::uint32_t>(c <= '9' ? c - '0' : (AnsiUpperChar(c) - 'A' + 10));
            ++digits;
        }
        if (digits == 0 || digits > 8 || !IsBlankTail(raw, pos))
            return;
        line.Type = TValueType::Dword;
        line.Dword = v;
    } else if (StartsWithNoCase(raw, pos, "hex")) {
        line.Type = TValueType::Raw;
    } else {
        // "Name"=- (a deletion) and anything unknown do not define a value.
        return;
    }
    line.Kind = TLineKind::Value;
    line.Id = KeyId(Utf8ToAnsi(name));
}

std::string TrimRight(const std::string& s) {
    std::size_t e = s.size();
    while (e > 0 && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r' || s[e - 1] == '\n'))
        --e;
    return s.substr(0, e);
}

std::string DecodeFile(const std::string& bytes, bool& utf16, bool& bom) {
    utf16 = bom = false;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        utf16 = bom = true;
        std::u16string units;
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
            units.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                                  (static_cast<unsigned char>(bytes[i + 1]) << 8)));
        QByteArray b =
            QString::fromUtf16(units.data(), static_cast<qsizetype>(units.size())).toUtf8();
        return std::string(b.constData(), static_cast<std::size_t>(b.size()));
    }
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        bom = true;
        return bytes.substr(3);
    }
    return bytes;
}

} // namespace

// The parsed registry file.
class TRegistryStore {
public:
    std::vector<TLine> Lines;
    bool Utf16 = false;
    bool Bom = false;
    std::string Eol = "\r\n";

    void Parse(const std::string& bytes) {
        Lines.clear();
        std::string text = DecodeFile(bytes, Utf16, Bom);
        std::size_t firstNl = text.find('\n');
        Eol = (firstNl != std::string::npos && firstNl > 0 && text[firstNl - 1] == '\r') ? "\r\n"
                                                                                         : "\n";
        std::size_t pos = 0;
        bool continuing = false;
        while (pos < text.size()) {
            std::size_t nl = text.find('\n', pos);
            std::size_t end = nl == std::string::npos ? text.size() : nl + 1;
            std::string physical = text.substr(pos, end - pos);
            pos = end;
            if (continuing) {
                Lines.back().Raw += physical;
            } else {
                Lines.push_back({});
                Lines.back().Raw = physical;
                Classify(Lines.back());
            }
            // Binary and expandable values go on over lines that end in a backslash.
            std::string body = TrimRight(physical);
            continuing = Lines.back().Kind == TLineKind::Value &&
                         Lines.back().Type == TValueType::Raw && !body.empty() &&
                         body.back() == '\\';
        }
    }

    std::string Serialize() const {
        std::string text;
        for (const TLine& l : Lines)
            text += l.Raw;
        if (!Utf16)
            return Bom ? "\xEF\xBB\xBF" + text : text;
        QString u = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
        std::string out = "\xFF\xFE";
        for (QChar c : u) {
            out += static_cast<char>(c.unicode() & 0xFF);
            out += static_cast<char>(c.unicode() >> 8);
        }
        return out;
    }

    bool KeyExists(const std::string& path) const {
        std::string id = KeyId(path);
        if (id.empty())
            return true;
        for (const TLine& l : Lines)
            if (l.Kind == TLineKind::Key && (l.Id == id || IsSubKeyOf(l.Id, id)))
                return true;
        return false;
    }

    bool HasSubKeys(const std::string& path) const {
        std::string id = KeyId(path);
        for (const TLine& l : Lines)
            if (l.Kind == TLineKind::Key && IsSubKeyOf(l.Id, id))
                return true;
        return false;
    }

    // The last definition of a value wins, as importing the file would leave it.
    const TLine* FindValue(const std::string& path, const std::string& name) const {
        std::string keyId = KeyId(path), nameId = KeyId(name);
        const TLine* found = nullptr;
        bool inKey = false;
        for (const TLine& l : Lines) {
            if (l.Kind == TLineKind::Key)
                inKey = l.Id == keyId;
            else if (l.Kind == TLineKind::ForeignKey)
                inKey = false;
            else if (inKey && l.Kind == TLineKind::Value && l.Id == nameId)
                found = &l;
        }
        return found;
    }

    void AddKeyBlock(const std::string& path) {
        if (Lines.empty()) {
            Lines.push_back({});
            Lines.back().Raw = std::string(HeaderLine) + Eol;
        }
        std::string& last = Lines.back().Raw;
        if (!last.empty() && last.back() != '\n')
            last += Eol;
        TLine blank;
        blank.Raw = Eol;
        Lines.push_back(blank);
        TLine key;
        key.Raw =
            "[" + std::string(RootName) + (path.empty() ? "" : "\\" + AnsiToUtf8(path)) + "]" + Eol;
        Classify(key);
        Lines.push_back(key);
    }

    void SetValue(const std::string& path, TLine value) {
        std::string keyId = KeyId(path);
        std::size_t insertAt = std::string::npos, existing = std::string::npos;
        bool inKey = false;
        for (std::size_t i = 0; i < Lines.size(); ++i) {
            const TLine& l = Lines[i];
            if (l.Kind == TLineKind::Key || l.Kind == TLineKind::ForeignKey) {
                inKey = l.Kind == TLineKind::Key && l.Id == keyId;
                if (inKey)
                    insertAt = i + 1;
            } else if (inKey) {
                if (l.Kind == TLineKind::Value && l.Id == value.Id)
                    existing = i;
                // New values go after the last non-blank line of the key's last block.
                if (!TrimRight(l.Raw).empty())
                    insertAt = i + 1;
            }
        }
        if (existing != std::string::npos) {
            // Keep the line ending the old line had.
            std::string& old = Lines[existing].Raw;
            std::string eol = old.size() >= 2 && old.compare(old.size() - 2, 2, "\r\n") == 0
                                  ? "\r\n"
                                  : (!old.empty() && old.back() == '\n' ? "\n" : "");
            value.Raw += eol;
            Lines[existing] = value;
            return;
        }
        if (insertAt == std::string::npos) {
            AddKeyBlock(path);
            insertAt = Lines.size();
        }
        std::string& before = Lines[insertAt - 1].Raw;
        if (!before.empty() && before.back() != '\n')
            before += Eol;
        value.Raw += Eol;
        Lines.insert(Lines.begin() + static_cast<long>(insertAt), value);
    }

    // Removes the blocks of the key and of its subkeys; false when there was nothing to remove.
    bool RemoveKey(const std::string& path) {
        std::string id = KeyId(path);
        if (!KeyExists(path) || id.empty())
            return false;
        std::vector<TLine> kept;
        bool dropping = false;
        for (TLine& l : Lines) {
            if (l.Kind == TLineKind::Key)
                dropping = l.Id == id || IsSubKeyOf(l.Id, id);
            else if (l.Kind == TLineKind::ForeignKey)
                dropping = false;
            if (!dropping)
                kept.push_back(std::move(l));
        }
        Lines = std::move(kept);
        return true;
    }
};

namespace {

enum class TLoad { Missing, Read, Unreadable };

TLoad Load(TRegistryStore& store) {
    std::string native = NativePath(TRegistry::StorePath());
    struct stat st;
    if (::stat(native.c_str(), &st) != 0) {
        // A file removed since the last look is an empty registry, not the one read before.
        store.Lines.clear();
        return TLoad::Missing;
    }
    try {
        store.Parse(ReadFileBytes(TRegistry::StorePath()));
        return TLoad::Read;
    } catch (const EInOutError&) {
        store.Lines.clear();
        return TLoad::Unreadable;
    }
}

// A registry file that exists may be rewritten only when it is writable; a missing one may be
// created. Root passes access() for any file, so the write bits are tested as well.
bool StoreWritable() {
    std::string native = NativePath(TRegistry::StorePath());
    struct stat st;
    if (::stat(native.c_str(), &st) != 0)
        return errno == ENOENT;
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0 && ::access(native.c_str(), W_OK) == 0;
}

// Holds the lock file beside the registry file for one read-modify-write.
class TStoreLock {
public:
    TStoreLock() {
        std::string native = NativePath(TRegistry::StorePath()) + ".lock";
        Fd = ::open(native.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
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

// Re-reads the file under the lock, applies `change` and writes the file back when it changed
// something. False when the file could not be read or written; the file is then as it was.
template <class F> bool Modify(TRegistryStore& store, F change) {
    // The replacement is renamed over the file, which a folder that can be written would allow
    // even for a read-only file; its own write permission decides, as on Windows.
    if (!StoreWritable())
        return false;
    TStoreLock lock;
    if (!lock.Held())
        return false;
    TRegistryStore fresh;
    if (Load(fresh) == TLoad::Unreadable)
        return false;
    if (!change(fresh))
        return false;
    try {
        WriteFileAtomically(TRegistry::StorePath(), fresh.Serialize());
    } catch (const EInOutError&) {
        return false;
    }
    store = std::move(fresh);
    return true;
}

void CheckWritable(const std::string& text, const char* what) {
    // A line break would end the line in the file and let the rest be read as keys or values.
    if (text.find_first_of("\r\n") != std::string::npos)
        throw ERegistryError(std::string("Line break in a registry ") + what);
}

} // namespace

TRegistry::TRegistry() : Store(std::make_unique<TRegistryStore>()) {}
TRegistry::~TRegistry() = default;

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

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
    std::string path = Resolve(key);
    Load(*Store);
    if (!Store->KeyExists(path)) {
        if (!canCreate)
            return false;
        if (path.find_first_of("\r\n") != std::string::npos)
            return false;
        bool created = Modify(*Store, [&](TRegistryStore& s) {
            if (s.KeyExists(path))
                return false;
            s.AddKeyBlock(path);
            return true;
        });
        Load(*Store);
        if (!created && !Store->KeyExists(path))
            return false;
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
    Load(*Store);
    return Store->KeyExists(path);
}

bool TRegistry::DeleteKey(const std::string& key) {
    std::string path = Resolve(key);
    return Modify(*Store, [&](TRegistryStore& s) { return s.RemoveKey(path); });
}

bool TRegistry::HasSubKeys() {
    Load(*Store);
    return Store->HasSubKeys(IsOpen ? Current : std::string());
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

void TRegistry::WriteString(const std::string& name, const std::string& value) {
    if (!IsOpen)
        throw ERegistryError("Failed to set data for '" + name + "'");
    CheckWritable(name, "value name");
    CheckWritable(value, "value");
    TLine line;
    line.Raw = ValueName(name) + "=" + Quote(AnsiToUtf8(value));
    Classify(line);
    if (!Modify(*Store, [&](TRegistryStore& s) {
            s.SetValue(Current, line);
            return true;
        }))
        throw ERegistryError("Failed to set data for '" + name + "'");
}

void TRegistry::WriteInteger(const std::string& name, std::int32_t value) {
    if (!IsOpen)
        throw ERegistryError("Failed to set data for '" + name + "'");
    CheckWritable(name, "value name");
    char digits[16];
    std::snprintf(digits, sizeof digits, "%08x", static_cast<std::uint32_t>(value));
    TLine line;
    line.Raw = ValueName(name) + "=dword:" + digits;
    Classify(line);
    if (!Modify(*Store, [&](TRegistryStore& s) {
            s.SetValue(Current, line);
            return true;
        }))
        throw ERegistryError("Failed to set data for '" + name + "'");
}

} // namespace platform
