#pragma once

#include <QString>

// Everything a picture or a button face says, in one of the two interface languages. The letters,
// signs and pictograms of the answer faces are the same in both picture folders.
namespace art {

enum class TLanguage { Russian, English };

struct TWording {
    QString Folder; // "RFPF" or "EFPF"
    QString Name;
    QString Subtitle1;
    QString Subtitle2;
    QString Motto;    // a school saying on the intro page
    int MottoRedFrom; // characters from here on are written in the teacher's red pen
    int MottoRedLength;
    QString PressAnyKey;
    QString PressAnyKeyShort;
    QString ChooseTitle;
    QString ResultsTitle;
    QString ResultsContinue;
    QString PraiseTitle;
    QString PraiseText;
    QString RightTitle;
    QString RightText;
    QString SlipTitle;
    QString SlipText;
    QString ArrowText;
    QString Merge;
    QString Apart;
    QString NoSign;
    QString Accept;
    QString Cancel;
    QString Further;
    QString Help;
    QString Hint;
    QString Exit;
};

const TWording& WordingFor(TLanguage language);

} // namespace art
