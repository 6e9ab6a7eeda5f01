#include "app/Globals.h"
#include "app/Reports.h"
#include "app/Strings.h"
#include "config/Config.h"
#include "platform/Exception.h"
#include "platform/MessageBox.h"
#include "platform/Profile.h"
#include "platform/Text.h"
#include "support/MessageRecorder.h"
#include "support/Sandbox.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace platform;

namespace {

const std::string LanguageKey = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvisoft\\Zarvo\\Language]\n";

// A configuration whose program folder is the sandbox's content directory, with the language
// loaded from there.
TConfig Loaded(TSandbox& box) {
    TConfig c{TConfig::TSettingsOnly{}};
    c.Path = box.ContentDir();
    c.AskLanguage = AskLanguage; // as start-up asks it
    ClearInterfaceStrings();
    c.LoadLanguage();
    return c;
}

} // namespace

TEST(Language, WithoutARegistryLanguageTheQuestionDecides) {
    TSandbox box;
    box.Write("content/Zarvo.flt", "[Zarvo_Russian]\r\nTitle=" + Utf8ToAnsi("Зарво") +
                                       "\r\nstrError=" + Utf8ToAnsi("Ошибка!") +
                                       "\r\n[Zarvo_English]\r\nTitle=Zarvo EN\r\n");
    Recorder().Answer(IDNO);
    TConfig c = Loaded(box);
    auto boxes = Recorder().Take();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Flags, MB_YESNO | MB_ICONQUESTION | MB_BILINGUAL);
    EXPECT_EQ(boxes[0].Caption, "") << "asked before the title is read";
    EXPECT_EQ(c.Language, "Russian");
    EXPECT_EQ(Title, Utf8ToAnsi("Зарво"));
    EXPECT_EQ(PictureFolder, "RFPF\\");
    EXPECT_EQ(strError, Utf8ToAnsi("Ошибка!"));
    EXPECT_EQ(strQuit, "Do You want to quit?") << "a missing key keeps its English default";

    Recorder().Answer(IDYES);
    c = Loaded(box);
    Recorder().Take();
    EXPECT_EQ(c.Language, "English");
    EXPECT_EQ(Title, "Zarvo EN");
    EXPECT_EQ(PictureFolder, "EFPF\\");
    EXPECT_FALSE(box.Exists("registry.reg")) << "the answer is not written back";
}

TEST(Language, TheRegistryLanguageIsUsedWithoutAQuestion) {
    TSandbox box;
    box.Write("content/zarvo.FLT", "[ZARVO_ENGLISH]\nstrGo=Start!\n");
    box.WriteRegistry(LanguageKey + "\"Language\"=\"english\"\n");
    TConfig c = Loaded(box);
    EXPECT_EQ(c.Language, "english");
    EXPECT_EQ(strGo, "Start!") << "section names ignore case";
    EXPECT_EQ(PictureFolder, "") << "the folder needs the exact word";

    box.WriteRegistry(LanguageKey + "\"Language\"=\"German\"\n");
    c = Loaded(box);
    EXPECT_EQ(Title, "Zarvo");
    EXPECT_EQ(strGo, "Go!");
    EXPECT_EQ(PictureFolder, "");

    box.WriteRegistry(LanguageKey + "\"Language\"=dword:00000001\n");
    EXPECT_THROW(Loaded(box), ERegistryError);
}

TEST(Language, ValuesAreTakenAsTheFileHasThem) {
    TSandbox box;
    box.WriteRegistry(LanguageKey + "\"Language\"=\"English\"\n");
    box.Write("content/Zarvo.flt", "[Zarvo_English]\n"
                                   "strFileIOErrorMessage1=\"The file \"\n"
                                   "strFileIOErrorMessage2=\" cannot be opened!\"\n"
                                   "hintExit=\n"
                                   "strLibraryFailure=Broken library\n");
    Loaded(box);
    EXPECT_EQ(strFileIOErrorMessage1, "The file ");
    EXPECT_EQ(strFileIOErrorMessage2, " cannot be opened!");
    EXPECT_EQ(hintExit, "") << "an empty value stays empty";
    EXPECT_EQ(strLibraryFailure, "Broken library");
}

