#pragma once
// The interface-string table: the program title, the picture folder and the named texts, each
// replaced from the language file at start-up. All are empty until then and cleared at exit.

#include <array>
#include <cstddef>
#include <string>

extern std::string Title;
extern std::string PictureFolder;

// The named strings with their English defaults (ASCII), in the order the language loader
// reads them; the identifier is also the key in the language file. A new string is one line here.
#define ZARVO_INTERFACE_STRINGS(X)                                                                 \
    X(strError, "Error!")                                                                          \
    X(strQuit, "Do You want to quit?")                                                             \
    X(strSystemRequirementsError1, "This system doesn't meet the minimal system requirements!")    \
    X(strSystemRequirementsError2, "\"Zarvo\" cannot be run!")                                     \
    X(strBlockMessage1, "You cannot run two instances of")                                         \
    X(strBlockMessage2, "at the same time!")                                                       \
    X(strFileIOError, "Input/Output Error")                                                        \
    X(strFileIOErrorMessage1, "The file")                                                          \
    X(strFileIOErrorMessage2, "cannot be opened!")                                                 \
    X(strResultFileError, "Unable to save the results file!")                                      \
    X(strRuleOutputError, "Unable to show the rule!")                                              \
    X(strNoRule, "No rule in the rules library...")                                                \
    X(hintName, "Enter Your name")                                                                 \
    X(hintClass, "Choose class from the list")                                                     \
    X(hintTheme, "Choose theme from the list")                                                     \
    X(hintVariant, "Choose variant from the list")                                                 \
    X(hintGo, "Press to start")                                                                    \
    X(hintAccept, "Accept answer (Enter)")                                                         \
    X(hintCancel, "Cancel answer (BackSpace)")                                                     \
    X(hintFurther, "Go further")                                                                   \
    X(hintHelp, "Help (F1)")                                                                       \
    X(hintHint, "Show hint (F2)")                                                                  \
    X(hintExit, "Exit (Esc)")                                                                      \
    X(hintAnswer, "Answer")                                                                        \
    X(hintMerge, "Merge")                                                                          \
    X(hintApart, "Apart")                                                                          \
    X(strPressAnyKey, "Press any key or click mouse button")                                       \
    X(strVarName, "Your Name:")                                                                    \
    X(strVarClass, "Class:")                                                                       \
    X(strVarTheme, "Theme:")                                                                       \
    X(strVarVariant, "Variant:")                                                                   \
    X(strNoName, "Enter Your name")                                                                \
    X(strGo, "Go!")                                                                                \
    X(strFurther, "Let's go!")                                                                     \
    X(strfrmRuleTitle, "Think...")                                                                 \
    X(strRemember, "Remember!")                                                                    \
    X(strThisIsRight, "This is right!")                                                            \
    X(strExit, "Exit?")                                                                            \
    X(strYouWant, "You want...")                                                                   \
    X(strKeepWorking, "1. Keep working")                                                           \
    X(strChangeVariant, "2. Choose another variant")                                               \
    X(strExitZarvo, "3. Quit")                                                                     \
    X(strHelp, "Zarvo Help")                                                                       \
    X(strClose, "Close")                                                                           \
    X(strResultFileCaption, "The \"Zarvo\" Results file")                                          \
    X(strPupil, "Pupil:")                                                                          \
    X(strQuestionsQuantity, "Number of questions:")                                                \
    X(strMistakesQuantity, "Number of mistakes:")                                                  \
    X(strSpellingMistakes, "including - spelling mistakes:")                                       \
    X(strNoSpellingMistakes, "including - no spelling mistakes")                                   \
    X(strPunctuationMistakes, "including - punctuation mistakes:")                                 \
    X(strNoPunctuationMistakes, "including - no punctuation mistakes")                             \
    X(strPrompts, "Prompts:")                                                                      \
    X(strBroken, "Interrupted by user!")                                                           \
    X(strMark, "Mark:")                                                                            \
    X(strNoMark, "No mark - training regime!")                                                     \
    X(strWorkOnMistakesKey, "F3 - work on mistakes")                                               \
    X(strWorkOnMistakes, "Work on mistakes:")

#define ZARVO_DECLARE_STRING(id, english) extern std::string id;
ZARVO_INTERFACE_STRINGS(ZARVO_DECLARE_STRING)
#undef ZARVO_DECLARE_STRING

// Our own addition: the text of the library-failure box, read after the others.
extern std::string strLibraryFailure;

struct TInterfaceString {
    const char* Identifier; // also the key in the language file
    std::string* Value;
    const char* Default; // English, ASCII
};

#define ZARVO_COUNT_STRING(id, english) +1
inline constexpr std::size_t InterfaceStringCount = 0 ZARVO_INTERFACE_STRINGS(ZARVO_COUNT_STRING);
#undef ZARVO_COUNT_STRING

// The named strings in the order the language loader reads them.
extern const std::array<TInterfaceString, InterfaceStringCount> InterfaceStrings;
// Every key the loader reads after "Title": the table above, then strLibraryFailure.
extern const TInterfaceString LibraryFailureString;

constexpr const char* DefaultTitle = "Zarvo";

// Every value empty again, from the last to the first.
void ClearInterfaceStrings();
// Every value set to its English default (Title included; PictureFolder empty).
void SetDefaultInterfaceStrings();
