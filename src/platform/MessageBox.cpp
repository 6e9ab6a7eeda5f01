#include "platform/MessageBox.h"

#include "platform/Text.h"

#include <QApplication>
#include <QMessageBox>
#include <iostream>

namespace platform {

namespace {

std::unique_ptr<IMessagePresenter>& Installed() {
    static std::unique_ptr<IMessagePresenter> presenter;
    return presenter;
}

std::string WithoutCr(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i)
        if (!(s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n'))
            out += s[i];
    return out;
}

} // namespace

IMessagePresenter* CurrentMessagePresenter() {
    if (Installed())
        return Installed().get();
    // Without an installed presenter: Qt boxes in a widget application, the console otherwise.
    static TQtMessagePresenter qt;
    static TConsoleMessagePresenter console;
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        return &qt;
    return &console;
}

std::unique_ptr<IMessagePresenter> SetMessagePresenter(std::unique_ptr<IMessagePresenter> p) {
    std::unique_ptr<IMessagePresenter> previous = std::move(Installed());
    Installed() = std::move(p);
    return previous;
}

int MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
    return CurrentMessagePresenter()->Show(text, caption, flags);
}

int TQtMessagePresenter::Show(const std::string& text, const std::string& caption, unsigned flags) {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (flags & MB_ICONMASK) {
    case MB_ICONERROR:
        icon = QMessageBox::Critical;
        break;
    case MB_ICONQUESTION:
        icon = QMessageBox::Question;
        break;
    case MB_ICONEXCLAMATION:
        icon = QMessageBox::Warning;
        break;
    case MB_ICONINFORMATION:
        icon = QMessageBox::Information;
        break;
    }
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    switch (flags & MB_TYPEMASK) {
    case MB_YESNO:
        buttons = QMessageBox::Yes | QMessageBox::No;
        break;
    case MB_OKCANCEL:
        buttons = QMessageBox::Ok | QMessageBox::Cancel;
        break;
    }
    QMessageBox box(icon, FromAnsi(caption), FromAnsi(WithoutCr(text)), buttons,
                    QApplication::activeWindow());
    // Texts of the program are plain; a '<' in a file name must not turn them into markup.
    box.setTextFormat(Qt::PlainText);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    case QMessageBox::Cancel:
        return IDCANCEL;
    default:
        // Closing a Yes/No box by the window system is no answer; take it as the safe "No".
        return (flags & MB_TYPEMASK) == MB_YESNO      ? IDNO
               : (flags & MB_TYPEMASK) == MB_OKCANCEL ? IDCANCEL
                                                      : IDOK;
    }
}

int TConsoleMessagePresenter::Show(const std::string& text, const std::string& caption,
                                   unsigned flags) {
    ++Count;
    std::cerr << AnsiToUtf8(caption) << ": " << AnsiToUtf8(WithoutCr(text)) << std::endl;
    unsigned type = flags & MB_TYPEMASK;
    if (type == MB_YESNO || type == MB_OKCANCEL)
        return Answer;
    return IDOK;
}

} // namespace platform
