#pragma once
// Message boxes with Windows flags and results. Who presents them is pluggable: the windowed
// programs use Qt boxes (QtMessageBox.h), the runs without a window write to a stream, tests
// install a recorder.

#include <iosfwd>
#include <memory>
#include <string>

namespace platform {

enum : unsigned {
    MB_OK = 0x00,
    MB_OKCANCEL = 0x01,
    MB_YESNO = 0x04,
    MB_ICONERROR = 0x10, // also MB_ICONHAND, MB_ICONSTOP
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30, // also MB_ICONWARNING
    MB_ICONINFORMATION = 0x40,
    MB_ICONMASK = 0xF0,
    MB_TYPEMASK = 0x0F,
    // Ours, not the Windows set: the buttons carry both languages ("Yes / Да"), for a question
    // asked before the language is known.
    MB_BILINGUAL = 0x100000,
};

enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

class IMessagePresenter {
public:
    virtual ~IMessagePresenter() = default;
    // text and caption are cp1251; returns IDOK, IDYES, IDNO ...
    virtual int Show(const std::string& text, const std::string& caption, unsigned flags) = 0;
};

// Shows a box through the current presenter.
int MessageBox(const std::string& text, const std::string& caption, unsigned flags);

// Installs a presenter and returns the previous one (nullptr: none installed, the default).
std::unique_ptr<IMessagePresenter> SetMessagePresenter(std::unique_ptr<IMessagePresenter> p);
// The installed presenter, else the default one, else standard error.
IMessagePresenter* CurrentMessagePresenter();
// The presenter used while none is installed; the application object of the windowed programs
// makes the Qt boxes the default for its lifetime. Not owned; nullptr: standard error.
void SetDefaultMessagePresenter(IMessagePresenter* p);

// The boxes of a run without a window, one line each on a stream, UTF-8: "caption: text", a line
// break of the text as a line break. An empty caption is replaced by `fallbackCaption`.
// Questions get `answer`.
class TStreamMessagePresenter : public IMessagePresenter {
public:
    explicit TStreamMessagePresenter(std::ostream& out, std::string fallbackCaption = {},
                                     int answer = IDNO);
    int Show(const std::string& text, const std::string& caption, unsigned flags) override;
    int Shown() const { return Count; }

private:
    std::ostream& Out;
    std::string FallbackCaption;
    int Answer;
    int Count = 0;
};

// Installs a presenter for the lifetime of a scope and gives the previous one back.
class TMessagePresenterScope {
public:
    explicit TMessagePresenterScope(std::unique_ptr<IMessagePresenter> p)
        : Previous(SetMessagePresenter(std::move(p))) {}
    ~TMessagePresenterScope() { SetMessagePresenter(std::move(Previous)); }
    TMessagePresenterScope(const TMessagePresenterScope&) = delete;
    TMessagePresenterScope& operator=(const TMessagePresenterScope&) = delete;

private:
    std::unique_ptr<IMessagePresenter> Previous;
};

// The text with every CR LF as a lone LF.
std::string WithoutCr(const std::string& s);

} // namespace platform
