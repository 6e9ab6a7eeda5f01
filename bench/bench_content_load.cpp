// deps: zarvo_content
// Loading a variant library of about 10 MB beside reading the same file's bytes. The load
// should stay within three times the raw read; the summary line after the table says where it
// stands.

#include "app/Strings.h"
#include "content/Task.h"
#include "platform/MessageBox.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

namespace {

class TQuiet : public platform::IMessagePresenter {
public:
    int Show(const std::string& text, const std::string&, unsigned) override {
        std::fprintf(stderr, "unexpected message: %s\n", text.c_str());
        return platform::IDOK;
    }
};

// Classes of themes of variants of examples, each example with three check points: the shape
// of real content, repeated until the file is about `bytes` long.
std::string Generate(std::size_t bytes) {
    auto line = [](const std::string& s) { return TFileCover::TransformText(s) + "\r\n"; };
    std::string out = std::string(VarLibSignature) + "\r\n";
    const std::string sentence =
        "\xC2 \xF1\xE0\xE4\xF3 \xF0\xEE\xF1\xEB\xE8 \xFF\xE1\xEB\xEE\xED\xE8, \xE3\xF0\xF3\xF8"
        "\xE8@ \xE8 \xF1\xEB\xE8\xE2\xFB, \xE0 \xE2 \xEB\xE5\xF1\xF3 - \xE3\xF0\xE8\xE1\xFB.";
    std::string cps = "%XR";
    cps += '\x03';
    for (char pos : {'\x0F', '\x17', '\x24'})
        cps += std::string{pos, '\x00', '@', ','} + "ZP1 ";
    for (int c = 1; out.size() < bytes; ++c) {
        out += line("%C" + std::to_string(c) + " class");
        for (int t = 1; t <= 10 && out.size() < bytes; ++t) {
            out += line("%TTheme " + std::to_string(t));
            for (int v = 1; v <= 20 && out.size() < bytes; ++v) {
                out += line("%V" + std::to_string(v) + " Variant " + std::to_string(v));
                for (int e = 0; e < 10; ++e)
                    out += line("%X" + sentence) + line(cps);
            }
        }
    }
    return out + line("%%STOP");
}

struct TFixture {
    QTemporaryDir Dir;
    std::string Path;
    std::size_t Size = 0;
    TFixture() {
        platform::SetMessagePresenter(std::make_unique<TQuiet>());
        SetDefaultInterfaceStrings();
        Path = Dir.path().toStdString() + "/Zarvo.ff";
        std::string bytes = Generate(10u << 20);
        Size = bytes.size();
        std::ofstream(Path, std::ios::binary) << bytes;
    }
};

TFixture& Fixture() {
    static TFixture f;
    return f;
}

// The plain read: the whole file into one buffer, as fast as the stream library does it.
std::size_t ReadBytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary | std::ios::ate);
    std::string s(static_cast<std::size_t>(f.tellg()), '\0');
    f.seekg(0);
    f.read(s.data(), static_cast<std::streamsize>(s.size()));
    return static_cast<std::size_t>(f.gcount());
}

// The same bytes through the trainer's own buffered reader, line by line, as they are before
// any line is taken apart.
std::size_t ReadLines(const std::string& path) {
    TTextFile f(path);
    std::string line;
    std::size_t n = 0;
    TFileCover::ReadPlainLine(f, line);
    while (!f.Eof()) {
        TFileCover::ReadRawLine(f, line);
        n += line.size();
    }
    return n;
}

// The tree is released outside the measured time: freeing it is no part of loading.
std::unique_ptr<TTask> Loaded;

std::size_t Load(const std::string& path) {
    Loaded = std::make_unique<TTask>(path);
    return Loaded->Classes.size();
}

void BM_ReadBytes(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadBytes(Fixture().Path));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Fixture().Size));
}
BENCHMARK(BM_ReadBytes)->Unit(benchmark::kMillisecond);

void BM_ReadLines(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadLines(Fixture().Path));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Fixture().Size));
}
BENCHMARK(BM_ReadLines)->Unit(benchmark::kMillisecond);

void BM_LoadVariantLibrary(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(Load(Fixture().Path));
        state.PauseTiming();
        Loaded.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Fixture().Size));
}
BENCHMARK(BM_LoadVariantLibrary)->Unit(benchmark::kMillisecond);

template <class F> double Best(F f) {
    double best = 1e300;
    for (int i = 0; i < 7; ++i) {
        auto t0 = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(f(Fixture().Path));
        std::chrono::duration<double, std::milli> d = std::chrono::steady_clock::now() - t0;
        best = std::min(best, d.count());
        Loaded.reset();
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    const double raw = Best(ReadBytes), lines = Best(ReadLines), load = Best(Load);
    std::printf("%.1f MB: raw read %.2f ms, read by lines %.2f ms, load %.2f ms\n"
                "load / raw read %.2f, load / read by lines %.2f (the aim: at most 3)\n",
                static_cast<double>(Fixture().Size) / (1 << 20), raw, lines, load, load / raw,
                load / lines);
    benchmark::Shutdown();
    return 0;
}
