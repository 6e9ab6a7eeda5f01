#pragma once
// The message-box reports through which the trainer tells of file, results and requirement
// failures. Captions and texts come from the interface strings; line breaks are CR LF.

#include "platform/ReadError.h"

#include <string>
#include <vector>

// A path as a pupil on this system reads it: every '\' of the program's internal form as '/'.
std::string DisplayPath(std::string path);

// "Input/Output Error": Title, a line break, then the two message parts around the file name
// (shown with '/'), one blank between neighbours where neither has one.
// Sets the global failure flag.
void ShowFileIOError(const std::string& fileName);
// The results file could not be written. Leaves the flag alone.
void ShowResultFileError();
// The rule window could not show a rule. Returns the button pressed (OK); leaves the flag alone.
int ShowRuleOutputError();
// The exercise or configuration library could not be read. Shown only while the flag is clear;
// sets it in every case, so that at most one box appears.
void ReportLibraryFailure();
// The screen is too small or has too few colours. Sets the flag.
void ShowSystemRequirementsError();
// The bilingual question, with bilingual buttons; "English" for Yes, "Russian" for No.
std::string AskLanguage();

// The fixed bilingual question text (cp1251, CR LF between lines).
std::string AskLanguageText();

// One message box: caption, text and flags.
struct TReportBox {
    std::string Caption;
    std::string Text;
    unsigned Flags = 0;
};

// The boxes the reports above show for the errors a reader returned, in their order: the
// input/output box for an unreadable file (without a name for a line cut short), the
// library-failure box for a library that is not one, that one only while `failed` is clear.
// `failed` is the failure flag: read, and set as the reports set it.
std::vector<TReportBox> ReadErrorBoxes(const platform::TReadErrors& errors, bool& failed);
// Shows those boxes and sets the global failure flag as the reports do.
void ShowReadErrors(const platform::TReadErrors& errors);
