#include "app/Reports.h"
#include "app/Globals.h"
#include "app/Strings.h"
#include "platform/MessageBox.h"
#include "platform/Text.h"
#include "support/MessageRecorder.h"
#include "support/Sandbox.h"

#include <gtest/gtest.h>
#include <set>

using namespace platform;

namespace {

TRecordedBox OnlyBox() {
    auto boxes = Recorder().Take();
    EXPECT_EQ(boxes.size(), 1u);
    return boxes.empty() ? TRecordedBox{} : boxes[0];
}

} // namespace

TEST(Reports, FileIOErrorJoinsTitleAndMessagePartsAndSetsTheFlag) {
    TSandbox box;
    ShowFileIOError("/opt/zarvo/Zarvo.ff");
    TRecordedBox b = OnlyBox();
    EXPECT_EQ(b.Caption, "Input/Output Error");
    EXPECT_EQ(b.Text, "Zarvo\r\nThe file /opt/zarvo/Zarvo.ff cannot be opened!");
    EXPECT_EQ(b.Flags, 16u);
    EXPECT_TRUE(GlobalFailure);

    // Shown again when the flag is already set; without a name the parts get one blank.
    ShowFileIOError("");
    EXPECT_EQ(OnlyBox().Text, "Zarvo\r\nThe file cannot be opened!");
    EXPECT_TRUE(GlobalFailure);
}

TEST(Reports, FileIOErrorShowsSlashesAndNeverDoublesABlank) {
    TSandbox box;
    // The program's internal form of a picture path.
    ShowFileIOError("RFPF\\help.txt");
    EXPECT_EQ(OnlyBox().Text, "Zarvo\r\nThe file RFPF/help.txt cannot be opened!");

    // Translations that bring their own blanks keep exactly those.
    strFileIOErrorMessage1 = "The file ";
    strFileIOErrorMessage2 = " cannot be opened!";
    ShowFileIOError("C:\\ZARVO\\Zarvo.fff");
    EXPECT_EQ(OnlyBox().Text, "Zarvo\r\nThe file C:/ZARVO/Zarvo.fff cannot be opened!");
    strFileIOErrorMessage1 = "The file\r\n";
    ShowFileIOError("x");
    EXPECT_EQ(OnlyBox().Text, "Zarvo\r\nThe file\r\nx cannot be opened!");

    EXPECT_EQ(DisplayPath("a\\b/c\\"), "a/b/c/");
}

TEST(Reports, ResultAndRuleBoxesLeaveTheFlagAsItWas) {
    TSandbox box;
    for (bool flag : {false, true}) {
        GlobalFailure = flag;
        ShowResultFileError();
        TRecordedBox b = OnlyBox();
        EXPECT_EQ(b.Caption, "Zarvo");
        EXPECT_EQ(b.Text, "Unable to save the results file!");
        EXPECT_EQ(b.Flags, 48u);

        EXPECT_EQ(ShowRuleOutputError(), IDOK);
        b = OnlyBox();
        EXPECT_EQ(b.Caption, "Zarvo");
        EXPECT_EQ(b.Text, "Unable to show the rule!");
        EXPECT_EQ(b.Flags, 48u);
        EXPECT_EQ(GlobalFailure, flag);
    }
}

TEST(Reports, LibraryFailureIsShownOnceUnderTheErrorCaption) {
    TSandbox box;
    ReportLibraryFailure();
    TRecordedBox b = OnlyBox();
    EXPECT_EQ(b.Caption, "Error!");
    EXPECT_EQ(b.Text, "The exercise library cannot be read!");
    EXPECT_EQ(b.Flags, 16u);
    EXPECT_TRUE(GlobalFailure);
    ReportLibraryFailure();
    EXPECT_EQ(Recorder().Pending(), 0u) << "the first call set the flag";
    EXPECT_TRUE(GlobalFailure);

    // A flag set by another failure also keeps it quiet.
    GlobalFailure = false;
    ShowFileIOError("x");
    Recorder().Take();
    ReportLibraryFailure();
    EXPECT_EQ(Recorder().Pending(), 0u);
}

