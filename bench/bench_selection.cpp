// deps: zarvo_screens
// The variant selection over a school's own large library: 10 themes a class and 10 variants a
// theme, ten examples a variant, at 10 classes (100 themes, 1,000 variants) and at 100 (1,000
// themes, 10,000 variants). Measured at each size: the library's load and the selection's share
// of start-up (its lists made from the library), which together should grow no faster than the
// library; and, in the real window (offscreen unless QT_QPA_PLATFORM says otherwise), opening
// each list as the pupil does: the class list, a class chosen and its theme list opened, a theme
// chosen and its variant list opened, and a step through the open class list. Every list should
// open in under 50 ms. The summary after the table prints each figure beside its aim.

#include "BenchSupport.h"
#include "LibrarySupport.h"
#include "app/Strings.h"
#include "content/Task.h"
#include "platform/MessageBox.h"
#include "screens/VariantChoice.h"
#include "screens/frmVariant.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr int ThemesPerClass = 10;
constexpr int VariantsPerTheme = 10;
constexpr int ExamplesPerVariant = 10;
constexpr int SmallLibrary = 10, LargeLibrary = 100; // classes
constexpr double ListAimMs = 50;

// Names as long as real ones, so that the lists copy and draw what a school's would.
std::string Generate(int classes) {
    std::string out = std::string(VarLibSignature) + "\r\n";
    const std::string example = ExampleLines();
    for (int c = 1; c <= classes; ++c) {
        out += LibraryLine("%C" + std::to_string(c) + " \xEA\xEB\xE0\xF1\xF1"); // "класс"
        for (int t = 1; t <= ThemesPerClass; ++t) {
            out +=
                LibraryLine("%T\xC7\xE0\xEF\xFF\xF2\xE0\xFF \xEF\xF0\xE8 \xEE\xE4\xED\xEE\xF0\xEE"
                            "\xE4\xED\xFB\xF5 \xF7\xEB\xE5\xED\xE0\xF5, \xF7\xE0\xF1\xF2\xFC " +
                            std::to_string(c * 100 + t));
            for (int v = 1; v <= VariantsPerTheme; ++v) {
                out += LibraryLine("%V" + std::to_string(v) +
                                   " \xD1\xEE\xFE\xE7\xFB \xE8 \xE8 \xE4\xE0 " + std::to_string(v));
                for (int e = 0; e < ExamplesPerVariant; ++e)
                    out += example;
            }
        }
    }
    return out + LibraryLine("%%STOP");
}

// One size of library: its file, the loaded library and the selection window made from it.
struct TLibrary {
    std::string Path;
    std::size_t Bytes = 0;
    std::unique_ptr<TTask> Task;
    std::unique_ptr<TfrmVariant> Form;
    // Items the window drew since this was last cleared: an open that drew nothing measured
    // nothing.
    long Drawn = 0;
};

std::unique_ptr<QTemporaryDir> Dir;
std::unique_ptr<TFFont> Fonts;
std::map<int, TLibrary> Libraries;

TLibrary& Library(int classes) {
    TLibrary& lib = Libraries[classes];
    if (!lib.Path.empty())
        return lib;
    lib.Path = Dir->path().toStdString() + "/Zarvo-" + std::to_string(classes) + ".ff";
    const std::string bytes = Generate(classes);
    lib.Bytes = bytes.size();
    std::ofstream(lib.Path, std::ios::binary) << bytes;
    lib.Task = std::make_unique<TTask>(lib.Path);
    if (lib.Task->Classes.size() != static_cast<std::size_t>(classes) ||
        !lib.Task->Errors.empty()) {
        std::fprintf(stderr, "the generated library of %d classes did not load\n", classes);
        std::exit(1);
    }
    lib.Form = std::make_unique<TfrmVariant>(
        TfrmVariant::TLinks{nullptr, Fonts.get(), lib.Task.get(), nullptr, nullptr, nullptr});
    lib.Form->FormCreate();
    lib.Form->show();
    for (TOwnerDrawList* list : {lib.Form->cmbClass, lib.Form->cmbTheme, lib.Form->cmbVariant}) {
        list->OnDrawItem = [draw = list->OnDrawItem, &lib](int index, bool selected, QSize size) {
            ++lib.Drawn;
            return draw(index, selected, size);
        };
    }
    QApplication::processEvents();
    return lib;
}

