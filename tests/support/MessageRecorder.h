#pragma once
// Records every message box instead of showing it and answers with scripted results. A box that a
// test did not take with Take() fails the test when it ends.

#include "platform/MessageBox.h"

#include <deque>
#include <string>
#include <vector>

struct TRecordedBox {
    std::string Text;    // cp1251
    std::string Caption; // cp1251
    unsigned Flags = 0;
};

class TMessageRecorder : public platform::IMessagePresenter {
public:
    int Show(const std::string& text, const std::string& caption, unsigned flags) override;

    // The boxes shown since the last Take(), which are then counted as expected.
    std::vector<TRecordedBox> Take();
    std::size_t Pending() const { return Boxes.size(); }
    // Answers for the next questions, in order; without one a box answers IDOK or IDYES.
    void Answer(int result) { Answers.push_back(result); }
    // The application's standard exception report fails a test; a test that expects such a
    // report turns this on, and the report's box is then recorded in order with the others.
    void AcceptExceptionReports(bool on) { ExceptionReports = on; }
    bool ExceptionReportsAccepted() const { return ExceptionReports; }
    void Reset();

private:
    std::vector<TRecordedBox> Boxes;
    std::deque<int> Answers;
    bool ExceptionReports = false;
};

// The recorder installed by the test main.
TMessageRecorder& Recorder();
