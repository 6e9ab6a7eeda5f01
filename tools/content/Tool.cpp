#include "Tool.h"

#include "TrainerSettings.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

#include "Check.h"
#include "Guessing.h"
#include "Pack.h"
#include "Preview.h"
#include "Source.h"
#include "Stats.h"
#include "config/Config.h"

#include "app/Reports.h"
#include "app/Strings.h"
#include "platform/Exception.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Text.h"

#include <QTemporaryDir>
#include <algorithm>
#include <filesystem>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>
#include <sys/stat.h>

using platform::AnsiToUtf8;

namespace {

// The interface strings the readers' errors are told in; English unless a language was loaded.
void NeedInterfaceStrings() {
    if (strError.empty())
        SetDefaultInterfaceStrings();
}

// A reader's errors as the trainer's boxes would tell them, one line each on the error stream;
// false when there was any.
bool PrintReadErrors(const platform::TReadErrors& errors, std::ostream& err) {
    NeedInterfaceStrings();
    bool failed = false;
    for (const TReportBox& box : ReadErrorBoxes(errors, failed)) {
        std::string text = box.Text;
        for (std::size_t p; (p = text.find("\r\n")) != std::string::npos;)
            text.replace(p, 2, " ");
        err << "zarvo-content: " << AnsiToUtf8(box.Caption) << ": " << AnsiToUtf8(text) << "\n";
    }
    return !failed;
}

// A source or library named on the command line, read once through the platform's reader: at
// most MaxLibraryFileSize bytes, a FIFO read like a file (without a writer it is empty), a
// device or a folder refused, and nothing waits on opening. `why` gets the reason of a failure.
std::optional<std::string> ReadAll(const std::string& path, std::string& why) {
    try {
        return platform::ReadFileBytes(platform::FromNativePath(path),
                                       platform::MaxLibraryFileSize);
    } catch (const std::exception& e) {
        why = AnsiToUtf8(e.what());
        return std::nullopt;
    }
}

bool EndsWith(const std::string& s, const std::string& tail) {
    if (s.size() < tail.size())
        return false;
    return std::equal(tail.rbegin(), tail.rend(), s.rbegin(),
                      [](char a, char b) { return std::tolower(a) == std::tolower(b); });
}

struct TInput {
    std::string Path; // native
    std::string Bytes;
    TLibraryKind Kind = TLibraryKind::Unknown;
    bool Packed = false;
};

std::string FirstLine(const std::string& bytes) {
    return bytes.substr(0, bytes.find_first_of("\r\n"));
}

// What a file holds: a packed library by its signature line, else a source by its keywords,
// else whatever its name says.
TInput Identify(const std::string& path, std::string bytes) {
    TInput in;
    in.Path = path;
    in.Bytes = std::move(bytes);
    const std::string first = FirstLine(in.Bytes);
    if (first == VarLibSignature || first == RuleLibSignature) {
        in.Packed = true;
        in.Kind = first == VarLibSignature ? TLibraryKind::Variants : TLibraryKind::Rules;
        return in;
    }
    if (EndsWith(path, ".ff") || EndsWith(path, ".frf")) {
        in.Packed = true;
        in.Kind = EndsWith(path, ".ff") ? TLibraryKind::Variants : TLibraryKind::Rules;
        return in;
    }
    in.Kind = SourceKind(in.Bytes);
    if (in.Kind == TLibraryKind::Unknown)
        in.Kind = EndsWith(path, ".frf.txt")  ? TLibraryKind::Rules
                  : EndsWith(path, ".ff.txt") ? TLibraryKind::Variants
                                              : TLibraryKind::Unknown;
    return in;
}

std::string ProgramPath(const std::string& native) {
    return platform::FromNativePath(native);
}

void PrintMessages(std::ostream& out, const std::string& path, std::vector<TMessage> messages,
                   const char* prefix) {
    std::stable_sort(messages.begin(), messages.end(),
                     [](const TMessage& a, const TMessage& b) { return a.Line < b.Line; });
    messages.erase(std::unique(messages.begin(), messages.end(),
                               [](const TMessage& a, const TMessage& b) {
                                   return a.Line == b.Line && a.Text == b.Text;
                               }),
                   messages.end());
    for (const TMessage& m : messages) {
        out << path;
        if (m.Line > 0)
            out << ":" << m.Line;
        out << ": " << (m.Warning ? "warning: " : prefix) << m.Text << "\n";
    }
}

std::string Char(char c) {
    if (c == 0)
        return "none";
    if (c == ' ')
        return "space";
    if (static_cast<unsigned char>(c) < 32)
        return "byte " + std::to_string(static_cast<unsigned char>(c));
    return "\"" + AnsiToUtf8(std::string(1, c)) + "\"";
}

const char* KindName(int kind) {
    switch (kind) {
    case 0:
        return "punctuation";
    case 1:
        return "spelling";
    case 2:
        return "punctuation, second kind";
    default:
        return "spelling, second kind";
    }
}

void DumpVariants(const std::vector<TClass>& classes, std::ostream& out) {
    for (const TClass& c : classes) {
        out << "class " << c.Number << ": " << AnsiToUtf8(c.Name) << "\n";
        for (const TTheme& t : c.Themes) {
            out << "  theme " << t.Number << ": " << AnsiToUtf8(t.Name) << "\n";
            for (const TVariant& v : t.Variants) {
                out << "    variant " << v.Number << ": " << AnsiToUtf8(v.Name) << "\n";
                for (std::size_t i = 0; i < v.Examples.size(); ++i) {
                    const TExample& e = v.Examples[i];
                    out << "      example " << i + 1 << ": " << AnsiToUtf8(e.Text) << "\n";
                    for (std::size_t k = 0; k < e.CheckPoints.size(); ++k) {
                        const TCheckPoint& cp = e.CheckPoints[k];
                        const bool inside = cp.Position >= 1 &&
                                            cp.Position <= static_cast<std::int32_t>(e.Text.size());
                        out << "        check point " << k + 1 << ": position " << cp.Position
                            << ", kind " << int(cp.Kind) << " (" << KindName(cp.Kind) << "), right "
                            << (inside ? Char(e.Text[static_cast<std::size_t>(cp.Position - 1)])
                                       : std::string("outside the text"))
                            << ", alternatives " << Char(cp.Alternative1) << " and "
                            << Char(cp.Alternative2) << ", rule \"" << AnsiToUtf8(cp.Rule())
                            << "\"\n";
                    }
                }
            }
        }
    }
}

void DumpRules(const std::vector<TRuleRecord>& rules, std::ostream& out) {
    for (const TRuleRecord& r : rules) {
        out << "rule \"" << AnsiToUtf8(r.Name) << "\": " << r.Lines.size()
            << (r.Lines.size() == 1 ? " line" : " lines") << "\n";
        for (const std::string& l : r.Lines)
            out << "  | " << AnsiToUtf8(l) << "\n";
    }
}

struct TLoadFaults {
    std::vector<std::int32_t> CheckPointFaults;
    std::int32_t FailedLine = 0;
    std::string FailedMessage;
};

// The library readers open the file by its name. A regular file is opened again; anything
// else (a FIFO) gives its bytes only once, so they are handed a private copy of those read.
class TLoadPath {
public:
    explicit TLoadPath(const TInput& in) : Path(in.Path) {
        struct stat st {};
        if (::stat(in.Path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            return;
        Copy = std::make_unique<QTemporaryDir>();
        const std::string name = std::filesystem::path(in.Path).filename().string();
        Path = Copy->path().toStdString() + "/" + (name.empty() ? "library" : name);
        try {
            platform::WriteFileAtomically(ProgramPath(Path), in.Bytes);
        } catch (const std::exception&) {
            Path = in.Path; // the reader then gives its own error
        }
    }
    std::string Path;

private:
    std::unique_ptr<QTemporaryDir> Copy;
};

bool Load(const TInput& in, TVariantTree& classes, std::vector<TRuleRecord>& rules,
          std::ostream& err, TLoadFaults* keep = nullptr) {
    const TLoadPath from(in);
    if (in.Kind == TLibraryKind::Variants) {
        TTask task(ProgramPath(from.Path));
        classes = task.TakeTree();
        if (keep) {
            keep->CheckPointFaults = task.CheckPointFaults;
            keep->FailedLine = task.FailedLine;
            keep->FailedMessage = task.FailedMessage;
        }
        return PrintReadErrors(task.Errors, err);
    }
    TFRule library(ProgramPath(from.Path));
    rules = library.RuleRecords;
    return PrintReadErrors(library.Errors, err);
}

int Dump(const std::string& path, std::ostream& out, std::ostream& err) {
    std::string why;
    auto bytes = ReadAll(path, why);
    if (!bytes) {
        err << "zarvo-content: cannot read " << path << " (" << why << ")\n";
        return 1;
    }
    TInput in = Identify(path, *bytes);
    if (!in.Packed) {
        err << "zarvo-content: " << path
            << " is not a library: its first line is neither ZARVOFILE nor RULfile\n";
        return 1;
    }
    TVariantTree classes;
    std::vector<TRuleRecord> rules;
    bool ok = Load(in, classes, rules, err);
    if (in.Kind == TLibraryKind::Variants)
        DumpVariants(classes.Classes, out);
    else
        DumpRules(rules, out);
    return ok ? 0 : 1;
}

bool WriteOut(const std::string& path, const std::string& bytes, std::ostream& err) {
    try {
        platform::WriteFileAtomically(ProgramPath(path), bytes);
        return true;
    } catch (const std::exception& e) {
        err << "zarvo-content: cannot write " << path << ": " << AnsiToUtf8(e.what()) << "\n";
        return false;
    }
}

int Pack(const std::string& source, const std::string& target, std::ostream& err) {
    std::string why;
    auto bytes = ReadAll(source, why);
    if (!bytes) {
        err << "zarvo-content: cannot read " << source << " (" << why << ")\n";
        return 1;
    }
    TLibraryKind kind = SourceKind(*bytes);
    if (kind == TLibraryKind::Unknown)
        kind = EndsWith(target, ".frf")  ? TLibraryKind::Rules
               : EndsWith(target, ".ff") ? TLibraryKind::Variants
                                         : TLibraryKind::Unknown;
    if (kind == TLibraryKind::Unknown) {
        err << "zarvo-content: " << source
            << " has no \"Класс:\" or \"Правило:\" line, and the name " << target
            << " ends neither in .ff nor in .frf\n";
        return 1;
    }
    std::vector<TMessage> errors;
    std::string packed;
    TVariantSource classes;
    std::vector<TRuleSource> rules;
    if (kind == TLibraryKind::Variants) {
        TVariantSource src = ParseVariantSource(*bytes);
        errors = src.Errors;
        packed = PackVariants(src.Classes, errors);
        classes = std::move(src);
    } else {
        TRulesSource src = ParseRulesSource(*bytes);
        errors = src.Errors;
        rules = std::move(src.Rules);
        packed = PackRules(rules, errors);
    }
    if (!errors.empty()) {
        PrintMessages(err, source, errors, "error: ");
        err << "zarvo-content: " << target << " not written\n";
        return 1;
    }
    if (!WriteOut(target, packed, err))
        return 1;
    // What the trainer will read must be what the source says.
    TInput written = Identify(target, packed);
    TVariantTree backClasses;
    std::vector<TRuleRecord> backRules;
    bool same = Load(written, backClasses, backRules, err) &&
                (kind == TLibraryKind::Variants ? SameVariants(classes.Classes, backClasses.Classes)
                                                : SameRules(RuleRecordsOf(rules), backRules));
    if (!same) {
        err << "zarvo-content: " << target << " does not read back as " << source
            << " says; removed\n";
        std::error_code ec;
        std::filesystem::remove(target, ec);
        return 1;
    }
    return 0;
}

int Unpack(const std::string& file, const std::string& source, std::ostream& err) {
    std::string why;
    auto bytes = ReadAll(file, why);
    if (!bytes) {
        err << "zarvo-content: cannot read " << file << " (" << why << ")\n";
        return 1;
    }
    TInput in = Identify(file, *bytes);
    if (!in.Packed) {
        err << "zarvo-content: " << file
            << " is not a library: its first line is neither ZARVOFILE nor RULfile\n";
        return 1;
    }
    TVariantTree classes;
    std::vector<TRuleRecord> rules;
    if (!Load(in, classes, rules, err)) {
        err << "zarvo-content: " << file << " does not load; " << source << " not written\n";
        return 1;
    }
    std::vector<TMessage> errors;
    std::string text;
    bool same;
    if (in.Kind == TLibraryKind::Variants) {
        text = WriteVariantSource(classes.Classes, errors);
        same = SameVariants(classes.Classes, ParseVariantSource(text).Classes);
    } else {
        text = WriteRulesSource(rules, errors);
        same = SameRules(rules, RuleRecordsOf(ParseRulesSource(text).Rules));
    }
    if (errors.empty() && !same)
        errors.push_back({0, "the library holds something its source cannot say exactly"});
    if (!errors.empty()) {
        PrintMessages(err, file, errors, "error: ");
        err << "zarvo-content: " << source << " not written\n";
        return 1;
    }
    return WriteOut(source, text, err) ? 0 : 1;
}

// The rule library that belongs to a variant library: Zarvo.frf beside Zarvo.ff, Zarvo.frf.txt
// beside Zarvo.ff.txt.
std::string SiblingRules(const std::string& path) {
    if (EndsWith(path, ".ff.txt"))
        return path.substr(0, path.size() - 7) + ".frf.txt";
    if (EndsWith(path, ".ff"))
        return path.substr(0, path.size() - 3) + ".frf";
    return {};
}

// Findings of one input; its rules, when it is a rule library, go to `rules`.
std::vector<TMessage> Inspect(const TInput& in, TVariantTree& classes,
                              std::vector<TRuleSource>& rules) {
    std::vector<TMessage> found;
    if (!in.Packed) {
        if (in.Kind == TLibraryKind::Variants) {
            TVariantSource src = ParseVariantSource(in.Bytes);
            found = src.Errors;
            PackVariants(src.Classes, found);
            classes = {std::move(src.Classes), std::move(src.Store)};
        } else {
            TRulesSource src = ParseRulesSource(in.Bytes);
            found = src.Errors;
            rules = std::move(src.Rules);
            PackRules(rules, found);
        }
        return found;
    }
    // A byte 26 ends a library file wherever it stands; nothing after it is read.
    if (std::size_t z = in.Bytes.find('\x1A'); z != std::string::npos) {
        std::size_t line = 1;
        for (std::size_t p = 0; (p = in.Bytes.find("\r\n", p)) != std::string::npos && p < z;
             p += 2)
            ++line;
        found.push_back({static_cast<int>(line), "a byte 26 ends the file here; the " +
                                                     std::to_string(in.Bytes.size() - z - 1) +
                                                     " bytes after it are never read"});
    }
    std::ostringstream boxes;
    TLoadFaults faults;
    std::vector<TRuleRecord> records;
    // The boxes the trainer would show are told by the findings below instead.
    Load(in, classes, records, boxes, &faults);
    if (in.Kind == TLibraryKind::Variants) {
        for (std::int32_t line : faults.CheckPointFaults)
            found.push_back({line, "the check points line is shorter than its count says; the "
                                   "trainer shows an input/output error and ignores it"});
        if (faults.FailedLine == 1) {
            found.push_back({1, "the first line is not ZARVOFILE; the trainer refuses the "
                                "library"});
        } else if (faults.FailedLine) {
            // The reader's message quotes the line, binary bytes and line break included.
            std::string why = faults.FailedMessage;
            for (char& c : why)
                if (static_cast<unsigned char>(c) < 32)
                    c = ' ';
            found.push_back(
                {faults.FailedLine, "the trainer stops reading here with an input/output error (" +
                                        AnsiToUtf8(why) + ")"});
        }
    } else {
        if (FirstLine(in.Bytes) != RuleLibSignature)
            found.push_back({1, "the first line is not RULfile; the trainer refuses to start"});
        rules = RuleSourcesOf(records);
    }
    return found;
}

// A file read and identified, or nothing after saying why on `err`.
std::optional<TInput> ReadInput(const std::string& path, std::ostream& err) {
    std::string why;
    auto bytes = ReadAll(path, why);
    if (!bytes) {
        err << "zarvo-content: cannot read " << path << " (" << why << ")\n";
        return std::nullopt;
    }
    return Identify(path, std::move(*bytes));
}

int Stats(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    bool csv = false;
    std::vector<std::string> paths;
    for (const std::string& a : args)
        (a == "--csv" ? (void)(csv = true) : paths.push_back(a));
    if (paths.size() != 1) {
        err << ContentToolUsage();
        return 2;
    }
    std::optional<TInput> read = ReadInput(paths[0], err);
    if (!read)
        return 1;
    TInput& in = *read;
    if (in.Kind != TLibraryKind::Variants) {
        err << "zarvo-content: " << paths[0] << " is not an exercise library or source\n";
        return 1;
    }
    TVariantTree classes;
    std::vector<TRuleSource> rules;
    std::vector<TMessage> found = Inspect(in, classes, rules);
    bool broken = false;
    for (const TMessage& m : found)
        broken = broken || !m.Warning;
    if (broken) {
        PrintMessages(err, in.Path, found, "error: ");
        err << "zarvo-content: " << paths[0] << " does not read cleanly; the figures cover what "
            << "was read\n";
    }
    const auto rows = LibraryStats(classes.Classes);
    out << (csv ? StatsCsv(rows) : StatsText(rows));
    return broken ? 1 : 0;
}

// The rules a library's check points are drawn with: --rules, a rule library given itself, or the
// one beside the exercises.
bool RulesFor(const std::string& rulesPath, const TInput& in, std::vector<TRuleRecord>& rules,
              std::ostream& err) {
    std::vector<TRuleSource> sources;
    TVariantTree none;
    if (rulesPath.empty() && in.Kind == TLibraryKind::Rules) {
        Inspect(in, none, sources);
        rules = RuleRecordsOf(sources);
        return true;
    }
    std::string from = rulesPath.empty() ? SiblingRules(in.Path) : rulesPath;
    if (from.empty() || !std::filesystem::exists(from)) {
        err << "zarvo-content: note: no rule library found (name one with --rules); rules are "
               "drawn as missing\n";
        return true;
    }
    std::optional<TInput> read = ReadInput(from, err);
    if (!read)
        return false;
    TInput& r = *read;
    if (r.Kind != TLibraryKind::Rules) {
        err << "zarvo-content: " << from << " is not a rule library\n";
        return false;
    }
    Inspect(r, none, sources);
    rules = RuleRecordsOf(sources);
    return true;
}

// The font the trainer draws with: the content directory's when one is named, else the one the
// installed trainer reports (its settings may name another), else the bundled one beside this
// program (the installed layout and the build tree alike).
std::string DefaultFontFile() {
    if (const char* env = std::getenv("ZARVO_CONTENT_DIR"); env && *env)
        return std::string(env) + "/" + FontFileName;
    if (auto trainer = ReadTrainerSettings();
        trainer && !trainer->FontFile.empty() && std::filesystem::exists(trainer->FontFile))
        return trainer->FontFile;
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath().toStdString() + "/../share/zarvo/" +
               FontFileName;
    return {};
}

int Preview(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string variantSpec, ruleId, rulesPath, fontFile, screenText = "1024x768";
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& to) {
            if (i + 1 >= args.size())
                return false;
            to = args[++i];
            return true;
        };
        if ((a == "--variant" && !value(variantSpec)) || (a == "--rule" && !value(ruleId)) ||
            (a == "--rules" && !value(rulesPath)) || (a == "--font" && !value(fontFile)) ||
            (a == "--screen" && !value(screenText))) {
            err << "zarvo-content: " << a << " needs a value\n";
            return 2;
        }
        if (a.rfind("--", 0) != 0)
            paths.push_back(a);
        else if (a != "--variant" && a != "--rule" && a != "--rules" && a != "--font" &&
                 a != "--screen") {
            err << "zarvo-content: unknown option " << a << "\n";
            return 2;
        }
    }
    TPreviewScreen screen;
    if (paths.size() != 2 || (variantSpec.empty() == ruleId.empty()) ||
        !ParsePreviewScreen(screenText, screen)) {
        err << ContentToolUsage();
        return 2;
    }
    if (fontFile.empty())
        fontFile = DefaultFontFile();
    std::optional<TInput> read = ReadInput(paths[0], err);
    if (!read)
        return 1;
    TInput& in = *read;
    std::vector<TRuleRecord> rules;
    if (!RulesFor(rulesPath, in, rules, err))
        return 1;
    try {
        std::vector<std::string> written;
        if (!ruleId.empty()) {
            written.push_back(
                PreviewRule(platform::Utf8ToAnsi(ruleId), rules, fontFile, screen, paths[1]));
        } else {
            if (in.Kind != TLibraryKind::Variants) {
                err << "zarvo-content: " << paths[0] << " holds no exercises\n";
                return 1;
            }
            TVariantTree classes;
            std::vector<TRuleSource> none;
            Inspect(in, classes, none);
            // CLASS/THEME/VARIANT: class and theme by their place in the list, the variant by
            // its number as written.
            int c = 0, t = 0, v = 0;
            char tail = 0;
            if (std::sscanf(variantSpec.c_str(), "%d/%d/%d%c", &c, &t, &v, &tail) != 3 || c < 1 ||
                t < 1 || static_cast<std::size_t>(c) > classes.Classes.size() ||
                static_cast<std::size_t>(t) > classes.Classes[c - 1].Themes.size()) {
                err << "zarvo-content: no variant " << variantSpec
                    << " (give CLASS/THEME/VARIANT: the class's and theme's places in the list "
                       "and the variant's number)\n";
                return 1;
            }
            const TVariant* chosen = nullptr;
            for (const TVariant& each : classes.Classes[c - 1].Themes[t - 1].Variants)
                if (each.Number == v && !chosen)
                    chosen = &each;
            if (!chosen) {
                err << "zarvo-content: theme " << t << " of class " << c << " has no variant " << v
                    << "\n";
                return 1;
            }
            written = PreviewVariant(*chosen, rules, fontFile, screen, paths[1]);
        }
        for (const std::string& f : written)
            out << f << "\n";
    } catch (const std::exception& e) {
        err << "zarvo-content: " << e.what() << "\n";
        return 1;
    }
    return 0;
}

int Check(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string rulesPath;
    std::vector<std::string> paths;
    bool allowWarnings = false, allowGuessing = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--allow-warnings") {
            allowWarnings = true;
        } else if (args[i] == "--allow-guessing") {
            allowGuessing = true;
        } else if (args[i] == "--rules") {
            if (i + 1 >= args.size()) {
                err << "zarvo-content: --rules needs a rule library\n";
                return 2;
            }
            rulesPath = args[++i];
        } else if (args[i].rfind("--rules=", 0) == 0)
            rulesPath = args[i].substr(8);
        else
            paths.push_back(args[i]);
    }
    if (paths.empty()) {
        err << ContentToolUsage();
        return 2;
    }
    std::vector<TInput> inputs;
    for (const std::string& p : paths) {
        std::string why;
        auto bytes = ReadAll(p, why);
        if (!bytes) {
            err << "zarvo-content: cannot read " << p << " (" << why << ")\n";
            return 1;
        }
        inputs.push_back(Identify(p, std::move(*bytes)));
        if (inputs.back().Kind == TLibraryKind::Unknown) {
            err << "zarvo-content: " << p
                << " is neither a library nor a source (no \"Класс:\" or \"Правило:\" line)\n";
            return 1;
        }
    }
    bool haveVariants = false, haveRules = false;
    for (const TInput& in : inputs)
        (in.Kind == TLibraryKind::Variants ? haveVariants : haveRules) = true;

    // The rule library that check points are looked up in, when there is one to hand.
    std::optional<std::vector<TRuleRecord>> lookup;
    std::vector<TRuleSource> lookupSources;
    std::vector<TMessage> lookupFound;
    std::string lookupFrom = rulesPath;
    if (haveVariants && !haveRules && rulesPath.empty())
        for (const TInput& in : inputs)
            if (std::string s = SiblingRules(in.Path); !s.empty() && std::filesystem::exists(s)) {
                lookupFrom = s;
                break;
            }
    if (!lookupFrom.empty()) {
        std::string why;
        auto bytes = ReadAll(lookupFrom, why);
        if (!bytes) {
            err << "zarvo-content: cannot read " << lookupFrom << " (" << why << ")\n";
            return 1;
        }
        TInput r = Identify(lookupFrom, std::move(*bytes));
        if (r.Kind != TLibraryKind::Rules) {
            err << "zarvo-content: " << lookupFrom << " is not a rule library\n";
            return 1;
        }
        TVariantTree none;
        std::vector<TMessage> found = Inspect(r, none, lookupSources);
        // Rules named with --rules are checked as if they had been given themselves.
        if (!rulesPath.empty()) {
            CheckRules(lookupSources, found);
            lookupFound = std::move(found);
        }
        lookup = RuleRecordsOf(lookupSources);
    }

    std::vector<TVariantTree> classes(inputs.size());
    std::vector<std::vector<TMessage>> found(inputs.size());
    std::vector<std::vector<TRuleSource>> ruleSources(inputs.size());
    std::optional<std::size_t> rulesInput;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        found[i] = Inspect(inputs[i], classes[i], ruleSources[i]);
        if (inputs[i].Kind == TLibraryKind::Rules) {
            CheckRules(ruleSources[i], found[i]);
            if (!lookup) {
                lookup = RuleRecordsOf(ruleSources[i]);
                rulesInput = i;
            }
        }
    }
    // Rules that no exercise names, once every exercise given is known.
    std::vector<TClass> allClasses;
    for (std::size_t i = 0; i < inputs.size(); ++i)
        if (inputs[i].Kind == TLibraryKind::Variants)
            allClasses.insert(allClasses.end(), classes[i].Classes.begin(),
                              classes[i].Classes.end());
    std::vector<TMessage> unusedInLookup;
    if (haveVariants && rulesInput)
        CheckRulesUsed(allClasses, ruleSources[*rulesInput], found[*rulesInput]);
    else if (haveVariants && !lookupSources.empty())
        CheckRulesUsed(allClasses, lookupSources, unusedInLookup);

    std::size_t errors = 0, warnings = 0;
    auto count = [&](const std::vector<TMessage>& messages) {
        for (const TMessage& m : messages)
            ++(m.Warning ? warnings : errors);
    };
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        if (inputs[i].Kind == TLibraryKind::Variants) {
            CheckVariants(classes[i].Classes, lookup ? &*lookup : nullptr, found[i]);
            CheckAuthoring(classes[i].Classes, found[i]);
            if (!lookup)
                err << "zarvo-content: note: " << inputs[i].Path
                    << ": rule identifiers not looked up, no rule library found (name one with "
                       "--rules)\n";
        }
        count(found[i]);
        if (inputs[i].Kind == TLibraryKind::Variants) {
            // Guessing spoils the marks of a library that works; while a set is being rebalanced
            // its build may report it without failing.
            std::vector<TMessage> guessing;
            CheckGuessing(classes[i].Classes, guessing);
            if (!allowGuessing)
                count(guessing);
            found[i].insert(found[i].end(), guessing.begin(), guessing.end());
        }
        PrintMessages(out, inputs[i].Path, found[i], "");
    }
    lookupFound.insert(lookupFound.end(), unusedInLookup.begin(), unusedInLookup.end());
    count(lookupFound);
    PrintMessages(out, lookupFrom, lookupFound, "");
    return errors || (warnings && !allowWarnings) ? 1 : 0;
}

} // namespace