// A list opened and drawn as the pupil sees it, then closed again.
void OpenAndClose(TOwnerDrawList* list) {
    list->setFocus();
    list->showPopup();
    QApplication::processEvents();
    list->hidePopup();
    QApplication::processEvents();
}

void CheckDrawn(benchmark::State& state, TLibrary& lib) {
    if (lib.Drawn == 0)
        state.SkipWithError("the list drew no item");
    state.counters["items_drawn"] =
        benchmark::Counter(static_cast<double>(lib.Drawn), benchmark::Counter::kAvgIterations);
}

void BM_Load(benchmark::State& state) {
    TLibrary& lib = Library(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto task = std::make_unique<TTask>(lib.Path);
        benchmark::DoNotOptimize(task->Classes.data());
        // Freeing the library is no part of loading it.
        state.PauseTiming();
        task.reset();
        state.ResumeTiming();
    }
    state.counters["file_MB"] = static_cast<double>(lib.Bytes) / (1 << 20);
}

// What the selection makes of the library when the trainer starts: the lists' own copy of the
// names and the class list.
void BM_SelectionStart(benchmark::State& state) {
    TLibrary& lib = Library(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        TVariantChoice choice(ChoiceLibraryOf(*lib.Task));
        benchmark::DoNotOptimize(choice.ClassList().Items.data());
    }
}

// The same in the window: its creation handler, which also fills the class list.
void BM_SelectionFormCreate(benchmark::State& state) {
    TLibrary& lib = Library(static_cast<int>(state.range(0)));
    for (auto _ : state)
        lib.Form->FormCreate();
    if (lib.Form->cmbClass->count() != static_cast<int>(state.range(0)))
        state.SkipWithError("the class list is not full");
}

void BM_OpenClassList(benchmark::State& state) {
    TLibrary& lib = Library(static_cast<int>(state.range(0)));
    lib.Drawn = 0;
    for (auto _ : state)
        OpenAndClose(lib.Form->cmbClass);
    CheckDrawn(state, lib);
}

// A class chosen (each time another, so that the theme list is filled anew) and its theme list
// opened.
void BM_ChooseClassOpenThemes(benchmark::State& state) {
    const int classes = static_cast<int>(state.range(0));
    TLibrary& lib = Library(classes);
    lib.Drawn = 0;
    int c = 0;
    for (auto _ : state) {
        lib.Form->cmbClass->activated(c);
        c = (c + 1) % classes;
        OpenAndClose(lib.Form->cmbTheme);
    }
    if (lib.Form->cmbTheme->count() != ThemesPerClass)
        state.SkipWithError("the theme list is not full");
    CheckDrawn(state, lib);
}

// A theme chosen (each time another) and its variant list opened.
void BM_ChooseThemeOpenVariants(benchmark::State& state) {
    TLibrary& lib = Library(static_cast<int>(state.range(0)));
    lib.Form->cmbClass->activated(static_cast<int>(state.range(0)) - 1);
    lib.Drawn = 0;
    int t = 0;
    for (auto _ : state) {
        lib.Form->cmbTheme->activated(t);
        t = (t + 1) % ThemesPerClass;
        OpenAndClose(lib.Form->cmbVariant);
    }
    if (lib.Form->cmbVariant->count() != VariantsPerTheme)
        state.SkipWithError("the variant list is not full");
    CheckDrawn(state, lib);
}

// One Down in the open class list: the next class highlighted, named in the caption and the
// status line, and the list drawn again; from the top again at the end.
void BM_StepThroughClassList(benchmark::State& state) {
    const int classes = static_cast<int>(state.range(0));
    TLibrary& lib = Library(classes);
    TOwnerDrawList* list = lib.Form->cmbClass;
    list->setFocus();
    list->showPopup();
    QApplication::processEvents();
    QAbstractItemView* view = list->view();
    lib.Drawn = 0;
    for (auto _ : state) {
        if (view->currentIndex().row() == classes - 1)
            view->setCurrentIndex(view->model()->index(0, 0));
        QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
        QApplication::sendEvent(view, &down);
        QApplication::processEvents();
    }
    list->hidePopup();
    QApplication::processEvents();
    CheckDrawn(state, lib);
}

