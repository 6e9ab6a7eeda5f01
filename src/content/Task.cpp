#include "content/Task.h"

#include "app/Globals.h"
#include "app/Reports.h"
#include "config/Config.h"

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

// A check-points line: byte 4 is the count n, then n groups of 8 bytes. The groups overwrite the
// example's list after it took the new length: entries a second line does not reach are
// dropped, and those it does reach keep their kind where its kind byte is none of 0..3.
void ReadCheckPoints(std::string_view line, TExample& example, TLibraryStore& store) {
    if (line.size() < 4)
        throw EFileError("Check points line too short");
    std::size_t n = static_cast<unsigned char>(line[3]);
    if (line.size() < 4 + 8 * n)
        throw EFileError("Check points line too short");
    const char* groups = line.data() + 4;
    bool asRead = example.CheckPoints.empty();
    for (std::size_t p = 0; p < n && asRead; ++p)
        asRead = static_cast<unsigned char>(groups[8 * p + 1]) <= 3;
    if (asRead) {
        example.CheckPoints = TCheckPointList::Groups(groups, n);
        return;
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
}

} // namespace

std::string_view TLibraryStore::Keep(std::string_view text) {
    char* kept = Texts.Resize(nullptr, 0, text.size());
    if (!text.empty())
        std::memcpy(kept, text.data(), text.size());
    return {kept, text.size()};
}

TExample& TLibraryStore::Append(std::span<const TExample>& run, const TExample& example) {
    // The run's memory is the store's own, made for changing.
    auto* entries = Examples.Append(const_cast<TExample*>(run.data()), run.size(), example);
    run = {entries, run.size() + 1};
    return entries[run.size() - 1];
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
    std::int32_t lineNo = 1;
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

        // The last class, theme, variant and example read; null while there is none, so that an
        // orphan line is rejected instead of being hung onto nothing.
        TClass* cls = nullptr;
        TTheme* theme = nullptr;
        TVariant* variant = nullptr;
        TExample* example = nullptr;
        while (!f->Eof()) {
            std::string_view line = ReadLineView(*f);
            ++lineNo;
            if (IsWithinStopText(line))
                break;
            if (StartsWith(line, "%X")) {
                if (line.size() >= 3 && line[2] == 'R') {
                    if (!example)
                        UnknownLine(line);
                    try {
                        ReadCheckPoints(line, *example, Store);
                        example->CheckPointsLine = lineNo;
                    } catch (const EFileError&) {
                        CheckPointFaults.push_back(lineNo);
                        ShowFileIOError(file);
                    }
                } else {
                    if (!variant)
                        UnknownLine(line);
                    example = &Store.Append(variant->Examples, {LineText(line), {}, lineNo, 0});
                }
            } else if (StartsWith(line, "%C")) {
                TClass& c = Classes.emplace_back();
                c.Number = static_cast<std::int32_t>(Classes.size());
                c.Name = LineText(line);
                c.Line = lineNo;
                cls = &c;
                theme = nullptr;
                variant = nullptr;
                example = nullptr;
            } else if (StartsWith(line, "%T")) {
                if (!cls)
                    UnknownLine(line);
                TTheme& t = cls->Themes.emplace_back();
                t.Number = static_cast<std::int32_t>(cls->Themes.size());
                t.Name = LineText(line);
                t.Line = lineNo;
                theme = &t;
                variant = nullptr;
                example = nullptr;
            } else if (StartsWith(line, "%V")) {
                if (!theme)
                    UnknownLine(line);
                std::size_t space = line.find(' ', 2);
                if (space == std::string_view::npos)
                    throw EFileError("'' is not a valid integer value");
                std::int32_t number = VariantNumber(line.substr(2, space - 2));
                TVariant& v = theme->Variants.emplace_back();
                v.Number = number;
                // From the space up to byte 254.
                if (space < 254)
                    v.Name = TrimView(line.substr(space, 254 - space));
                v.Line = lineNo;
                variant = &v;
                example = nullptr;
            } else {
                UnknownLine(line);
            }
        }
    } catch (const std::exception& e) {
        FailedLine = lineNo;
        FailedMessage = e.what();
        ShowFileIOError(file);
    }
    if (f)
        Store.Adopt(f->ReleaseData());
}
