#include "platform/MessageBox.h"

#include "platform/Text.h"

#include <iostream>

namespace platform {

namespace {

std::unique_ptr<IMessagePresenter>& Installed() {
    static std::unique_ptr<IMessagePresenter> presenter;
    return presenter;
}

IMessagePresenter*& Default() {
    static IMessagePresenter* presenter = nullptr;
    return presenter;
}

} // namespace

std::string WithoutCr(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i)
        if (!(s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n'))
            out += s[i];
    return out;
}

IMessagePresenter* CurrentMessagePresenter() {
    if (Installed())
        return Installed().get();
    if (Default())
        return Default();
    static TStreamMessagePresenter console(std::cerr, {}, IDYES);
    return &console;
}

std::unique_ptr<IMessagePresenter> SetMessagePresenter(std::unique_ptr<IMessagePresenter> p) {
    std::unique_ptr<IMessagePresenter> previous = std::move(Installed());
    Installed() = std::move(p);
    return previous;
}

void SetDefaultMessagePresenter(IMessagePresenter* p) {
    Default() = p;
}

int MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
    return CurrentMessagePresenter()->Show(text, caption, flags);
}

TStreamMessagePresenter::TStreamMessagePresenter(std::ostream& out, std::string fallbackCaption,
                                                 int answer)
    : Out(out), FallbackCaption(std::move(fallbackCaption)), Answer(answer) {}

int TStreamMessagePresenter::Show(const std::string& text, const std::string& caption,
                                  unsigned flags) {
    ++Count;
    Out << AnsiToUtf8(caption.empty() ? FallbackCaption : caption) << ": "
        << AnsiToUtf8(WithoutCr(text)) << std::endl;
    const unsigned type = flags & MB_TYPEMASK;
    if (type == MB_YESNO || type == MB_OKCANCEL)
        return Answer;
    return IDOK;
}

} // namespace platform