void Sizes(benchmark::internal::Benchmark* b) {
    b->Arg(SmallLibrary)->Arg(LargeLibrary)->Unit(benchmark::kMillisecond);
}
BENCHMARK(BM_Load)->Apply(Sizes);
BENCHMARK(BM_SelectionStart)->Apply(Sizes);
BENCHMARK(BM_SelectionFormCreate)->Apply(Sizes);
BENCHMARK(BM_OpenClassList)->Apply(Sizes);
BENCHMARK(BM_ChooseClassOpenThemes)->Apply(Sizes);
BENCHMARK(BM_ChooseThemeOpenVariants)->Apply(Sizes);
BENCHMARK(BM_StepThroughClassList)->Apply(Sizes);

std::string Name(const char* bench, int classes) {
    return std::string(bench) + "/" + std::to_string(classes);
}

void Summary(std::map<std::string, double>& times) {
    const int sizes[] = {SmallLibrary, LargeLibrary};
    std::printf("\nlibrary (classes/themes/variants)      %8s %12s\n", "10/100/1k", "100/1k/10k");
    std::printf("%-38s %8.2f %8.2f MB   large/small %5.1f\n", "the library file",
                static_cast<double>(Libraries[sizes[0]].Bytes) / (1 << 20),
                static_cast<double>(Libraries[sizes[1]].Bytes) / (1 << 20),
                static_cast<double>(Libraries[sizes[1]].Bytes) /
                    static_cast<double>(Libraries[sizes[0]].Bytes));
    auto row = [&](const char* label, double small, double large, const char* aim) {
        std::printf("%-38s %8.2f %8.2f ms   large/small %5.1f%s%s\n", label, small, large,
                    small > 0 ? large / small : 0.0, *aim ? "   " : "", aim);
    };
    auto at = [&](const char* bench, int size) { return times[Name(bench, sizes[size])]; };
    row("load of the library", at("BM_Load", 0), at("BM_Load", 1), "");
    // Part of the window's creation; the names it copies lie spread over the whole file, so the
    // large library's miss the processor's caches.
    row("  selection's lists from the library", at("BM_SelectionStart", 0),
        at("BM_SelectionStart", 1), "");
    row("selection window's creation", at("BM_SelectionFormCreate", 0),
        at("BM_SelectionFormCreate", 1), "");
    row("start-up's share: load and window", at("BM_Load", 0) + at("BM_SelectionFormCreate", 0),
        at("BM_Load", 1) + at("BM_SelectionFormCreate", 1), "(aim: about 10, linear)");
    std::printf("each list's opening (aim: under %.0f ms at either size):\n", ListAimMs);
    const std::pair<const char*, const char*> lists[] = {
        {"  class list opened", "BM_OpenClassList"},
        {"  class chosen, theme list opened", "BM_ChooseClassOpenThemes"},
        {"  theme chosen, variant list opened", "BM_ChooseThemeOpenVariants"},
        {"  one step down the open class list", "BM_StepThroughClassList"}};
    for (const auto& [label, bench] : lists) {
        const double worst = std::max(times[Name(bench, sizes[0])], times[Name(bench, sizes[1])]);
        std::printf("%-38s %8.2f %8.2f ms   %s\n", label, times[Name(bench, sizes[0])],
                    times[Name(bench, sizes[1])], worst < ListAimMs ? "under the aim" : "OVER");
    }
}

// The offscreen platform says at every list it opens that it does not pass size hints on.
void QuietPlatform(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (!text.contains("propagateSizeHints"))
        std::fprintf(stderr, "%s%s\n", type >= QtWarningMsg ? "warning: " : "",
                     text.toLocal8Bit().constData());
}

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qInstallMessageHandler(QuietPlatform);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    platform::SetMessagePresenter(std::make_unique<TQuiet>());
    SetDefaultInterfaceStrings();
    Fonts = LoadBundledFonts("bench_selection", 1024);
    if (!Fonts)
        return 1;
    Dir = std::make_unique<QTemporaryDir>();

    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    Summary(reporter.Times);
    Libraries.clear();
    Fonts.reset();
    Dir.reset();
    benchmark::Shutdown();
    return 0;
}
