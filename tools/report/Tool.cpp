#include "Tool.h"

#include "Output.h"
#include "Results.h"
#include "Summary.h"

#include "app/Reports.h"
#include "app/Strings.h"
#include "content/FRule.h"
#include "platform/Files.h"
#include "platform/Text.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>

namespace fs = std::filesystem;

namespace {

std::map<std::string, std::string> LoadRuleTitles(const std::string& path, std::ostream& err) {
    std::map<std::string, std::string> titles;
    if (strError.empty())
        SetDefaultInterfaceStrings();
    TFRule rules(platform::FromNativePath(path));
    for (const auto& r : rules.RuleRecords)
        titles.emplace(r.Name, RuleTitle(r.Lines));
    // The errors as warnings, in the words the trainer's boxes would use.
    bool failed = false;
    for (const TReportBox& box : ReadErrorBoxes(rules.Errors, failed)) {
        std::string text = box.Text;
        for (std::size_t p; (p = text.find("\r\n")) != std::string::npos;)
            text.replace(p, 2, " ");
        err << "zarvo-report: " << platform::AnsiToUtf8(text) << "\n";
    }
    return titles;
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
    return "Usage: zarvo-report [--rules Zarvo.frf] [--language Zarvo.flt] [--html OUT.html]\n"
           "                    [--csv DIR] RESULTS...\n"
           "\n"
           "Reads the trainer's results files (files, or folders of *.rez files) and prints per\n"
           "class and theme each pupil's sessions, the average mark per variant and the weak\n"
           "spots: the rules whose mistakes come back most often.\n"
           "\n"
           "  --rules FILE     rule library, for the rules' titles\n"
           "  --language FILE  language file whose labels the blocks were written with\n"
           "                   (default: Zarvo.flt of the content directory)\n"
           "  --html FILE      also write the report as one self-contained web page\n"
           "  --csv DIR        also write sessions.csv and rules.csv into DIR\n"
           "\n"
           "Damaged or unreadable parts of a file are skipped with a warning on standard error.\n"
           "Exit status: 0 done, 1 nothing readable or an output not written, 2 wrong usage.\n";
}

int RunReportTool(const std::vector<std::string>& args, const std::string& binaryDir,
                  std::ostream& out, std::ostream& err) {
    std::string rulesFile, languageFile, htmlFile, csvDir;
    std::vector<std::string> inputs;
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

    TReadResult read;
    int readable = 0;
    for (const auto& file : ExpandInputs(inputs, err)) {
        std::string contents, error;
        if (!ReadResultsFile(file, contents, error)) {
            err << "zarvo-report: cannot read " << file << ": " << error << "\n";
            continue;
        }
        ++readable;
        ParseResults(contents, file, labels, read);
    }
    for (const auto& w : read.Warnings)
        err << "zarvo-report: " << platform::AnsiToUtf8(w) << "\n";
    if (readable == 0)
        return 1;

    std::map<std::string, std::string> titles;
    if (!rulesFile.empty())
        titles = LoadRuleTitles(rulesFile, err);
    const TSummary summary = Summarise(read.Sessions, titles);
    out << TextReport(summary);

    bool ok = true;
    if (!htmlFile.empty())
        ok = WriteFile(htmlFile, HtmlReport(summary), err) && ok;
    if (!csvDir.empty()) {
        std::error_code ec;
        fs::create_directories(csvDir, ec);
        ok = WriteFile(fs::path(csvDir) / "sessions.csv", SessionsCsv(read.Sessions), err) && ok;
        ok = WriteFile(fs::path(csvDir) / "rules.csv", RulesCsv(summary), err) && ok;
    }
    return ok ? 0 : 1;
}