std::string ContentToolUsage() {
    return "Usage:\n"
           "  zarvo-content dump FILE            print a library (.ff or .frf) as the trainer "
           "reads it\n"
           "  zarvo-content pack SOURCE OUT      turn a source into a library file\n"
           "  zarvo-content unpack FILE SOURCE   turn a library file into a source\n"
           "  zarvo-content check [--rules RULES] [--allow-warnings] [--allow-guessing]\n"
           "                      SOURCE|FILE...\n"
           "                                     report what would break or spoil a session;\n"
           "                                     exit status 0 only when nothing is reported\n"
           "                                     (or only warnings, with --allow-warnings; or\n"
           "                                     only variants where guessing pays, with\n"
           "                                     --allow-guessing)\n"
           "  zarvo-content preview SOURCE|FILE --variant CLASS/THEME/VARIANT [--screen WxH]\n"
           "                        [--rules RULES] [--font Zarvo.fff] OUT_DIR\n"
           "  zarvo-content preview SOURCE|FILE --rule ID [--screen WxH] [--font ...] OUT_DIR\n"
           "                                     pictures of the examples as a pupil first sees\n"
           "                                     them and of the rules as the rule window shows\n"
           "                                     them (PNG)\n"
           "  zarvo-content stats [--csv] SOURCE|FILE\n"
           "                                     sentences, check points, right answers, rules,\n"
           "                                     session time and the marks blind guessing\n"
           "                                     earns per class, theme and variant\n"
           "\n"
           "Sources are UTF-8 text; docs/content.md describes them. check looks up the rule\n"
           "identifiers in RULES, in a rule library given among the files, or in the one beside\n"
           "a variant library (Zarvo.frf beside Zarvo.ff, Zarvo.frf.txt beside Zarvo.ff.txt).\n";
}

int RunContentTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const std::string cmd = args.empty() ? std::string() : args[0];
    std::vector<std::string> rest(args.begin() + (args.empty() ? 0 : 1), args.end());
    if (cmd == "--help" || cmd == "-h" || cmd == "help") {
        out << ContentToolUsage();
        return 0;
    }
    try {
        if (cmd == "dump" && rest.size() == 1)
            return Dump(rest[0], out, err);
        if (cmd == "pack" && rest.size() == 2)
            return Pack(rest[0], rest[1], err);
        if (cmd == "unpack" && rest.size() == 2)
            return Unpack(rest[0], rest[1], err);
        if (cmd == "check")
            return Check(rest, out, err);
        if (cmd == "stats")
            return Stats(rest, out, err);
        if (cmd == "preview")
            return Preview(rest, out, err);
    } catch (const std::exception& e) {
        err << "zarvo-content: " << AnsiToUtf8(e.what()) << "\n";
        return 1;
    }
    err << ContentToolUsage();
    return 2;
}
