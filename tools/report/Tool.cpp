#include "Tool.h"

#include "Output.h"
#include "Results.h"
#include "Summary.h"

#include "TrainerSettings.h"
#include "app/Strings.h"
#include "content/FRule.h"
#include "content/Task.h"
#include "platform/Exception.h"
#include "platform/Files.h"
#include "platform/Text.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <ostream>

namespace fs = std::filesystem;

namespace {

// The titles of the rules in `path`, as the user named it. False (with a message naming the rule
// library and that path) when it cannot be read or holds no rules. The file is read once, capped
// at a library's limit, so that an endless pipe ends with an error rather than the memory; a
// pipe's contents are handed to the reader through a temporary copy that no message names.
bool LoadRuleTitles(const std::string& path, std::map<std::string, std::string>& titles,
                    std::ostream& err) {
    const std::string where = "zarvo-report: the rule library " + path;
    std::string bytes;
    try {
        bytes =
            platform::ReadFileBytes(platform::FromNativePath(path), platform::MaxLibraryFileSize);
    } catch (const EInOutError& e) {
        std::string reason = platform::AnsiToUtf8(e.what());
        if (const std::size_t colon = reason.rfind(": "); colon != std::string::npos)
            reason = reason.substr(colon + 2);
        err << where << " cannot be read: " << reason << "\n";
        return false;
    }
    if (bytes.empty()) {
        // Also a pipe that nothing writes to: its reader never waits.
        err << where << " cannot be read: it is empty\n";
        return false;
    }
    std::error_code ec;
    std::string readable = path;
    QTemporaryFile copy;
    if (!fs::is_regular_file(path, ec)) {
        if (!copy.open() ||
            copy.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
                static_cast<qint64>(bytes.size()) ||
            !copy.flush()) {
            err << where << " cannot be read: no room for a temporary copy\n";
            return false;
        }
        readable = copy.fileName().toStdString();
    }
    std::size_t rules = 0, complaints = 0;
    {
        TFRule library(platform::FromNativePath(readable));
        rules = library.RuleRecords.size();
        complaints = library.Errors.size();
        for (const auto& r : library.RuleRecords)
            titles.emplace(r.Name, RuleTitle(r.Lines));
    }
    // The reader's own errors speak of the trainer's library; the tool says what went wrong.
    if (complaints > 0 || rules == 0) {
        err << where << " is not a rule library (no \"" << RuleLibSignature
            << "\" signature or no rules in it)\n";
        titles.clear();
        return false;
    }
    return true;
}

// A sentence for each rule, to show the teacher what the rule is about: the first example of the
// exercise library with a check point on it, per class name and over all.
TRuleExamples LoadRuleExamples(const std::string& path, std::ostream& err) {
    TRuleExamples examples;
    std::size_t complaints = 0;
    {
        TTask task(platform::FromNativePath(path));
        complaints = task.Errors.size();
        for (const TClass& c : task.Classes)
            for (const TTheme& t : c.Themes)
                for (const TVariant& v : t.Variants)
                    for (const TExample& e : v.Examples)
                        for (const TCheckPoint& cp : e.CheckPoints) {
                            auto& perClass = examples[std::string(cp.Rule())];
                            const TRuleExample example{std::string(e.Text), cp.Position};
                            perClass.emplace(std::string(c.Name), example);
                            perClass.emplace("", example);
                        }
    }
    // The sentences only illustrate; a library that cannot be read costs them, not the report.
    if (complaints > 0 || examples.empty())
        err << "zarvo-report: the exercise library " << path
            << " cannot be read; the rules are shown without example sentences\n";
    return examples;
}

// Where --open leaves the page: the user's cache folder, which needs no cleaning by hand.
std::string CacheReportFile() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    dir += "/zarvo";
    QDir().mkpath(dir);
    return (dir + "/report.html").toStdString();
}

// The desktop's browser, or $ZARVO_BROWSER (a test puts a stub there).
bool OpenInBrowser(const std::string& file, std::ostream& err) {
    QString browser = "xdg-open";
    if (const char* env = std::getenv("ZARVO_BROWSER"); env && *env)
        browser = QString::fromLocal8Bit(env);
    if (!QProcess::startDetached(browser, {QString::fromStdString(file)})) {
        err << "zarvo-report: cannot start " << browser.toStdString() << " to show " << file
            << "\n";
        return false;
    }
    return true;
}

// A page that says why there is no report, so a teacher who started the report from the menu
// sees the reason instead of nothing.
std::string ProblemPage(const std::string& why) {
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Zarvo</title></head>"
           "<body style=\"font-family:sans-serif;max-width:40em;margin:2em auto\"><h1>Zarvo</h1>"
           "<p>" +
           HtmlEscape(why) + "</p></body></html>\n";
}

