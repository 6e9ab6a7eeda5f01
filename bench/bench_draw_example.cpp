// deps: zarvo_session
// A full redraw of the example picture, as the exercise screen does after every key: a sentence
// of three lines with the pointer and mistake strokes, at full HD, beside a plain fill of the
// same picture. Prints the ratio after the table.

#include "BenchSupport.h"
#include "render/FFont.h"
#include "session/ExampleDrawing.h"
#include "session/ExampleLayout.h"

#include <QFile>
#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr int ScreenWidth = 1920, ScreenHeight = 1080;
// The example box of the screen: all but the 108-pixel button panel.
constexpr int BoxHeight = ScreenHeight - 108;

std::unique_ptr<TFFont> Fonts;
TExampleLayout Layout;
TExampleDrawing What;
platform::TBitmap Pointer;

// About 150 characters of the bundled punctuation exercise: three lines of the large font.
const std::string Sentence =
    "\xcb\xfe\xe1\xeb\xfe \xe3\xf0\xee\xe7\xf3 \xe2 \xed\xe0\xf7\xe0\xeb\xe5 \xec\xe0\xff, "
    "\xea\xee\xe3\xe4\xe0 \xe2\xe5\xf1\xe5\xed\xed\xe8\xe9 \xef\xe5\xf0\xe2\xfb\xe9 "
    "\xe3\xf0\xee\xec, \xea\xe0\xea \xe1\xfb \xf0\xe5\xe7\xe2\xff\xf1\xff \xe8 "
    "\xe8\xe3\xf0\xe0\xff, \xe3\xf0\xee\xf5\xee\xf7\xe5\xf2 \xe2 \xed\xe5\xe1\xe5 "
    "\xe3\xee\xeb\xf3\xe1\xee\xec, \xe8 \xe4\xee\xe6\xe4\xfc \xf1\xf2\xf3\xf7\xe8\xf2 "
    "\xef\xee \xea\xf0\xfb\xf8\xe0\xec.";

void Prepare() {
    Layout.Metrics = {SizeWidth(Fonts->LargeSize()), SizeHeight(Fonts->LargeSize()),
                      SizeHeight(Fonts->SmallSize())};
    const TBoxGeometry box{ScreenWidth, ScreenWidth, BoxHeight, BoxHeight, 0};
    Layout.LayOut(Sentence, box);
    const int comma = static_cast<int>(Sentence.find(',', 60)) + 1;
    Layout.Locate(comma, box);
    Layout.MistakeMarks.push_back({Layout.CellX - 5 * Layout.Metrics.W, Layout.CellY, 2});
    Pointer = PlainPointer();
    What.Font = Fonts->LargeFont();
    What.Pointer = &Pointer;
    What.Points = {comma, '_', {comma + 30, comma + 60}};
    What.CheckPointMistakes = 1;
}

void PlainFill(benchmark::State& state) {
    platform::TBitmap b(Layout.PictureWidth, Layout.PictureHeight, platform::clNavy);
    for (auto _ : state) {
        b.Fill(platform::clNavy);
        benchmark::DoNotOptimize(b.Image().constBits());
    }
}

void FullDrawExample(benchmark::State& state) {
    platform::TBitmap b;
    for (auto _ : state) {
        DrawExample(Layout, What, b);
        benchmark::DoNotOptimize(b.Image().constBits());
    }
}

} // namespace

BENCHMARK(PlainFill);
BENCHMARK(FullDrawExample);

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    Fonts = LoadBundledFonts("bench_draw_example", ScreenWidth);
    if (!Fonts)
        return 1;
    Prepare();
    std::printf("picture %dx%d, %zu lines of at most %d cells of %dx%d\n", Layout.PictureWidth,
                Layout.PictureHeight, Layout.Lines.size(), Layout.LineChars, Layout.Metrics.W,
                Layout.Metrics.H);

    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double fill = reporter.Times["PlainFill"];
    if (fill > 0 && reporter.Times.count("FullDrawExample"))
        std::printf("FullDrawExample %6.2f x plain fill\n",
                    reporter.Times["FullDrawExample"] / fill);
    Fonts.reset();
    return 0;
}
