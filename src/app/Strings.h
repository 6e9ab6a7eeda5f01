#pragma once
// The interface-string table: the program title, the picture folder and the named texts, each
// replaced from the language file at start-up. All are empty until then and cleared at exit.

#include <array>
#include <string>

extern std::string Title;
extern std::string PictureFolder;

extern std::string strError, strQuit, strSystemRequirementsError1, strSystemRequirementsError2,
    strBlockMessage1, strBlockMessage2, strFileIOError, strFileIOErrorMessage1,
    strFileIOErrorMessage2, strResultFileError, strRuleOutputError, strNoRule, hintName, hintClass,
    hintTheme, hintVariant, hintGo, hintAccept, hintCancel, hintFurther, hintHelp, hintHint,
    hintExit, hintAnswer, hintMerge, hintApart, strPressAnyKey, strVarName, strVarClass,
    strVarTheme, strVarVariant, strNoName, strGo, strFurther, strfrmRuleTitle, strRemember,
    strThisIsRight, strExit, strYouWant, strKeepWorking, strChangeVariant, strExitZarvo, strHelp,
    strClose, strResultFileCaption, strPupil, strQuestionsQuantity, strMistakesQuantity,
    strSpellingMistakes, strNoSpellingMistakes, strPunctuationMistakes, strNoPunctuationMistakes,
    strPrompts, strBroken, strMark, strNoMark;

// Our own addition: the text of the library-failure box, read after the others.
extern std::string strLibraryFailure;

struct TInterfaceString {
    const char* Identifier; // also the key in the language file
    std::string* Value;
    const char* Default; // English, ASCII
};

// The 56 named strings in the order the language loader reads them.
extern const std::array<TInterfaceString, 56> InterfaceStrings;
// Every key the loader reads after "Title": the table above, then strLibraryFailure.
extern const TInterfaceString LibraryFailureString;

constexpr const char* DefaultTitle = "Zarvo";

// Every value empty again, from the last to the first.
void ClearInterfaceStrings();
// Every value set to its English default (Title included; PictureFolder empty).
void SetDefaultInterfaceStrings();
