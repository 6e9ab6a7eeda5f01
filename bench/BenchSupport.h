#pragma once
// What the drawing benchmarks share: a reporter that keeps each benchmark's time, so that they can
// print ratios to a plain fill, and the bundled font read from beside the build's programs.

#include "render/FFont.h"

#include <QCoreApplication>
#include <QFile>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

class TRatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> Times;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration)
                Times[r.benchmark_name()] = r.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
};

// The fonts for a screen of that width with the bundled font file (<build>/bench/ and
// <build>/share/zarvo/); null with a message when the content has not been built.
inline std::unique_ptr<TFFont> LoadBundledFonts(const char* program, int screenWidth) {
    auto fonts = std::make_unique<TFFont>(TFFont::TBlank{}, screenWidth);
    const QString path = QCoreApplication::applicationDirPath() + "/../share/zarvo/Zarvo.fff";
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "%s: %s is missing; build the content first\n", program,
                     path.toLocal8Bit().constData());
        return nullptr;
    }
    fonts->LoadFromBytes(f.readAll().toStdString());
    return fonts;
}
