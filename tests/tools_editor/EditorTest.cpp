// The exercise editor: what it keeps of a teacher's files, what it tells of them, and what it
// installs for pupils, driven without a window; and one window test that types a check point.

#include "Document.h"
#include "EditorWindow.h"
#include "Install.h"
#include "Tool.h"
#include "TrainerSettings.h"
#include "support/Sandbox.h"

#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTreeWidget>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const std::string Font = std::string(ZARVO_CONTENT_BUILD_DIR) + "Zarvo.fff";

const std::string Exercises = "// Упражнения\r\n"
                              "Класс: 5 класс\r\n"
                              "Тема: Корни\r\n"
                              "Вариант 2: Лаг\r\n"
                              "Мы пол{о|а ЛАГ}жили книги.\r\n"
                              "В{о|а БГ}да[,|@ ОЧ] песок и камни.";
const std::string Rules = "Правило: ЛАГ\n0Корни0\nПеред г пиши а.\n\n"
                          "Правило: БГ\nПроверь ударением.\n\n"
                          "Правило: ОЧ\nМежду однородными - запятая.\n";

bool HasFinding(const std::vector<TFinding>& all, TSourceKind source, int line, bool warning) {
    for (const TFinding& f : all)
        if (f.Source == source && f.Line == line && f.Warning == warning)
            return true;
    return false;
}

class Editor : public testing::Test {
protected:
    TSandbox Box;
    std::string VariantFile = Box.Write("pair/my.ff.txt", Exercises);
    std::string RulesFile = Box.Write("pair/my.frf.txt", Rules);
};

TEST_F(Editor, OpeningAndSavingKeepsEveryByteAndFindsThePairFromEitherFile) {
    EXPECT_EQ(PairedFile("a/x.ff.txt"), "a/x.frf.txt");
    EXPECT_EQ(PairedFile("a/x.frf"), "a/x.ff");
    EXPECT_EQ(PairedFile("a/x.txt"), "");
    for (const std::string& path : {VariantFile, RulesFile}) {
        TEditorDocument doc = OpenDocument(path);
        EXPECT_EQ(doc.VariantPath, VariantFile);
        EXPECT_EQ(doc.RulesPath, RulesFile);
        EXPECT_FALSE(doc.Modified());
        SaveDocument(doc);
        // CR LF, no final line end, the comment: all as they were.
        EXPECT_EQ(Box.Read("pair/my.ff.txt"), Exercises);
        EXPECT_EQ(Box.Read("pair/my.frf.txt"), Rules);
    }
    TEditorDocument doc = OpenDocument(VariantFile);
    doc.VariantText += "\r\nНа п{о|а БГ}ляне.";
    EXPECT_TRUE(doc.Modified());
    SaveDocument(doc);
    EXPECT_EQ(Box.Read("pair/my.ff.txt"), Exercises + "\r\nНа п{о|а БГ}ляне.");
    EXPECT_FALSE(doc.Modified());
    EXPECT_THROW(OpenDocument(Box.Root() + "notes.txt"), std::runtime_error);
    EXPECT_THROW(OpenDocument(Box.Root() + "missing.ff.txt"), std::runtime_error);
}

TEST_F(Editor, APackedPairOpensAsItsSourcesAndSavesBesideIt) {
    std::filesystem::create_directories(Box.Root() + "lib");
    std::ostringstream out, err;
    ASSERT_EQ(RunContentTool({"pack", VariantFile, Box.Root() + "lib/Zarvo.ff"}, out, err), 0)
        << err.str();
    ASSERT_EQ(RunContentTool({"pack", RulesFile, Box.Root() + "lib/Zarvo.frf"}, out, err), 0)
        << err.str();
    TEditorDocument doc = OpenDocument(Box.Root() + "lib/Zarvo.ff");
    EXPECT_TRUE(doc.FromPacked);
    EXPECT_EQ(doc.VariantPath, Box.Root() + "lib/Zarvo.ff.txt");
    EXPECT_NE(doc.VariantText.find("Мы пол{о|а ЛАГ}жили книги."), std::string::npos);
    EXPECT_NE(doc.RulesText.find("Правило: ОЧ"), std::string::npos);
    EXPECT_TRUE(Findings(doc.VariantText, doc.RulesText).empty());
    SaveDocument(doc);
    EXPECT_TRUE(Box.Exists("lib/Zarvo.ff.txt"));
    EXPECT_TRUE(Box.Exists("lib/Zarvo.frf.txt"));
}

