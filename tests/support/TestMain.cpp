// Test main shared by every test binary: an offscreen application whose standard exception report
// fails the test, a private runtime folder, and the message-box recorder, which fails a test that
// leaves a box it did not expect.

#include "platform/Application.h"
#include "platform/MessageBox.h"
#include "support/MessageRecorder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>

namespace {

class TTestApplication : public platform::TApplication {
public:
    using TApplication::TApplication;
    void ShowException(const std::exception& e) override;
};

TMessageRecorder* TheRecorder = nullptr;

void TTestApplication::ShowException(const std::exception& e) {
    if (TheRecorder && TheRecorder->ExceptionReportsAccepted())
        TApplication::ShowException(e);
    else
        ADD_FAILURE() << "exception escaped an event handler: " << e.what();
}

class TUnexpectedBoxes : public testing::EmptyTestEventListener {
    void OnTestEnd(const testing::TestInfo&) override {
        for (const TRecordedBox& b : TheRecorder->Take())
            ADD_FAILURE() << "unexpected message box: [" << b.Caption << "] " << b.Text
                          << " (flags " << b.Flags << ")";
        TheRecorder->Reset();
    }
};

// Forwards to the recorder that the test main owns, so that code replacing the presenter for a
// while can hand it back.
class TForwarder : public platform::IMessagePresenter {
public:
    int Show(const std::string& text, const std::string& caption, unsigned flags) override {
        return TheRecorder->Show(text, caption, flags);
    }
};

} // namespace

TMessageRecorder& Recorder() {
    return *TheRecorder;
}

int main(int argc, char** argv) {
    // gtest_discover_tests runs the binaries at build time, without a display.
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QTemporaryDir runtime;
    setenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit().constData(), 1);
    QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    testing::InitGoogleTest(&argc, argv);
    TTestApplication app(argc, argv);
    auto recorder = std::make_unique<TMessageRecorder>();
    TheRecorder = recorder.get();
    platform::SetMessagePresenter(std::make_unique<TForwarder>());
    testing::UnitTest::GetInstance()->listeners().Append(new TUnexpectedBoxes);
    int rc = RUN_ALL_TESTS();
    platform::SetMessagePresenter(nullptr);
    return rc;
}