TEST(Reports, SystemRequirementsBoxHasTwoLinesAndSetsTheFlagEvenWhenSet) {
    TSandbox box;
    GlobalFailure = true;
    ShowSystemRequirementsError();
    TRecordedBox b = OnlyBox();
    EXPECT_EQ(b.Caption, "Zarvo");
    EXPECT_EQ(b.Text, "This system doesn't meet the minimal system requirements!\r\n"
                      "\"Zarvo\" cannot be run!");
    EXPECT_EQ(b.Flags, 48u);
    EXPECT_TRUE(GlobalFailure);
}

TEST(Reports, EmptyStringsGiveEmptyCaptionsAndLines) {
    TSandbox box;
    ClearInterfaceStrings();
    ShowFileIOError("f");
    TRecordedBox b = OnlyBox();
    EXPECT_EQ(b.Caption, "");
    EXPECT_EQ(b.Text, "\r\nf");
    ShowSystemRequirementsError();
    EXPECT_EQ(OnlyBox().Text, "\r\n");
    // Our own library-failure text is never left blank.
    GlobalFailure = false;
    ReportLibraryFailure();
    b = OnlyBox();
    EXPECT_EQ(b.Caption, "");
    EXPECT_EQ(b.Text, "The exercise library cannot be read!");
}

TEST(Reports, AskLanguageIsTheFixedBilingualQuestion) {
    TSandbox box;
    ClearInterfaceStrings(); // asked before the title is read
    const std::string expected =
        "Would you like to run \"Zarvo\" in English?\r\n"
        "Press \"Yes\" to run in English or \"No\" to run in Russian\r\n"
        "\r\n" +
        Utf8ToAnsi("Вы хотите  запустить \"Зарво\" по-английски?\r\n"
                   "Нажмите \"Да\", чтобы запустить по-английски, или \"Нет\", чтобы запустить "
                   "по-русски");
    Recorder().Answer(IDYES);
    EXPECT_EQ(AskLanguage(), "English");
    TRecordedBox b = OnlyBox();
    EXPECT_EQ(b.Text, expected);
    EXPECT_EQ(b.Caption, "");
    // Asked before the language is known, so the buttons speak both.
    EXPECT_EQ(b.Flags, MB_YESNO | MB_ICONQUESTION | MB_BILINGUAL);

    Recorder().Answer(IDNO);
    EXPECT_EQ(AskLanguage(), "Russian");
    Recorder().Take();
    // A box closed without an answer keeps the English that was set before asking.
    Recorder().Answer(IDCANCEL);
    EXPECT_EQ(AskLanguage(), "English");
    Recorder().Take();
    EXPECT_FALSE(GlobalFailure);
}

TEST(InterfaceStrings, TableKeysAndDefaults) {
    ASSERT_EQ(InterfaceStrings.size(), 58u);
    std::set<std::string> ids;
    for (const TInterfaceString& s : InterfaceStrings) {
        EXPECT_TRUE(ids.insert(s.Identifier).second) << s.Identifier;
        const std::string d = s.Default;
        ASSERT_FALSE(d.empty()) << s.Identifier;
        EXPECT_NE(d.front(), ' ') << s.Identifier;
        EXPECT_NE(d.back(), ' ') << s.Identifier;
        EXPECT_EQ(d.find_first_of("\r\n"), std::string::npos) << s.Identifier;
    }
    // Spot checks of the order the loader reads them in.
    EXPECT_STREQ(InterfaceStrings[0].Identifier, "strError");
    EXPECT_STREQ(InterfaceStrings[11].Identifier, "strNoRule");
    EXPECT_STREQ(InterfaceStrings[34].Identifier, "strfrmRuleTitle");
    EXPECT_STREQ(InterfaceStrings[44].Identifier, "strResultFileCaption");
    EXPECT_STREQ(InterfaceStrings[44].Default, "The \"Zarvo\" Results file");
    EXPECT_STREQ(InterfaceStrings[55].Identifier, "strNoMark");
    EXPECT_STREQ(InterfaceStrings[57].Identifier, "strWorkOnMistakes");
    EXPECT_EQ(ids.count(LibraryFailureString.Identifier), 0u);
}