TEST_F(Editor, TheOutlineFollowsTheTextAndTheTemplateIsClean) {
    TEditorDocument doc = OpenDocument(VariantFile);
    doc.VariantText += "\r\nТема: Приставки\r\nВариант 1: Пре и при\r\nПр{и|е ЛАГ}шёл.";
    const std::vector<TOutlineItem> items = Outline(doc.VariantText);
    ASSERT_EQ(items.size(), 5u);
    EXPECT_EQ(items[0].Name, "5 класс");
    EXPECT_EQ(items[1].Name, "1. Корни");
    EXPECT_EQ(items[2].Name, "2. Лаг");
    EXPECT_EQ(items[2].Line, 4);
    EXPECT_EQ(items[3].Name, "2. Приставки");
    EXPECT_EQ(items[4].Level, TOutlineItem::Variant);
    EXPECT_EQ(items[4].Line, 8);

    const TEditorDocument fresh = NewDocument(Box.Root() + "new.ff.txt");
    EXPECT_EQ(fresh.RulesPath, Box.Root() + "new.frf.txt");
    EXPECT_TRUE(fresh.Modified());
    EXPECT_FALSE(HasErrors(Findings(fresh.VariantText, fresh.RulesText)));
    EXPECT_THROW(NewDocument(Box.Root() + "new.txt"), std::runtime_error);
}

TEST_F(Editor, FindingsNameTheLineAndTheFileAtFault) {
    TEditorDocument doc = OpenDocument(VariantFile);
    EXPECT_TRUE(Findings(doc.VariantText, doc.RulesText).empty());
    // An unknown rule in line 5; a rule nobody names; a bracket left open in line 7.
    doc.VariantText = Exercises;
    doc.VariantText.replace(doc.VariantText.find("ЛАГ}"), 3, "ЛЯГ");
    doc.VariantText += "\r\nМы п{о|а БГ ели.";
    const std::vector<TFinding> found = Findings(doc.VariantText, doc.RulesText);
    EXPECT_TRUE(HasErrors(found));
    EXPECT_TRUE(HasFinding(found, TSourceKind::Variants, 5, false));
    EXPECT_TRUE(HasFinding(found, TSourceKind::Variants, 7, false));
    EXPECT_TRUE(HasFinding(found, TSourceKind::Rules, 1, true)) << "ЛАГ is no longer used";
    // Errors come before warnings, so the first line of the list is what blocks installing.
    EXPECT_FALSE(found.front().Warning);
}

TEST_F(Editor, TheCursorPicksTheCheckPointAndItsVariantsFigures) {
    const std::string text = OpenDocument(VariantFile).VariantText;
    // Line 6: "В{о|а БГ}да[,|@ ОЧ] песок и камни." in bytes of UTF-8.
    const std::string line6 = "В{о|а БГ}да[,|@ ОЧ] песок и камни.";
    auto at = [&](const std::string& before) {
        return PointAt(text, 6, static_cast<int>(line6.find(before)));
    };
    ASSERT_TRUE(at("БГ"));
    EXPECT_EQ(at("БГ")->Index, 0u);
    EXPECT_EQ(at("БГ")->Rule, "БГ");
    EXPECT_EQ(at("ОЧ")->Index, 1u);
    EXPECT_EQ(at("ОЧ")->Rule, "ОЧ");
    EXPECT_EQ(at("песок")->Index, 0u) << "outside all brackets: the sentence's first point";
    EXPECT_FALSE(PointAt(text, 1, 3)) << "a comment";
    EXPECT_FALSE(PointAt(text, 40, 0));

    const auto figures = FiguresAt(text, 6);
    ASSERT_TRUE(figures);
    EXPECT_EQ(figures->Line, 4);
    EXPECT_EQ(figures->Sentences, 2);
    EXPECT_EQ(figures->Punctuation, 1);
    EXPECT_EQ(figures->Spelling, 2);
    EXPECT_EQ(FiguresText(*figures).rfind("2 sentences, 1 punctuation and 2 spelling", 0), 0u);
    EXPECT_FALSE(FiguresAt(text, 2)) << "above every variant";
}