std::string DefaultLanguageFile(const std::string& binaryDir) {
    std::string dir;
    if (const char* env = std::getenv("ZARVO_CONTENT_DIR"); env && *env)
        dir = env;
    else
        dir = binaryDir + "/../share/zarvo";
    const fs::path file = fs::path(dir) / "Zarvo.flt";
    std::error_code ec;
    return fs::is_regular_file(file, ec) ? file.string() : std::string();
}

// Files named on the command line, and the results files (*.rez) of a folder, in name order.
std::vector<std::string> ExpandInputs(const std::vector<std::string>& inputs, std::ostream& err) {
    std::vector<std::string> files;
    for (const auto& in : inputs) {
        std::error_code ec;
        if (fs::is_directory(in, ec)) {
            std::vector<std::string> found;
            for (const auto& entry : fs::directory_iterator(in, ec)) {
                std::string ext = entry.path().extension().string();
                std::transform(ext.begin(), ext.end(), ext.begin(),
                               [](unsigned char c) { return std::tolower(c); });
                if (ext == ".rez" && entry.is_regular_file(ec))
                    found.push_back(entry.path().string());
            }
            if (ec)
                err << "zarvo-report: cannot list " << in << ": " << ec.message() << "\n";
            std::sort(found.begin(), found.end());
            if (found.empty())
                err << "zarvo-report: no results files (*.rez) in " << in << "\n";
            files.insert(files.end(), found.begin(), found.end());
        } else {
            files.push_back(in);
        }
    }
    return files;
}

// Writes a file from `write`, straight into it: a report of many megabytes is not held whole.
bool WriteFileWith(const fs::path& path, const std::function<void(std::ostream&)>& write,
                   std::ostream& err) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    if (f)
        write(f);
    f.close();
    if (!f) {
        err << "zarvo-report: cannot write " << path.string() << "\n";
        return false;
    }
    return true;
}

bool WriteFile(const fs::path& path, const std::string& bytes, std::ostream& err) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f << bytes;
    f.close();
    if (!f) {
        err << "zarvo-report: cannot write " << path.string() << "\n";
        return false;
    }
    return true;
}

} // namespace

std::string ReportUsage() {
    return "Usage: zarvo-report [--rules Zarvo.frf] [--exercises Zarvo.ff] [--language Zarvo.flt]\n"
           "                    [--html OUT.html] [--csv DIR] RESULTS...\n"
           "       zarvo-report --open [RESULTS...]\n"
           "\n"
           "Reads the trainer's results files (files, or folders of *.rez files) and prints per\n"
           "class and theme each pupil's sessions, the average mark per variant and the weak\n"
           "spots: the rules whose mistakes come back most often.\n"
           "\n"
           "  --open           write the web page into the user's cache folder and open it in\n"
           "                   the desktop's browser; without RESULTS, the installed trainer's\n"
           "                   results file, rules and exercises (as `zarvo --print-config` says)\n"
           "  --rules FILE     rule library, for the rules' titles\n"
           "  --exercises FILE exercise library, for a sentence that shows each rule\n"
           "  --language FILE  language file whose labels the blocks were written with\n"
           "                   (default: Zarvo.flt of the content directory)\n"
           "  --html FILE      also write the report as one self-contained web page\n"
           "  --csv DIR        also write sessions.csv and rules.csv into DIR\n"
           "\n"
           "Damaged or unreadable parts of a file are skipped with a warning on standard error.\n"
           "The labels of both interface languages are known without the language file.\n"
           "Exit status: 0 done, 1 nothing readable, no session in a non-empty input, a rule\n"
           "library that cannot be read or an output not written, 2 wrong usage.\n";
}