TEST(Language, AMissingFileGivesTheEnglishDefaultsSilently) {
    TSandbox box;
    box.WriteRegistry(LanguageKey + "\"Language\"=\"Russian\"\n");
    Loaded(box);
    EXPECT_EQ(Title, "Zarvo");
    EXPECT_EQ(PictureFolder, "RFPF\\");
    for (const TInterfaceString& s : InterfaceStrings)
        EXPECT_EQ(*s.Value, s.Default) << s.Identifier;
    EXPECT_EQ(Recorder().Pending(), 0u);
}

TEST(Language, AnEmptyProgramFolderReadsTheFileFromTheCurrentFolder) {
    TSandbox box;
    box.WriteRegistry(LanguageKey + "\"Language\"=\"English\"\n");
    box.Write("cwd/Zarvo.flt", "[Zarvo_English]\nTitle=From here\n");
    const QString saved = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(box.Root() + "cwd")));
    TConfig c{TConfig::TSettingsOnly{}};
    c.Path.clear();
    c.LoadLanguage();
    QDir::setCurrent(saved);
    EXPECT_EQ(Title, "From here");
}

// The bundled language file, as the build converted it.
TEST(BundledLanguageFile, EverySectionHasEveryKey) {
    const TIniFile flt(std::string(ZARVO_CONTENT_BUILD_DIR) + "Zarvo.flt");
    ASSERT_TRUE(flt.Loaded());
    for (const char* language : {"Russian", "English"}) {
        const std::string section = std::string("Zarvo_") + language;
        EXPECT_FALSE(flt.ReadString(section, "Title", "").empty()) << section;
        for (const TInterfaceString& s : InterfaceStrings) {
            ASSERT_TRUE(flt.ValueExists(section, s.Identifier)) << section << " " << s.Identifier;
            const std::string value = flt.ReadString(section, s.Identifier, "");
            EXPECT_FALSE(value.empty()) << section << " " << s.Identifier;
            if (std::string(language) == "English" && s.Value != &strFileIOErrorMessage1 &&
                s.Value != &strFileIOErrorMessage2) {
                EXPECT_EQ(value, s.Default) << s.Identifier;
            }
        }
        EXPECT_TRUE(flt.ValueExists(section, "strLibraryFailure")) << section;
        for (const char* key : {"Title", "strCaption", "strConfirmation", "strConfirmationCaption",
                                "strUninstallError1", "strUninstallError2", "strWinDirError",
                                "strError", "strQuit", "strFinish", "strClose"})
            EXPECT_FALSE(flt.ReadString(std::string("Uninstaller_") + language, key, "").empty())
                << language << " " << key;
        for (const char* key : {"strZarvoPath", "strZarvoShortcut", "strUninstallShortcut"})
            EXPECT_FALSE(flt.ReadString(std::string("Installer_") + language, key, "").empty())
                << language << " " << key;
    }
    // The Russian texts are in code page 1251, and the file names keep the English message
    // parts apart from the words around them.
    EXPECT_EQ(flt.ReadString("Zarvo_Russian", "strExitZarvo", ""),
              Utf8ToAnsi("3. Выйти из программы"));
    EXPECT_EQ(flt.ReadString("Zarvo_English", "strFileIOErrorMessage1", ""), "The file ");
    EXPECT_EQ(flt.ReadString("Uninstaller_English", "strUninstallError2", ""),
              "Please, re-install \"Zarvo\" and  then try to uninstall again or manually delete "
              "folder");
    EXPECT_EQ(flt.ReadString("Installer_English", "strZarvoPath", ""), "ZARVO\\");
}
