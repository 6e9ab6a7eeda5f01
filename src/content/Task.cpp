#include "content/Task.h"

#include "app/Globals.h"
#include "app/Reports.h"
#include "config/Config.h"

#include <charconv>

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
// example's list after it took the new length, so entries a second line does not reach keep
// what an earlier line gave them.
void ReadCheckPoints(std::string_view line, TExample& example) {
    if (line.size() < 4)
        throw EFileError("Check points line too short");
    std::size_t n = static_cast<unsigned char>(line[3]);
    if (line.size() < 4 + 8 * n)
        throw EFileError("Check points line too short");
    example.CheckPoints.resize(n);
    for (std::size_t p = 0; p < n; ++p) {
        const char* g = line.data() + 4 + 8 * p;
        TCheckPoint& cp = example.CheckPoints[p];
        auto position = static_cast<unsigned char>(g[0]);
        // A byte 26 would end the text file, so 0 stands for it.
        cp.Position = position == 0 ? 26 : position;
        auto kind = static_cast<unsigned char>(g[1]);
        if (kind <= 3)
            cp.Kind = kind;
        cp.Alternative1 = g[2];
        cp.Alternative2 = g[3];
        cp.Rule.assign(TrimView(std::string_view(g + 4, 4)));
    }
}

// The examples of the variant being read gather here and move into it in one allocation when
// the next variant, theme or class begins or the reading ends; appended one by one, every
// variant's array would be reallocated and moved several times over.
class TPendingExamples {
public:
    void Begin(TVariant* variant) {
        Flush();
        Owner = variant;
    }
    TVariant* Variant() const { return Owner; }
    TExample& Add(std::string_view text) {
        return Examples.emplace_back(TExample{std::string(text), {}, 0, 0});
    }
    // Hands the gathered examples to their variant; none is pending afterwards.
    void Flush() {
        if (Owner && !Examples.empty())
            Owner->Examples.insert(Owner->Examples.end(), std::make_move_iterator(Examples.begin()),
                                   std::make_move_iterator(Examples.end()));
        Examples.clear();
        Owner = nullptr;
    }

private:
    TVariant* Owner = nullptr;
    std::vector<TExample> Examples; // keeps its capacity from one variant to the next
};

} // namespace

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
        for (TTheme& t : c.Themes) {
            for (TVariant& v : t.Variants) {
                for (TExample& e : v.Examples)
                    e.CheckPoints.clear();
                v.Examples.clear();
            }
            t.Variants.clear();
        }
        c.Themes.clear();
    }
    Classes.clear();
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
    TPendingExamples pending;
    try {
        TTextFile f(file);
        std::string spill;
        ReadPlainLine(f, spill);
        if (spill != VarLibSignature)
            throw EFileError("Wrong file in OpenFFile!");
        f.Unscramble();

        // The last class, theme and example read; null while there is none, so that an orphan
        // line is rejected instead of being hung onto nothing. The variant is the pending one.
        TClass* cls = nullptr;
        TTheme* theme = nullptr;
        TExample* example = nullptr;
        while (!f.Eof()) {
            std::string_view line = ReadLineView(f, spill);
            ++lineNo;
            if (IsWithinStopText(line))
                break;
            if (StartsWith(line, "%C")) {
                pending.Flush();
                TClass& c = Classes.emplace_back();
                c.Number = static_cast<std::int32_t>(Classes.size());
                c.Name = LineText(line);
                c.Line = lineNo;
                cls = &c;
                theme = nullptr;
                example = nullptr;
            } else if (StartsWith(line, "%T")) {
                if (!cls)
                    UnknownLine(line);
                pending.Flush();
                TTheme& t = cls->Themes.emplace_back();
                t.Number = static_cast<std::int32_t>(cls->Themes.size());
                t.Name = LineText(line);
                t.Line = lineNo;
                theme = &t;
                example = nullptr;
            } else if (StartsWith(line, "%V")) {
                if (!theme)
                    UnknownLine(line);
                std::size_t space = line.find(' ', 2);
                if (space == std::string_view::npos)
                    throw EFileError("'' is not a valid integer value");
                std::int32_t number = VariantNumber(line.substr(2, space - 2));
                pending.Flush(); // before the array of variants may move
                TVariant& v = theme->Variants.emplace_back();
                v.Number = number;
                // From the space up to byte 254.
                if (space < 254)
                    v.Name = TrimView(line.substr(space, 254 - space));
                v.Line = lineNo;
                pending.Begin(&v);
                example = nullptr;
            } else if (!StartsWith(line, "%X")) {
                UnknownLine(line);
            } else if (line.size() >= 3 && line[2] == 'R') {
                if (!example)
                    UnknownLine(line);
                try {
                    ReadCheckPoints(line, *example);
                    example->CheckPointsLine = lineNo;
                } catch (const EFileError&) {
                    CheckPointFaults.push_back(lineNo);
                    ShowFileIOError(file);
                }
            } else {
                if (!pending.Variant())
                    UnknownLine(line);
                TExample& e = pending.Add(LineText(line));
                e.Line = lineNo;
                example = &e;
            }
        }
        pending.Flush();
    } catch (const std::exception& e) {
        pending.Flush();
        FailedLine = lineNo;
        FailedMessage = e.what();
        ShowFileIOError(file);
    }
}
