#include "content/Task.h"

#include "app/Globals.h"
#include "app/Reports.h"
#include "config/Config.h"

#include <bit>
#include <charconv>
#include <cstring>
#include <optional>

namespace {

bool StartsWith(std::string_view s, const char* prefix) {
    return s.size() >= 2 && s[0] == prefix[0] && s[1] == prefix[1];
}

// Bytes 3..257 of a name or example line, trimmed.
std::string_view LineText(std::string_view line) {
    return TrimView(line.substr(2, 255));
}

// A decimal integer with an optional sign, nothing else around it.
std::int32_t VariantNumber(std::string_view text) {
    std::string_view digits = text;
    if (!digits.empty() && digits.front() == '+')
        digits.remove_prefix(1);
    std::int32_t n = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    // from_chars takes a '-' itself, so "+-5" must be refused here.
    bool signTwice = digits.size() != text.size() && !digits.empty() && digits.front() == '-';
    if (digits.empty() || signTwice || ec != std::errc() || end != digits.data() + digits.size())
        throw EFileError("'" + std::string(text) + "' is not a valid integer value");
    return n;
}

[[noreturn]] void UnknownLine(std::string_view line) {
    throw EFileError("Wrong string found:\r\n" + std::string(line));
}

// A check-points line: byte 4 is the count n, then n groups of 8 bytes; false, and the example
// untouched, when the line is shorter than that. The groups overwrite the example's list after
// it took the new length: entries a second line does not reach are dropped, and those it does
// reach keep their kind where its kind byte is none of 0..3.
inline bool ReadCheckPoints(std::string_view line, TExample& example, TLibraryStore& store) {
    if (line.size() < 4)
        return false;
    std::size_t n = static_cast<unsigned char>(line[3]);
    if (line.size() < 4 + 8 * n)
        return false;
    const char* groups = line.data() + 4;
    // Kinds of 0..3 are the kind bytes without any of their bits 2..7: one test for all groups.
    std::uint64_t kindBits = 0;
    for (std::size_t p = 0; p < n; ++p) {
        std::uint64_t group;
        std::memcpy(&group, groups + 8 * p, 8);
        kindBits |= group;
    }
    constexpr std::uint64_t NoKind = std::endian::native == std::endian::little
                                         ? std::uint64_t{0xFC} << 8
                                         : std::uint64_t{0xFC} << 48;
    if (example.CheckPoints.empty() && !(kindBits & NoKind)) [[likely]] {
        example.CheckPoints = TCheckPointList::Groups(groups, n);
        return true;
    }
    const TCheckPointList earlier = example.CheckPoints;
    std::span<TCheckPoint> cps = store.CheckPointRecords(example.CheckPoints, n);
    for (std::size_t p = 0; p < n; ++p) {
        const char* g = groups + 8 * p;
        TCheckPoint& cp = cps[p];
        auto position = static_cast<unsigned char>(g[0]);
        // A byte 26 would end the text file, so 0 stands for it.
        cp.Position = position == 0 ? 26 : position;
        auto kind = static_cast<unsigned char>(g[1]);
        cp.Kind = kind <= 3 ? kind : p < earlier.size() ? earlier[p].Kind : 0;
        cp.Alternative1 = g[2];
        cp.Alternative2 = g[3];
        cp.Rule = TrimView(std::string_view(g + 4, 4));
    }
    return true;
}

} // namespace

// The tree as it grows, line by line. Examples and their check points make nearly all of a
// library, so they are taken inline; the rest goes to Other.
// The tree as it grows, line by line. Examples and their check points make nearly all of a
// library, so they are taken inline; the rest goes to Other. An example is held here until the
// lines that belong to it have been read and then written to the store once, complete.
class TTask::TBuilder {
public:
    TBuilder(TTask& task, const std::string& file) : Task(task), File(file) {}

    std::int32_t LineNo = 1;

    bool Take(std::string_view line) {
        ++LineNo;
        // No end mark begins with "%X".
        if (line.size() < 3 || line[0] != '%' || line[1] != 'X') [[unlikely]]
            return Other(line);
        if (line[2] == 'R') {
            if (!HasExample)
                UnknownLine(line);
            if (ReadCheckPoints(line, Example, Task.Store)) [[likely]]
                Example.CheckPointsLine = LineNo;
            else
                CheckPointFault();
        } else {
            AddExample(line);
        }
        return true;
    }

