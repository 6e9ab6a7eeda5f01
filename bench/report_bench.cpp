// zarvo-report over a school's results file at two sizes: the blocks written by the trainer's own
// writer (both languages, rounds of work on mistakes, a few damaged and pathological blocks), the
// report run as a separate process with every output, and its wall time, peak memory and output
// size printed beside their aims.
//
//   report_bench [--runs N] [--sizes MB,MB] [--keep DIR] [--tool PATH]
//
// By default 3 runs over 6 and 60 MB with the zarvo-report built beside it; --tool measures
// another build of it (an older one, for comparison), --keep leaves the files in DIR.

#include "Results.h"

#include "app/Strings.h"
#include "platform/Text.h"
#include "session/Pupil.h"
#include "support/ResultLabels.h"

#include <QCoreApplication>
#include <QDateTime>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr double MiB = 1024.0 * 1024.0;
// The aims: the whole report within a second over a 60 MB file, and at most twice the file's
// size in memory (for a small file the figure is mostly the program's own 10 MB, so it is shown
// without the aim).
constexpr double TimeAimSeconds = 1.0;
constexpr double MemoryAimRatio = 2.0;
// The filler of the pathological fields; no label, heading or page text has two in a row.
constexpr char Filler = 'Z';

void UseLabels(const TResultLabels& l, const std::string& workOnMistakes) {
    UseResultLabels(l);
    strWorkOnMistakes = workOnMistakes;
}

std::string A(const char* utf8) {
    return platform::Utf8ToAnsi(utf8);
}

// A school's lab over some years: 12 classes of 28 pupils, 20 themes of 8 variants, 60 rules;
// most blocks Russian, a few English; after a session with mistakes often a round or two of work
// on mistakes. `bytes` is the size aimed at; the pathological blocks are a fixed share of it.
std::string GenerateResults(std::size_t bytes, unsigned seed) {
    std::mt19937 random(seed);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const TResultLabels russian = DefaultRussianLabels(), english = DefaultEnglishLabels();
    const std::string ruRound = A("Работа над ошибками:"), enRound = "Work on mistakes:";

    const std::vector<std::string> firstNames = {
        A("Анна"), A("Борис"), A("Вера"),   A("Глеб"), A("Дарья"), A("Егор"),   A("Жанна"),
        A("Зоя"),  A("Иван"),  A("Ксения"), A("Лев"),  A("Мария"), A("Никита"), A("Ольга")};
    const std::vector<std::string> lastNames = {A("Иванов"),   A("Петров"),  A("Сидоров"),
                                                A("Кузнецов"), A("Смирнов"), A("Попов"),
                                                A("Соколов"),  A("Лебедев"), A("Козлов")};
    std::vector<std::string> classes, themes, rules;
    for (int grade = 5; grade <= 10; ++grade)
        for (const char* letter : {"а", "б"})
            classes.push_back(std::to_string(grade) + A(letter) + A(" класс"));
    for (int t = 1; t <= 20; ++t)
        themes.push_back(std::to_string(t / 4 + 5) + "." + std::to_string(t) +
                         A(". Правописание и пунктуация, часть ") + std::to_string(t));
    const char* const letters = "АБВГДЕЖЗИКЛМНОПРСТУФХЦЧШЩЭЮЯ";
    const std::string cyr = A(letters);
    for (int r = 0; r < 60; ++r) {
        std::string id;
        for (int k = 0; k < 2 + r % 3; ++k)
            id += cyr[static_cast<std::size_t>((r * 7 + k * 5) % static_cast<int>(cyr.size()))];
        rules.push_back(id + std::to_string(r));
    }
    std::vector<std::string> pupils;
    for (int i = 0; i < 28; ++i)
        pupils.push_back(lastNames[static_cast<std::size_t>(i % 9)] + " " +
                         firstNames[static_cast<std::size_t>(i % 14)]);

    QDateTime when(QDate(2023, 9, 1), QTime(8, 30));
    std::string out;
    out.reserve(bytes + bytes / 8);
    UseLabels(russian, ruRound);
    out += strResultFileCaption + "\r\n";
    std::size_t blocks = 0;
    auto session = [&](const std::string& name, const std::string& cls, const std::string& theme,
                       const std::string& variant, bool english_) {
        UseLabels(english_ ? english : russian, english_ ? enRound : ruRound);
        TFPupil p(name, cls, theme, variant);
        const int questions = 10 + pick(21);
        for (int q = 0; q < questions; ++q)
            p.AddQuestion();
        for (int k = pick(5) - 1; k > 0; --k)
            p.AddSpellingMistake(rules[static_cast<std::size_t>(pick(30))]);
        for (int k = pick(6) - 1; k > 0; --k)
            p.AddPunctuationMistake(rules[static_cast<std::size_t>(30 + pick(30))]);
        for (int k = pick(8) - 4; k > 0; --k)
            p.AddPrompt();
        when = when.addSecs(60 + pick(900));
        out += p.ResultsBlock(when, pick(40) == 0);
        ++blocks;
        return p;
    };

    const std::size_t pathologicalAt = bytes / 3, tornAt = bytes / 2;
    bool pathological = false, torn = false;
    while (out.size() < bytes) {
        const std::string& cls = classes[static_cast<std::size_t>(pick(12))];
        const std::string& name = pupils[static_cast<std::size_t>(pick(28))];
        const std::string& theme = themes[static_cast<std::size_t>(pick(20))];
        const std::string variant = std::to_string(1 + pick(8)) + A(". Вариант");
        const bool inEnglish = pick(10) == 0;
        TFPupil first = session(name, cls, theme, variant, inEnglish);
        // Rounds of work on mistakes, until one is clean or the pupil stops.
        for (int round = 0; first.MistakesCount() > 0 && round < 2 && pick(3) != 0; ++round)
            first = session(name, cls, theme, strWorkOnMistakes + " " + variant, inEnglish);

        if (!pathological && out.size() >= pathologicalAt) {
            pathological = true;
            // A name pasted over and over (a sixth of the file: 10 MB in 60), a long class and
            // theme, and a session that lists thousands of mistakes.
            session(std::string(bytes / 6, Filler), cls, theme, variant, false);
            session(name, std::string(100000, Filler), std::string(200000, Filler), variant, false);
            UseLabels(russian, ruRound);
            TFPupil many(name, cls, theme, variant);
            for (int k = 0; k < 5000; ++k)
                many.AddPunctuationMistake(rules[static_cast<std::size_t>(k % 60)]);
            out += many.ResultsBlock(when, false);
        }
        if (!torn && out.size() >= tornAt) {
            torn = true;
            // A block torn by a power cut, a stray line, and a block copied twice.
            const std::string block = first.ResultsBlock(when.addSecs(1), false);
            out += block.substr(0, block.size() / 2) + "\r\n";
            out += "stray text\r\n";
            out += block + block;
        }
    }
    ClearInterfaceStrings();
    std::printf("  generated %.1f MB, %zu blocks\n", static_cast<double>(out.size()) / MiB, blocks);
    return out;
}