TEST_F(Editor, InstallingKeepsTheOldPairAndRefusesAPairWithErrors) {
    TEditorDocument doc = OpenDocument(VariantFile);
    const TInstallTarget target = TargetInFolder(Box.Root() + "prog/");
    EXPECT_EQ(target.VarLibFile, Box.Root() + "prog/Zarvo.ff");
    EXPECT_FALSE(InstallForPupils(doc, target).Done) << "no such folder yet";
    std::filesystem::create_directories(Box.Root() + "prog");

    TInstallResult first = InstallForPupils(doc, target);
    ASSERT_TRUE(first.Done) << first.Message;
    EXPECT_TRUE(first.VarLibBackup.empty());
    const std::string firstLibrary = Box.Read("prog/Zarvo.ff");
    // What was installed is what the trainer reads back as the source says (a two-sentence
    // variant is one a blind guess gets through, which is no fault of the installing).
    std::ostringstream out, err;
    EXPECT_EQ(
        RunContentTool({"check", "--allow-guessing", "--rules", target.RuleFile, target.VarLibFile},
                       out, err),
        0)
        << out.str() << err.str();

    doc.VariantText += "\r\nНа п{о|а БГ}ляне.";
    TInstallResult second = InstallForPupils(doc, target);
    ASSERT_TRUE(second.Done) << second.Message;
    EXPECT_EQ(Box.Read("prog/Zarvo.ff.bak"), firstLibrary);
    EXPECT_NE(Box.Read("prog/Zarvo.ff"), firstLibrary);
    EXPECT_TRUE(Box.Exists("prog/Zarvo.frf.bak"));

    const std::string installed = Box.Read("prog/Zarvo.ff");
    doc.VariantText += "\r\nСлово с {о|а НЕТ}шибкой.";
    const TInstallResult refused = InstallForPupils(doc, target);
    EXPECT_FALSE(refused.Done);
    EXPECT_NE(refused.Message.find("error"), std::string::npos) << refused.Message;
    EXPECT_EQ(Box.Read("prog/Zarvo.ff"), installed) << "a refused pair changes nothing";
}

TEST_F(Editor, AFolderTheTeacherCannotWriteSaysWhatTheITPersonMustDo) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes every folder; the refusal is seen only by a teacher's account";
    std::filesystem::create_directories(Box.Root() + "locked");
    ::chmod((Box.Root() + "locked").c_str(), 0555);
    const TInstallResult result =
        InstallForPupils(OpenDocument(VariantFile), TargetInFolder(Box.Root() + "locked"));
    ::chmod((Box.Root() + "locked").c_str(), 0755);
    EXPECT_FALSE(result.Done);
    EXPECT_NE(result.Message.find("IT person"), std::string::npos) << result.Message;
}

TEST(TrainerSettings, TheTrainersOwnAnswerNamesTheInstalledFiles) {
    const TTrainerSettings s =
        ParseTrainerSettings("VarLib=CD\r\nGetVarLibFile=/var/lib/zarvo/Zarvo.ff\n"
                             "GetRuleFile=/var/lib/zarvo/Zarvo.frf\n"
                             "GetFontFile=/usr/share/zarvo/Zarvo.fff\n");
    EXPECT_EQ(s.VarLibFile, "/var/lib/zarvo/Zarvo.ff");
    EXPECT_EQ(s.RuleFile, "/var/lib/zarvo/Zarvo.frf");
    EXPECT_EQ(s.FontFile, "/usr/share/zarvo/Zarvo.fff");
}

TEST_F(Editor, TypingACheckPointChangesThePreviewAndTheFindings) {
    TEditorWindow window(Font);
    ASSERT_TRUE(window.OpenPath(VariantFile)) << window.LastMessage;
    QPlainTextEdit* edit = window.VariantEditor();
    EXPECT_EQ(window.OutlineTree()->topLevelItemCount(), 1);
    EXPECT_EQ(window.FindingsList()->count(), 1) << "the all-clear line";

    // The cursor in the first sentence: its picture and its rule are drawn.
    QTextCursor c(edit->document()->findBlockByNumber(4));
    c.movePosition(QTextCursor::EndOfBlock);
    edit->setTextCursor(c);
    window.RefreshNow();
    ASSERT_FALSE(window.ExamplePreview()->Picture().isNull())
        << window.ExamplePreview()->text().toStdString();
    const QImage before = window.ExamplePreview()->Picture().toImage();
    EXPECT_FALSE(window.RulePreview()->Picture().isNull());

    // A second check point typed into the sentence, naming a rule nobody wrote.
    edit->insertPlainText(" Н{е|и ЗЗЗ}т.");
    EXPECT_TRUE(window.Document().Modified());
    window.RefreshNow();
    const QImage after = window.ExamplePreview()->Picture().toImage();
    EXPECT_NE(before, after);
    bool named = false;
    for (int i = 0; i < window.FindingsList()->count(); ++i)
        named |= window.FindingsList()->item(i)->text().contains("ЗЗЗ");
    EXPECT_TRUE(named);
    EXPECT_NE(window.FiguresLabel()->text().toStdString().find("3 spelling"), std::string::npos)
        << window.FiguresLabel()->text().toStdString();
    ASSERT_TRUE(window.Save());
    EXPECT_NE(Box.Read("pair/my.ff.txt").find("книги. Н{е|и ЗЗЗ}т.\r\n"), std::string::npos);
}

} // namespace
