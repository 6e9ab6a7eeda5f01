#include "support/MessageRecorder.h"

int TMessageRecorder::Show(const std::string& text, const std::string& caption, unsigned flags) {
    Boxes.push_back({text, caption, flags});
    if (!Answers.empty()) {
        int a = Answers.front();
        Answers.pop_front();
        return a;
    }
    return (flags & platform::MB_TYPEMASK) == platform::MB_YESNO ? platform::IDYES : platform::IDOK;
}

std::vector<TRecordedBox> TMessageRecorder::Take() {
    std::vector<TRecordedBox> out;
    out.swap(Boxes);
    return out;
}

void TMessageRecorder::Reset() {
    Boxes.clear();
    Answers.clear();
    ExceptionReports = false;
}