struct TRun {
    double Seconds = 0;
    double Cpu = 0; // user and system time
    double PeakBytes = 0;
    int Status = -1;
};

// One report run in a child process; its peak resident memory from the kernel's accounting.
TRun RunReport(const std::string& tool, const std::vector<std::string>& args,
               const std::string& stdoutFile) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(tool.c_str()));
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    std::fflush(stdout);
    const pid_t child = ::fork();
    if (child == 0) {
        if (!std::freopen(stdoutFile.c_str(), "w", stdout) ||
            !std::freopen("/dev/null", "w", stderr))
            ::_exit(127);
        ::execv(tool.c_str(), argv.data());
        ::_exit(127);
    }
    TRun run;
    int status = 0;
    rusage usage{};
    if (child < 0 || ::wait4(child, &status, 0, &usage) != child)
        return run;
    run.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.PeakBytes = static_cast<double>(usage.ru_maxrss) * 1024.0;
    run.Cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
              static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// The longest run of the filler in a file: a pathological field copied whole would show here.
std::size_t LongestFillerRun(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::size_t longest = 0, run = 0;
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        for (std::streamsize i = 0; i < in.gcount(); ++i) {
            run = buffer[i] == Filler ? run + 1 : 0;
            longest = std::max(longest, run);
        }
    }
    return longest;
}

} // namespace

