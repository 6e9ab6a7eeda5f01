#include "platform/QtMessageBox.h"

#include "platform/Form.h"
#include "platform/Text.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

namespace platform {

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
    // Over whatever is on top (a rule window, the intro), and, as a box that must be answered,
    // over the full-screen windows of another copy too.
    QMessageBox box(icon, FromAnsi(caption), FromAnsi(WithoutCr(text)), buttons, TopWindow());
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    if (flags & MB_BILINGUAL) {
        // The letters Y and N still answer, as they did before the labels were bilingual.
        if (QAbstractButton* yes = box.button(QMessageBox::Yes))
            yes->setText(QString::fromUtf8("&Yes / Да"));
        if (QAbstractButton* no = box.button(QMessageBox::No))
            no->setText(QString::fromUtf8("&No / Нет"));
    }
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

} // namespace platform