    // Writes the example being read to its variant.
    void Finish() {
        if (HasExample)
            Task.Store.Append(Variant->Examples, Example);
        HasExample = false;
    }

private:
    void AddExample(std::string_view line) {
        if (!Variant)
            UnknownLine(line);
        Finish();
        Example = {LineText(line), {}, LineNo, 0};
        HasExample = true;
    }
    bool Other(std::string_view line);
    void CheckPointFault();

    TTask& Task;
    const std::string& File;
    // The last class, theme and variant read; null while there is none, so that an orphan line
    // is rejected instead of being hung onto nothing. The example is the last one of Variant.
    TClass* Class = nullptr;
    TTheme* Theme = nullptr;
    TVariant* Variant = nullptr;
    TExample Example;
    bool HasExample = false;
};

// A faulty check-points line is an error of that line alone.
void TTask::TBuilder::CheckPointFault() {
    Task.CheckPointFaults.push_back(LineNo);
    ShowFileIOError(File);
}

bool TTask::TBuilder::Other(std::string_view line) {
    if (IsWithinStopText(line))
        return false;
    if (StartsWith(line, "%X")) {
        AddExample(line); // "%X" alone: an empty example
        return true;
    }
    // The arrays a new class, theme or variant goes into may move: the example goes first.
    if (StartsWith(line, "%C")) {
        Finish();
        TClass& c = Task.Classes.emplace_back();
        c.Number = static_cast<std::int32_t>(Task.Classes.size());
        c.Name = LineText(line);
        c.Line = LineNo;
        Class = &c;
        Theme = nullptr;
        Variant = nullptr;
    } else if (StartsWith(line, "%T")) {
        if (!Class)
            UnknownLine(line);
        Finish();
        TTheme& t = Class->Themes.emplace_back();
        t.Number = static_cast<std::int32_t>(Class->Themes.size());
        t.Name = LineText(line);
        t.Line = LineNo;
        Theme = &t;
        Variant = nullptr;
    } else if (StartsWith(line, "%V")) {
        if (!Theme)
            UnknownLine(line);
        std::size_t space = line.find(' ', 2);
        if (space == std::string_view::npos)
            throw EFileError("'' is not a valid integer value");
        std::int32_t number = VariantNumber(line.substr(2, space - 2));
        Finish();
        TVariant& v = Theme->Variants.emplace_back();
        v.Number = number;
        // From the space up to byte 254.
        if (space < 254)
            v.Name = TrimView(line.substr(space, 254 - space));
        v.Line = LineNo;
        Variant = &v;
    } else {
        UnknownLine(line);
    }
    return true;
}

std::string_view TLibraryStore::Keep(std::string_view text) {
    char* kept = Texts.Resize(nullptr, 0, text.size());
    if (!text.empty())
        std::memcpy(kept, text.data(), text.size());
    return {kept, text.size()};
}

std::span<TCheckPoint> TLibraryStore::CheckPointRecords(TCheckPointList& list, std::size_t count) {
    TCheckPoint* records = CheckPoints.Resize(nullptr, 0, count);
    list = TCheckPointList::Records(records, count);
    return {records, count};
}

TTask::TTask() {
    OpenFFile("");
}

TTask::TTask(const std::string& path) {
    OpenFFile(path);
}

TTask::~TTask() {
    Clear();
}

void TTask::Clear() {
    for (TClass& c : Classes) {
        for (TTheme& t : c.Themes)
            t.Variants.clear();
        c.Themes.clear();
    }
    Classes.clear();
    Store.Clear();
}

TVariantTree TTask::TakeTree() {
    TVariantTree tree{std::move(Classes), std::move(Store)};
    Classes.clear();
    Store.Clear();
    return tree;
}

void TTask::OpenFFile(const std::string& path) {
    std::string file = path;
    if (file.empty() && Config)
        file = Config->GetVarLibFile();
    if (file.empty())
        throw EFileError("No ff file found!");
    Clear();
    CheckPointFaults.clear();
    FailedLine = 0;
    FailedMessage.clear();
    TBuilder builder(*this, file);
    // Outside the error trap: what was read before an error stays, and its records point into
    // the file's bytes.
    std::optional<TTextFile> f;
    try {
        f.emplace(file);
        std::string signature;
        ReadPlainLine(*f, signature);
        if (signature != VarLibSignature)
            throw EFileError("Wrong file in OpenFFile!");
        f->Unscramble();
        f->ForEachLine([&builder](std::string_view line) { return builder.Take(line); });
        builder.Finish();
    } catch (const std::exception& e) {
        builder.Finish();
        FailedLine = builder.LineNo;
        FailedMessage = e.what();
        ShowFileIOError(file);
    }
    if (f)
        Store.Adopt(f->ReleaseData());
}
