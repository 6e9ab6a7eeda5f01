// deps: zarvo_config
// The registry reads of one start of the trainer: the configuration opens about a dozen keys of
// the registry file (the product key, the three file keys it creates when missing, the library's
// length, class and theme, the program folder, the language). Measured on the file an
// installation writes and on one grown to a thousand keys of other programs, so that the cost of
// reading the file at every open shows beside what a pupil waits for at start-up.

#include "config/Config.h"
#include "platform/Registry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <string>

namespace {

QTemporaryDir* Sandbox = nullptr;

std::string Path(const char* name) {
    return Sandbox->path().toStdString() + "/" + name;
}

void Write(const std::string& path, const std::string& bytes) {
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

// The keys an installation writes, and `others` keys of other programs before them.
std::string RegistryFile(int others) {
    std::string text = "Windows Registry Editor Version 5.00\r\n\r\n";
    for (int i = 0; i < others; ++i)
        text += "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other\\Program" + std::to_string(i) +
                "]\r\n\"Path\"=\"/opt/other/" + std::to_string(i) + "\"\r\n\"Size\"=dword:0000" +
                "1234\r\n\r\n";
    const std::string product = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvisoft\\Zarvo";
    text += product + "]\r\n\r\n";
    text += product + "\\Files\\VarLib]\r\n\"VarLib\"=\"CD\"\r\n\r\n";
    text += product + "\\Files\\VarLib\\Length]\r\n\"Length\"=dword:00000010\r\n\r\n";
    text += product + "\\Files\\Rule]\r\n\"Rule\"=\"CD\"\r\n\r\n";
    text += product + "\\Files\\FFF]\r\n\"FFF\"=\"=\"\r\n\r\n";
    text += product + "\\Files\\Result]\r\n\"Result\"=\"Zarvo.rez\"\r\n\r\n";
    text += product + "\\Path]\r\n\"Path\"=\"/var/lib/zarvo/\"\r\n\r\n";
    text += product + "\\Language]\r\n\"Language\"=\"Russian\"\r\n";
    return text;
}

// Everything the start-up reads from the registry: the configuration, then the language.
void ReadAsTheTrainerStarts() {
    TConfig config{TConfig::TSettingsOnly{}};
    platform::TRegistry reg;
    if (reg.OpenKey("\\SOFTWARE\\Orvisoft\\Zarvo\\Language", false))
        benchmark::DoNotOptimize(reg.ReadString("Language"));
    benchmark::DoNotOptimize(config.Path);
}

void StartUpReads(benchmark::State& state) {
    const std::string file = Path("registry.reg");
    Write(file, RegistryFile(static_cast<int>(state.range(0))));
    setenv("ZARVO_REGISTRY", file.c_str(), 1);
    for (auto _ : state)
        ReadAsTheTrainerStarts();
    state.counters["bytes"] =
        static_cast<double>(RegistryFile(static_cast<int>(state.range(0))).size());
}

// One open of a file that changed since the last: read and parsed whatever the program keeps.
void OpenAfterAChange(benchmark::State& state) {
    const std::string file = Path("changing.reg");
    setenv("ZARVO_REGISTRY", file.c_str(), 1);
    const std::string a = RegistryFile(static_cast<int>(state.range(0)));
    const std::string b = a + "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Changed]\r\n";
    bool flip = false;
    for (auto _ : state) {
        state.PauseTiming();
        Write(file, (flip = !flip) ? a : b);
        state.ResumeTiming();
        platform::TRegistry reg;
        benchmark::DoNotOptimize(reg.OpenKey("\\SOFTWARE\\Orvisoft\\Zarvo\\Path", false));
    }
}

} // namespace

BENCHMARK(StartUpReads)->Arg(0)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(OpenAfterAChange)->Arg(0)->Arg(1000)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    Sandbox = &dir;
    // No Windows folder and no content folder: only the registry is read.
    setenv("ZARVO_WINDIR", Path("windows").c_str(), 1);
    QDir().mkpath(QString::fromStdString(Path("windows")));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
