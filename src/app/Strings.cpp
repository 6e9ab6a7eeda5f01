#include "app/Strings.h"

std::string Title;
std::string PictureFolder;

std::string strError, strQuit, strSystemRequirementsError1, strSystemRequirementsError2,
    strBlockMessage1, strBlockMessage2, strFileIOError, strFileIOErrorMessage1,
    strFileIOErrorMessage2, strResultFileError, strRuleOutputError, strNoRule, hintName, hintClass,
    hintTheme, hintVariant, hintGo, hintAccept, hintCancel, hintFurther, hintHelp, hintHint,
    hintExit, hintAnswer, hintMerge, hintApart, strPressAnyKey, strVarName, strVarClass,
    strVarTheme, strVarVariant, strNoName, strGo, strFurther, strfrmRuleTitle, strRemember,
    strThisIsRight, strExit, strYouWant, strKeepWorking, strChangeVariant, strExitZarvo, strHelp,
    strClose, strResultFileCaption, strPupil, strQuestionsQuantity, strMistakesQuantity,
    strSpellingMistakes, strNoSpellingMistakes, strPunctuationMistakes, strNoPunctuationMistakes,
    strPrompts, strBroken, strMark, strNoMark;

std::string strLibraryFailure;

#define ZARVO_STRING(id, def)                                                                      \
    TInterfaceString {                                                                             \
#id, &id, def                                                                              \
    }

const std::array<TInterfaceString, 56> InterfaceStrings = {
    ZARVO_STRING(strError, "Error!"),
    ZARVO_STRING(strQuit, "Do You want to quit?"),
    ZARVO_STRING(strSystemRequirementsError1,
                 "This system doesn't meet the minimal system requirements!"),
    ZARVO_STRING(strSystemRequirementsError2, "\"Zarvo\" cannot be run!"),
    ZARVO_STRING(strBlockMessage1, "You cannot run two instances of"),
    ZARVO_STRING(strBlockMessage2, "at the same time!"),
    ZARVO_STRING(strFileIOError, "Input/Output Error"),
    ZARVO_STRING(strFileIOErrorMessage1, "The file"),
    ZARVO_STRING(strFileIOErrorMessage2, "cannot be opened!"),
    ZARVO_STRING(strResultFileError, "Unable to save the results file!"),
    ZARVO_STRING(strRuleOutputError, "Unable to show the rule!"),
    ZARVO_STRING(strNoRule, "No rule in the rules library..."),
    ZARVO_STRING(hintName, "Enter Your name"),
    ZARVO_STRING(hintClass, "Choose class from the list"),
    ZARVO_STRING(hintTheme, "Choose theme from the list"),
    ZARVO_STRING(hintVariant, "Choose variant from the list"),
    ZARVO_STRING(hintGo, "Press to start"),
    ZARVO_STRING(hintAccept, "Accept answer (Enter)"),
    ZARVO_STRING(hintCancel, "Cancel answer (BackSpace)"),
    ZARVO_STRING(hintFurther, "Go further"),
    ZARVO_STRING(hintHelp, "Help (F1)"),
    ZARVO_STRING(hintHint, "Show hint (F2)"),
    ZARVO_STRING(hintExit, "Exit (Esc)"),
    ZARVO_STRING(hintAnswer, "Answer"),
    ZARVO_STRING(hintMerge, "Merge"),
    ZARVO_STRING(hintApart, "Apart"),
    ZARVO_STRING(strPressAnyKey, "Press any key or click mouse button"),
    ZARVO_STRING(strVarName, "Your Name:"),
    ZARVO_STRING(strVarClass, "Class:"),
    ZARVO_STRING(strVarTheme, "Theme:"),
    ZARVO_STRING(strVarVariant, "Variant:"),
    ZARVO_STRING(strNoName, "Enter Your name"),
    ZARVO_STRING(strGo, "Go!"),
    ZARVO_STRING(strFurther, "Let's go!"),
    ZARVO_STRING(strfrmRuleTitle, "Think..."),
    ZARVO_STRING(strRemember, "Remember!"),
    ZARVO_STRING(strThisIsRight, "This is right!"),
    ZARVO_STRING(strExit, "Exit?"),
    ZARVO_STRING(strYouWant, "You want..."),
    ZARVO_STRING(strKeepWorking, "1. Keep working"),
    ZARVO_STRING(strChangeVariant, "2. Choose another variant"),
    ZARVO_STRING(strExitZarvo, "3. Quit"),
    ZARVO_STRING(strHelp, "Zarvo Help"),
    ZARVO_STRING(strClose, "Close"),
    ZARVO_STRING(strResultFileCaption, "The \"Zarvo\" Results file"),
    ZARVO_STRING(strPupil, "Pupil:"),
    ZARVO_STRING(strQuestionsQuantity, "Number of questions:"),
    ZARVO_STRING(strMistakesQuantity, "Number of mistakes:"),
    ZARVO_STRING(strSpellingMistakes, "including - spelling mistakes:"),
    ZARVO_STRING(strNoSpellingMistakes, "including - no spelling mistakes"),
    ZARVO_STRING(strPunctuationMistakes, "including - punctuation mistakes:"),
    ZARVO_STRING(strNoPunctuationMistakes, "including - no punctuation mistakes"),
    ZARVO_STRING(strPrompts, "Prompts:"),
    ZARVO_STRING(strBroken, "Interrupted by user!"),
    ZARVO_STRING(strMark, "Mark:"),
    ZARVO_STRING(strNoMark, "No mark - training regime!"),
};

const TInterfaceString LibraryFailureString =
    ZARVO_STRING(strLibraryFailure, "The exercise library cannot be read!");

#undef ZARVO_STRING

void ClearInterfaceStrings() {
    LibraryFailureString.Value->clear();
    for (auto it = InterfaceStrings.rbegin(); it != InterfaceStrings.rend(); ++it)
        it->Value->clear();
    PictureFolder.clear();
    Title.clear();
}

void SetDefaultInterfaceStrings() {
    Title = DefaultTitle;
    PictureFolder.clear();
    for (const TInterfaceString& s : InterfaceStrings)
        *s.Value = s.Default;
    *LibraryFailureString.Value = LibraryFailureString.Default;
}
