// deps: zarvo_render zarvo_platform_widgets
// Text drawing against a plain fill of a full-HD bitmap: the exercise screen redraws its whole
// example after every key, so a line of text, and a filled picture with a line on it, must cost
// little beside the fill itself. Prints the ratios after the table.

#include "BenchSupport.h"
#include "platform/Image.h"
#include "render/FFont.h"

#include <QApplication>
#include <QFile>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr int ScreenWidth = 1920, ScreenHeight = 1080;

std::unique_ptr<TFFont> Fonts;
// 51 characters of an exercise line, answer gaps included.
const std::string Line = "\xcf\xf0_\xf0\xee\xe4\xe0 (\xe6_\xe2\xe0\xff) - \xed\xe5 \xee\xe1_"
                         "\xe6\xe0\xe9 \xe5\xb8_ \"\xd3\xf0\xe0!\" \xc0 \xf2\xfb? _. "
                         "\xdd\xd5\xce";

void PlainFill(benchmark::State& state) {
    platform::TBitmap b(ScreenWidth, ScreenHeight, platform::clNavy);
    for (auto _ : state) {
        b.Fill(platform::clNavy);
        benchmark::DoNotOptimize(b.Image().constBits());
    }
}

void LargeLine(benchmark::State& state) {
    platform::TBitmap b(ScreenWidth, ScreenHeight, platform::clNavy);
    for (auto _ : state) {
        Fonts->LargeFont()->DrawText(Line, b, platform::clWhite, 0, 100, true);
        benchmark::DoNotOptimize(b.Image().constBits());
    }
}

// What WriteText with Fill does on the exercise screen's image: a new full-size picture, filled,
// the line drawn, the picture handed to the control.
void FilledPictureWithLine(benchmark::State& state) {
    platform::TImage image;
    image.resize(ScreenWidth, ScreenHeight);
    for (auto _ : state) {
        Fonts->WriteText(Line, image, 0, 100, true, true, true);
        benchmark::DoNotOptimize(image.Picture().Image().constBits());
    }
}

// A whole screen of text: the fill and every line the height holds.
void FullScreenOfLines(benchmark::State& state) {
    platform::TBitmap b(ScreenWidth, ScreenHeight, platform::clNavy);
    const int lineHeight = SizeHeight(Fonts->LargeSize());
    for (auto _ : state) {
        b.Fill(platform::clNavy);
        for (int y = 0; y + lineHeight <= ScreenHeight; y += lineHeight)
            Fonts->LargeFont()->DrawText(Line, b, platform::clWhite, 0, y, true);
        benchmark::DoNotOptimize(b.Image().constBits());
    }
}

} // namespace

BENCHMARK(PlainFill);
BENCHMARK(LargeLine);
BENCHMARK(FilledPictureWithLine);
BENCHMARK(FullScreenOfLines);

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    Fonts = LoadBundledFonts("bench_font", ScreenWidth);
    if (!Fonts)
        return 1;
    std::printf("large font %dx%d, line of %zu characters, bitmap %dx%d\n",
                SizeWidth(Fonts->LargeSize()), SizeHeight(Fonts->LargeSize()), Line.size(),
                ScreenWidth, ScreenHeight);

    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double fill = reporter.Times["PlainFill"];
    if (fill > 0) {
        for (const char* name : {"LargeLine", "FilledPictureWithLine", "FullScreenOfLines"})
            if (reporter.Times.count(name))
                std::printf("%-22s %6.2f x plain fill\n", name, reporter.Times[name] / fill);
    }
    Fonts.reset();
    return 0;
}
