#include "platform/Screen.h"

#include <QGuiApplication>
#include <QScreen>
#include <cstdlib>

namespace platform {

namespace {

std::optional<TScreenMetrics>& Override() {
    static std::optional<TScreenMetrics> metrics;
    return metrics;
}

// A positive decimal number at `p`, which is advanced past it.
bool ReadNumber(const char*& p, int& out) {
    if (*p < '0' || *p > '9')
        return false;
    long value = 0;
    while (*p >= '0' && *p <= '9') {
        value = value * 10 + (*p++ - '0');
        if (value > 1000000)
            return false;
    }
    out = static_cast<int>(value);
    return value > 0;
}

} // namespace

std::optional<TScreenMetrics> ParseScreenMetrics(const char* text) {
    if (!text)
        return std::nullopt;
    TScreenMetrics m;
    m.BitsPerPixel = 32;
    const char* p = text;
    if (!ReadNumber(p, m.Width) || *p++ != 'x' || !ReadNumber(p, m.Height))
        return std::nullopt;
    if (*p == 'x') {
        ++p;
        if (!ReadNumber(p, m.BitsPerPixel))
            return std::nullopt;
    }
    if (*p != '\0')
        return std::nullopt;
    return m;
}

void SetScreenOverride(std::optional<TScreenMetrics> metrics) {
    Override() = metrics;
}

TScreenMetrics GetScreenMetrics() {
    if (Override())
        return *Override();
    if (auto m = ParseScreenMetrics(std::getenv("ZARVO_SCREEN")))
        return *m;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (QScreen* s = QGuiApplication::primaryScreen())
            return {s->geometry().width(), s->geometry().height(), s->depth()};
    }
    return {};
}

} // namespace platform