int RunReportTool(const std::vector<std::string>& args, const std::string& binaryDir,
                  std::ostream& out, std::ostream& err, bool exiting) {
    std::string rulesFile, exercisesFile, languageFile, htmlFile, csvDir;
    std::vector<std::string> inputs;
    bool open = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& target) {
            if (i + 1 >= args.size()) {
                err << "zarvo-report: " << a << " needs a value\n" << ReportUsage();
                return false;
            }
            target = args[++i];
            return true;
        };
        if (a == "--help" || a == "-h") {
            out << ReportUsage();
            return 0;
        } else if (a == "--rules") {
            if (!value(rulesFile))
                return 2;
        } else if (a == "--open") {
            open = true;
        } else if (a == "--exercises") {
            if (!value(exercisesFile))
                return 2;
        } else if (a == "--language") {
            if (!value(languageFile))
                return 2;
        } else if (a == "--html") {
            if (!value(htmlFile))
                return 2;
        } else if (a == "--csv") {
            if (!value(csvDir))
                return 2;
        } else if (a.size() > 1 && a[0] == '-') {
            err << "zarvo-report: unknown option " << a << "\n" << ReportUsage();
            return 2;
        } else {
            inputs.push_back(a);
        }
    }
    std::string openPage;
    auto fail = [&](const std::string& why) {
        err << "zarvo-report: " << why << "\n";
        if (open && WriteFile(openPage, ProblemPage(why), err))
            OpenInBrowser(openPage, err);
        return 1;
    };
    if (open) {
        openPage = CacheReportFile();
        htmlFile = htmlFile.empty() ? openPage : htmlFile;
        openPage = htmlFile;
        if (inputs.empty()) {
            const std::optional<TTrainerSettings> installed = ReadTrainerSettings();
            if (!installed || installed->ResultFile.empty())
                return fail("the installed trainer was not found, so its results file is not "
                            "known; name the results file: zarvo-report --open FILE");
            inputs.push_back(installed->ResultFile);
            if (rulesFile.empty() && fs::exists(installed->RuleFile))
                rulesFile = installed->RuleFile;
            if (exercisesFile.empty() && fs::exists(installed->VarLibFile))
                exercisesFile = installed->VarLibFile;
            if (!fs::exists(installed->ResultFile))
                return fail("There are no results yet: the trainer writes " +
                            installed->ResultFile + " when the first pupil ends a lesson.");
        }
    }
    if (inputs.empty()) {
        err << "zarvo-report: no results file given\n" << ReportUsage();
        return 2;
    }
    if (languageFile.empty())
        languageFile = DefaultLanguageFile(binaryDir);
    else if (std::error_code ec; !fs::is_regular_file(languageFile, ec))
        err << "zarvo-report: cannot read the language file " << languageFile
            << "; only the English labels are known\n";
    const std::vector<TResultLabels> labels = LoadResultLabels(languageFile);

    auto readOwner = std::make_unique<TReadResult>();
    TReadResult& read = *readOwner;
    int readable = 0;
    bool anyText = false;
    for (const auto& file : ExpandInputs(inputs, err)) {
        std::string error;
        bool text = false;
        if (!ReadResults(file, labels, read, error, text)) {
            err << "zarvo-report: cannot read " << file << ": " << error << "\n";
            continue;
        }
        ++readable;
        anyText = anyText || text;
    }
    for (const auto& w : read.Warnings)
        err << "zarvo-report: " << platform::AnsiToUtf8(w) << "\n";
    if (readable == 0)
        return fail("no results file could be read");
    // Text without a single block is not a results file the trainer wrote (or one written with
    // labels neither language knows): saying "no sessions" and succeeding would hide that.
    if (read.Sessions.empty() && anyText)
        return fail("no session block was found in the results: the files hold no block with the "
                    "trainer's Russian or English labels (name the language file they were "
                    "written with: --language FILE)");

    std::map<std::string, std::string> titles;
    // The report is still written without the titles, but the run does not count as done.
    bool ok = rulesFile.empty() || LoadRuleTitles(rulesFile, titles, err);
    const TSummary summary = Summarise(read.Sessions, titles);
    TRuleExamples examples;
    if (!exercisesFile.empty())
        examples = LoadRuleExamples(exercisesFile, err);
    if (!open)
        WriteTextReport(out, summary);

    if (!htmlFile.empty())
        ok = WriteFileWith(
                 htmlFile, [&](std::ostream& f) { WriteHtmlReport(f, summary, examples); }, err) &&
             ok;
    if (open && ok) {
        out << htmlFile << "\n";
        ok = OpenInBrowser(htmlFile, err);
    }
    if (!csvDir.empty()) {
        std::error_code ec;
        fs::create_directories(csvDir, ec);
        ok = WriteFileWith(
                 fs::path(csvDir) / "sessions.csv",
                 [&](std::ostream& f) { WriteSessionsCsv(f, read.Sessions); }, err) &&
             ok;
        ok = WriteFileWith(
                 fs::path(csvDir) / "rules.csv",
                 [&](std::ostream& f) { WriteRulesCsv(f, summary); }, err) &&
             ok;
    }
    if (exiting) {
        // Hundreds of thousands of sessions handed back one by one cost a tenth of the run; the
        // process ends now, and the system takes the memory whole. Kept reachable, so that a
        // leak checker does not count it.
        static TReadResult* leftToTheSystem = nullptr;
        delete leftToTheSystem;
        leftToTheSystem = readOwner.release();
    }
    return ok ? 0 : 1;
}
