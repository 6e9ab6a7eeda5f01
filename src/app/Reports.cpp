#include "app/Reports.h"

#include "app/Globals.h"
#include "app/Strings.h"
#include "platform/MessageBox.h"
#include "platform/Text.h"

using namespace platform;

namespace {
const char* const CRLF = "\r\n";
}

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// One blank between two parts unless one of them already has it (the translation files give
// the parts with or without their own blanks).
void JoinWithBlank(std::string& text, const std::string& part) {
    if (!text.empty() && !part.empty() && !IsBlank(text.back()) && !IsBlank(part.front()))
        text += ' ';
    text += part;
}

TReportBox FileIOErrorBox(const std::string& fileName) {
    std::string message = strFileIOErrorMessage1;
    JoinWithBlank(message, DisplayPath(fileName));
    JoinWithBlank(message, strFileIOErrorMessage2);
    return {strFileIOError, Title + CRLF + message, MB_OK | MB_ICONERROR};
}

TReportBox LibraryFailureBox() {
    // The box may come before the language is loaded (a failing configuration file); its
    // caption is then empty, but an error box without any text would tell nothing.
    return {strError, strLibraryFailure.empty() ? LibraryFailureString.Default : strLibraryFailure,
            MB_OK | MB_ICONERROR};
}

int Show(const TReportBox& box) {
    return MessageBox(box.Text, box.Caption, box.Flags);
}

} // namespace

std::string DisplayPath(std::string path) {
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path;
}

void ShowFileIOError(const std::string& fileName) {
    Show(FileIOErrorBox(fileName));
    GlobalFailure = true;
}

void ShowResultFileError() {
    MessageBox(strResultFileError, Title, MB_OK | MB_ICONEXCLAMATION);
}

int ShowRuleOutputError() {
    return MessageBox(strRuleOutputError, Title, MB_OK | MB_ICONEXCLAMATION);
}

void ReportLibraryFailure() {
    if (!GlobalFailure)
        Show(LibraryFailureBox());
    GlobalFailure = true;
}

std::vector<TReportBox> ReadErrorBoxes(const TReadErrors& errors, bool& failed) {
    std::vector<TReportBox> boxes;
    for (const TReadError& e : errors) {
        switch (e.Kind) {
        case TReadError::TKind::LineCut:
            // The line reader knows no file name; the box has always shown none.
            boxes.push_back(FileIOErrorBox(""));
            break;
        case TReadError::TKind::FileUnreadable:
            boxes.push_back(FileIOErrorBox(e.File));
            break;
        case TReadError::TKind::LibraryUnusable:
            if (!failed)
                boxes.push_back(LibraryFailureBox());
            break;
        }
        failed = true;
    }
    return boxes;
}

void ShowReadErrors(const TReadErrors& errors) {
    for (const TReportBox& box : ReadErrorBoxes(errors, GlobalFailure))
        Show(box);
}

void ShowSystemRequirementsError() {
    MessageBox(strSystemRequirementsError1 + CRLF + strSystemRequirementsError2, Title,
               MB_OK | MB_ICONEXCLAMATION);
    GlobalFailure = true;
}

std::string AskLanguageText() {
    // The Russian half is kept readable here and converted to code page 1251.
    return std::string("Would you like to run \"Zarvo\" in English?") + CRLF +
           "Press \"Yes\" to run in English or \"No\" to run in Russian" + CRLF + CRLF +
           Utf8ToAnsi("Вы хотите  запустить \"Зарво\" по-английски?") + CRLF +
           Utf8ToAnsi("Нажмите \"Да\", чтобы запустить по-английски, или \"Нет\", чтобы "
                      "запустить по-русски");
}

std::string AskLanguage() {
    std::string language = "English";
    if (MessageBox(AskLanguageText(), Title, MB_YESNO | MB_ICONQUESTION | MB_BILINGUAL) == IDNO)
        language = "Russian";
    return language;
}
