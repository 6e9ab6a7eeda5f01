#include "content/Task.h"

#include <algorithm>
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
// untouched, when the line is shorter than that. The example's list is the tail of `cps` from
// `first` on. A second line for one example sets the list to its own count and overwrites the
// entries; an entry keeps its kind where the kind byte is none of 0..3 (a new entry has kind 0).
bool ReadCheckPoints(std::string_view line, std::vector<TCheckPoint>& cps, std::size_t first) {
    if (line.size() < 4)
        return false;
    std::size_t n = static_cast<unsigned char>(line[3]);
    if (line.size() < 4 + 8 * n)
        return false;
    cps.resize(first + n);
    for (std::size_t p = 0; p < n; ++p) {
        const char* g = line.data() + 4 + 8 * p;
        TCheckPoint& cp = cps[first + p];
        auto position = static_cast<unsigned char>(g[0]);
        // A byte 26 would end the text file, so 0 stands for it.
        cp.Position = position == 0 ? 26 : position;
        auto kind = static_cast<unsigned char>(g[1]);
        if (kind <= 3)
            cp.Kind = kind;
        cp.Alternative1 = g[2];
        cp.Alternative2 = g[3];
        cp.SetRule(TrimView(std::string_view(g + 4, 4)));
    }
    return true;
}

} // namespace

// The tree as it grows, line by line.
class TTask::TBuilder {
public:
    TBuilder(TTask& task, const std::string& file) : Task(task), File(file) {}

    std::int32_t LineNo = 1;

    // False at the end mark.
    bool Take(std::string_view line);
    // A large library holds about one example per hundred bytes: a variant that is complete
    // gives back the room its list grew into and hands its check points to the store in one
    // block, which would otherwise cost more memory, and more time at start-up, than the file
    // itself.
    void FinishVariant();

private:
    TTask& Task;
    const std::string& File;
    // The last class, theme, variant and example read; null while there is none, so that an
    // orphan line is rejected instead of being hung onto nothing.
    TClass* Class = nullptr;
    TTheme* Theme = nullptr;
    TVariant* Variant = nullptr;
    TExample* Example = nullptr;
    // The current variant's check points in example order, and where each example's begin;
    // a check-points line belongs to the last example read, so it only ever changes the tail.
    std::vector<TCheckPoint> Points;
    std::vector<std::size_t> FirstPoint;
};

void TTask::TBuilder::FinishVariant() {
    if (!Variant)
        return;
    Variant->Examples.shrink_to_fit();
    std::span<const TCheckPoint> kept = Task.Store.KeepCheckPoints(Points);
    for (std::size_t e = 0; e < FirstPoint.size(); ++e) {
        const std::size_t end = e + 1 < FirstPoint.size() ? FirstPoint[e + 1] : Points.size();
        Variant->Examples[e].CheckPoints = kept.subspan(FirstPoint[e], end - FirstPoint[e]);
    }
    Points.clear();
    FirstPoint.clear();
    Variant = nullptr;
}

bool TTask::TBuilder::Take(std::string_view line) {
    ++LineNo;
    if (IsWithinStopText(line))
        return false;
    if (StartsWith(line, "%X") && line.size() >= 3 && line[2] == 'R') {
        if (!Example)
            UnknownLine(line);
        if (ReadCheckPoints(line, Points, FirstPoint.back())) {
            Example->CheckPointsLine = LineNo;
        } else {
            // A faulty check-points line is an error of that line alone.
            Task.CheckPointFaults.push_back(LineNo);
            Task.Errors.push_back({platform::TReadError::TKind::FileUnreadable, File, LineNo,
                                   "Wrong check points line"});
        }
    } else if (StartsWith(line, "%X")) {
        if (!Variant)
            UnknownLine(line);
        Example = &Variant->Examples.emplace_back();
        FirstPoint.push_back(Points.size());
        Example->Text = LineText(line);
        Example->Line = LineNo;
    } else if (StartsWith(line, "%C")) {
        FinishVariant();
        Class = &Task.Classes.emplace_back();
        Class->Number = static_cast<std::int32_t>(Task.Classes.size());
        Class->Name = LineText(line);
        Class->Line = LineNo;
        Theme = nullptr;
        Variant = nullptr;
        Example = nullptr;
    } else if (StartsWith(line, "%T")) {
        if (!Class)
            UnknownLine(line);
        FinishVariant();
        Theme = &Class->Themes.emplace_back();
        Theme->Number = static_cast<std::int32_t>(Class->Themes.size());
        Theme->Name = LineText(line);
        Theme->Line = LineNo;
        Variant = nullptr;
        Example = nullptr;
    } else if (StartsWith(line, "%V")) {
        if (!Theme)
            UnknownLine(line);
        std::size_t space = line.find(' ', 2);
        if (space == std::string_view::npos)
            throw EFileError("'' is not a valid integer value");
        std::int32_t number = VariantNumber(line.substr(2, space - 2));
        FinishVariant();
        Variant = &Theme->Variants.emplace_back();
        Variant->Number = number;
        // From the space up to byte 254.
        if (space < 254)
            Variant->Name = TrimView(line.substr(space, 254 - space));
        Variant->Line = LineNo;
        Example = nullptr;
    } else {
        UnknownLine(line);
    }
    return true;
}

std::span<const TCheckPoint> TLibraryStore::KeepCheckPoints(std::span<const TCheckPoint> points) {
    if (points.empty())
        return {};
    TCheckPoint* kept = PointBlocks.emplace_back(new TCheckPoint[points.size()]).get();
    std::copy(points.begin(), points.end(), kept);
    return {kept, points.size()};
}

std::string_view TLibraryStore::Keep(std::string_view text) {
    if (text.empty())
        return {};
    char* kept = Blocks.emplace_back(new char[text.size()]).get();
    std::memcpy(kept, text.data(), text.size());
    return {kept, text.size()};
}

TTask::TTask(const std::string& path) {
    OpenFFile(path);
}

void TTask::Clear() {
    Classes.clear();
    Store.Clear();
}

TVariantTree TTask::TakeTree() {
    TVariantTree tree{std::move(Classes), std::move(Store)};
    Clear();
    return tree;
}

void TTask::OpenFFile(const std::string& path) {
    if (path.empty())
        throw EFileError("No ff file found!");
    Clear();
    CheckPointFaults.clear();
    Errors.clear();
    FailedLine = 0;
    FailedMessage.clear();
    TBuilder builder(*this, path);
    // Outside the error trap: what was read before an error stays, and its records point into
    // the file's bytes.
    std::optional<TTextFile> f;
    try {
        f.emplace(path);
        std::string signature;
        ReadPlainLine(*f, signature);
        if (signature != VarLibSignature)
            throw EFileError("Wrong file in OpenFFile!");
        f->Unscramble();
        while (!f->Eof() && builder.Take(ReadLineView(*f, Errors))) {
        }
    } catch (const std::exception& e) {
        FailedLine = builder.LineNo;
        FailedMessage = e.what();
        Errors.push_back({platform::TReadError::TKind::FileUnreadable, path, FailedLine, e.what()});
    }
    builder.FinishVariant();
    if (f)
        Store.Adopt(f->ReleaseData());
}
