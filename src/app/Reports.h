#pragma once
// The message-box reports through which the trainer tells of file, results and requirement
// failures. Captions and texts come from the interface strings; line breaks are CR LF.

#include <string>

// "Input/Output Error": Title, a line break, then the two message parts around the file name.
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
// The bilingual question; "English" for Yes, "Russian" for No.
std::string AskLanguage();

// The fixed bilingual question text (cp1251, CR LF between lines).
std::string AskLanguageText();
