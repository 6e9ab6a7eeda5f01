#include "app/Reports.h"

#include "app/Globals.h"
#include "app/Strings.h"
#include "platform/MessageBox.h"
#include "platform/Text.h"

using namespace platform;

namespace {
const char* const CRLF = "\r\n";
}

void ShowFileIOError(const std::string& fileName) {
    MessageBox(Title + CRLF + strFileIOErrorMessage1 + fileName + strFileIOErrorMessage2,
               strFileIOError, MB_OK | MB_ICONERROR);
    GlobalFailure = true;
}

void ShowResultFileError() {
    MessageBox(strResultFileError, Title, MB_OK | MB_ICONEXCLAMATION);
}

int ShowRuleOutputError() {
    return MessageBox(strRuleOutputError, Title, MB_OK | MB_ICONEXCLAMATION);
}

void ReportLibraryFailure() {
    // The box may come before the language is loaded (a failing configuration file); its
    // caption is then empty, but an error box without any text would tell nothing.
    if (!GlobalFailure)
        MessageBox(strLibraryFailure.empty() ? LibraryFailureString.Default : strLibraryFailure,
                   strError, MB_OK | MB_ICONERROR);
    GlobalFailure = true;
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
    if (MessageBox(AskLanguageText(), Title, MB_YESNO | MB_ICONQUESTION) == IDNO)
        language = "Russian";
    return language;
}
