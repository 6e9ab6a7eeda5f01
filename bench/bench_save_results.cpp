// deps: zarvo_session
// Saving one results block at the end of a session, into an empty results file and into one a
// school has grown to 60 MB over the years (about 150,000 blocks): the block is appended under the
// file's lock, so both should cost the same. After the table, the two saves run by turns, so
// that a busy spell of the machine falls on both alike, and the summary prints the medians and
// their ratio (the aim: at most 1.2). The files lie in $TMPDIR (default /tmp); point it at the
// file system to measure.

#include "app/Strings.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "session/Pupil.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// A failed save shows the results-file box; here that ends the run, since its figures would
// time the failure.
class TFailOnBox : public platform::IMessagePresenter {
public:
    int Show(const std::string& text, const std::string&, unsigned) override {
        std::fprintf(stderr, "bench_save_results: %s\n", text.c_str());
        std::exit(1);
    }
};

// A session as pupils finish them: twenty-odd questions, a few mistakes by rule, a prompt now
// and then; the `n`th pupil of a school's classes.
TFPupil Session(int n) {
    TFPupil p("\xCF\xE5\xF2\xF0\xEE\xE2\xE0 \xC0\xED\xED\xE0 " + std::to_string(n % 900),
              std::to_string(5 + n % 5) + " \xEA\xEB\xE0\xF1\xF1",
              "\xC7\xE0\xEF\xFF\xF2\xE0\xFF \xEF\xF0\xE8 \xEE\xE4\xED\xEE\xF0\xEE\xE4\xED\xFB"
              "\xF5 \xF7\xEB\xE5\xED\xE0\xF5",
              "\xC2\xE0\xF0\xE8\xE0\xED\xF2 " + std::to_string(1 + n % 12));
    for (int q = 0; q < 20 + n % 9; ++q)
        p.AddQuestion();
    for (int m = 0; m < n % 4; ++m)
        p.AddSpellingMistake("\xCD\xC5" + std::to_string(m + 1));
    for (int m = 0; m < n % 6; ++m)
        p.AddPunctuationMistake("\xC7\xCF" + std::to_string(10 + m));
    for (int k = 0; k < n % 4; ++k)
        p.AddPrompt();
    return p;
}

// The caption and blocks as SaveResults writes them, up to `bytes`; `blocks` gets their count.
std::string GrownResults(std::size_t bytes, int& blocks) {
    std::string text = strResultFileCaption + "\r\n";
    text.reserve(bytes + 1024);
    QDateTime moment(QDate(2019, 9, 2), QTime(8, 30, 0));
    for (blocks = 0; text.size() < bytes; ++blocks) {
        const int n = blocks;
        text += Session(n).ResultsBlock(moment, n % 11 == 0);
        moment = moment.addSecs(1200 + n % 7 * 60);
    }
    return text;
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() ||
        ::fsync(::fileno(f)) != 0 || std::fclose(f) != 0) {
        std::fprintf(stderr, "bench_save_results: cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

// Empty results files made ahead, one for each save into an empty file: emptying a file again
// between saves would give its blocks back, and the file system's work on that would fall on the
// next save measured.
constexpr int TableSaves = 1000;
constexpr int AlternatingSaves = 2000;

struct TFixture {
    QTemporaryDir Dir;
    std::string Root;
    int EmptyUsed = 0;
    std::string Large;
    int LargeBlocks = 0;
    TFPupil Pupil = Session(7);
    TFixture() {
        platform::SetMessagePresenter(std::make_unique<TFailOnBox>());
        SetDefaultInterfaceStrings();
        if (!Dir.isValid()) {
            std::fprintf(stderr, "bench_save_results: no temporary folder\n");
            std::exit(1);
        }
        Root = Dir.path().toStdString();
        ::mkdir((Root + "/empty").c_str(), 0777);
        ::mkdir((Root + "/large").c_str(), 0777);
        for (int i = 0; i < 2 * TableSaves + AlternatingSaves; ++i)
            WriteFile(EmptyPath(i), "");
        const std::string grown = GrownResults(60u << 20, LargeBlocks);
        WriteFile(Root + "/large/Zarvo.rez", grown);
        // The trainer's own form of the name, as the configuration gives it.
        Large = platform::FromNativePath(Root + "/large/Zarvo.rez");
    }
    std::string EmptyPath(int i) const { return Root + "/empty/" + std::to_string(i) + ".rez"; }
    std::string NextEmpty() {
        // More runs than planned (--benchmark_repetitions) make theirs as they go.
        if (EmptyUsed >= 2 * TableSaves + AlternatingSaves)
            WriteFile(EmptyPath(EmptyUsed), "");
        return platform::FromNativePath(EmptyPath(EmptyUsed++));
    }
    double LargeMB() const {
        struct stat st {};
        ::stat(platform::NativePath(Large).c_str(), &st);
        return static_cast<double>(st.st_size) / (1 << 20);
    }
};

TFixture& Fixture() {
    static TFixture f;
    return f;
}

// One save through the trainer's own code, in microseconds. The large file keeps its blocks:
// a few thousand more are little beside its 150,000.
double SaveOnce(const std::string& path) {
    const auto t0 = std::chrono::steady_clock::now();
    Fixture().Pupil.SaveResults(path, false);
    const std::chrono::duration<double, std::micro> d = std::chrono::steady_clock::now() - t0;
    return d.count();
}

void BM_SaveIntoEmptyFile(benchmark::State& state) {
    TFixture& f = Fixture();
    for (auto _ : state) {
        state.PauseTiming();
        const std::string path = f.NextEmpty();
        state.ResumeTiming();
        f.Pupil.SaveResults(path, false);
    }
}
void BM_SaveInto60MBFile(benchmark::State& state) {
    TFixture& f = Fixture();
    for (auto _ : state)
        f.Pupil.SaveResults(f.Large, false);
    state.counters["file_MB"] = f.LargeMB();
}
BENCHMARK(BM_SaveIntoEmptyFile)->Iterations(TableSaves)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SaveInto60MBFile)->Iterations(TableSaves)->Unit(benchmark::kMicrosecond);

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    TFixture& f = Fixture();
    benchmark::RunSpecifiedBenchmarks();
    std::vector<double> empty, large;
    for (int i = 0; i < AlternatingSaves; ++i) {
        empty.push_back(SaveOnce(f.NextEmpty()));
        large.push_back(SaveOnce(f.Large));
    }
    const double e = Median(empty), l = Median(large);
    std::printf("saving a block (%zu bytes), median of %zu alternating saves:\n"
                "  into an empty file %.1f us, into a %.1f MB file (%d blocks and those saved "
                "here) %.1f us\n"
                "  60 MB / empty: %.2f (the aim: at most 1.20)\n",
                f.Pupil.ResultsBlock(QDateTime::currentDateTime(), false).size(), empty.size(), e,
                f.LargeMB(), f.LargeBlocks, l, l / e);
    benchmark::Shutdown();
    return 0;
}