int main(int argc, char** argv) {
    // The blocks carry a Russian lab's dates ("08.12.2026 10:15:02"), whatever this machine's
    // locale; the report itself is run in the same environment.
    qputenv("LC_ALL", "ru_RU.UTF-8");
    QCoreApplication app(argc, argv);
    int runs = 3;
    std::vector<int> sizes = {6, 60};
    std::string keep, tool;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--runs" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (a == "--sizes" && i + 1 < argc) {
            sizes.clear();
            for (const auto& part : QString(argv[++i]).split(','))
                sizes.push_back(part.toInt());
        } else if (a == "--keep" && i + 1 < argc) {
            keep = argv[++i];
        } else if (a == "--tool" && i + 1 < argc) {
            tool = argv[++i];
        } else {
            std::fprintf(
                stderr,
                "usage: report_bench [--runs N] [--sizes MB,MB] [--keep DIR] [--tool PATH]\n");
            return 2;
        }
    }
    if (tool.empty())
        tool = QCoreApplication::applicationDirPath().toStdString() + "/../bin/zarvo-report";
    if (!fs::exists(tool)) {
        std::fprintf(stderr, "report_bench: %s is missing; build zarvo-report first\n",
                     tool.c_str());
        return 2;
    }
    const fs::path dir = keep.empty() ? fs::temp_directory_path() /
                                            ("zarvo-report-bench-" + std::to_string(::getpid()))
                                      : fs::path(keep);
    fs::create_directories(dir);

    std::printf("zarvo-report, median of %d runs: the text report alone (as a teacher runs it), "
                "and with the web page and the CSV files too\n",
                runs);
    struct TRow {
        double FileBytes, Seconds, Cpu, Peak, Output;
        std::size_t Filler;
        bool All;
    };
    std::vector<TRow> rows;
    bool failed = false;
    for (int size : sizes) {
        std::printf("%d MB:\n", size);
        const fs::path results = dir / ("lab" + std::to_string(size) + ".rez");
        {
            const std::string text =
                GenerateResults(static_cast<std::size_t>(size * MiB), static_cast<unsigned>(size));
            std::ofstream(results, std::ios::binary) << text;
        }
        const fs::path html = dir / "report.html", csv = dir / "csv", text = dir / "report.txt";
        for (bool all : {false, true}) {
            std::vector<std::string> args = {results.string()};
            if (all)
                args.insert(args.begin(), {"--html", html.string(), "--csv", csv.string()});
            std::vector<TRun> done;
            for (int r = 0; r < runs; ++r) {
                done.push_back(RunReport(tool, args, text.string()));
                if (done.back().Status != 0) {
                    std::fprintf(stderr, "report_bench: zarvo-report ended with status %d\n",
                                 done.back().Status);
                    failed = true;
                }
            }
            auto median = [&done](double TRun::*field) {
                std::vector<double> values;
                for (const TRun& r : done)
                    values.push_back(r.*field);
                std::sort(values.begin(), values.end());
                return values[values.size() / 2];
            };
            double peak = 0;
            for (const TRun& r : done)
                peak = std::max(peak, r.PeakBytes);
            double output = 0;
            std::size_t filler = 0;
            std::vector<fs::path> outputs = {text};
            if (all)
                outputs.insert(outputs.end(), {html, csv / "sessions.csv", csv / "rules.csv"});
            for (const fs::path& f : outputs) {
                output += static_cast<double>(fs::file_size(f));
                filler = std::max(filler, LongestFillerRun(f));
            }
            rows.push_back({static_cast<double>(fs::file_size(results)), median(&TRun::Seconds),
                            median(&TRun::Cpu), peak, output, filler, all});
        }
        if (keep.empty())
            fs::remove(results);
    }
    if (keep.empty())
        fs::remove_all(dir);

    // Wall time depends on what else the machine runs; the processor time (user and system) of
    // the report is printed beside it.
    std::printf("\n%8s  %-9s  %8s  %8s  %12s  %9s  %11s  %16s  %9s  %11s\n", "file MB", "outputs",
                "wall s", "cpu s", "(aim <= 1 s)", "peak MB", "peak / file", "(aim <= 2 at 60)",
                "output MB", "output/file");
    for (const TRow& r : rows)
        std::printf("%8.1f  %-9s  %8.3f  %8.3f  %12s  %9.1f  %11.2f  %16s  %9.1f  %11.2f\n",
                    r.FileBytes / MiB, r.All ? "all" : "text", r.Seconds, r.Cpu,
                    r.Seconds <= TimeAimSeconds ? "yes" : "NO", r.Peak / MiB, r.Peak / r.FileBytes,
                    r.FileBytes < 50 * MiB                   ? "-"
                    : r.Peak <= MemoryAimRatio * r.FileBytes ? "yes"
                                                             : "NO",
                    r.Output / MiB, r.Output / r.FileBytes);
    std::size_t filler = 0;
    for (const TRow& r : rows)
        filler = std::max(filler, r.Filler);
    std::printf("\nlongest pathological field in the outputs: %zu bytes (aim: cut to %zu, of "
                "fields of up to %.0f MB)\n",
                filler, MaxResultsFieldSize, static_cast<double>(sizes.back()) / 6.0);
    if (sizes.size() == 2)
        for (bool all : {false, true}) {
            const TRow &a = rows[all ? 1 : 0], &b = rows[all ? 3 : 2];
            std::printf("%s: growth %.1fx in file size: wall time %.1fx, cpu %.1fx, peak memory "
                        "%.1fx, output %.1fx (aim: no more than the file's)\n",
                        all ? "all outputs" : "text alone", b.FileBytes / a.FileBytes,
                        b.Seconds / a.Seconds, b.Cpu / a.Cpu, b.Peak / a.Peak, b.Output / a.Output);
        }
    return failed ? 1 : 0;
}
