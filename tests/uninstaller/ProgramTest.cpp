#include "uninstaller/Program.h"
#include "Installation.h"
#include "platform/Text.h"
#include "support/MessageRecorder.h"
#include "support/Watchdog.h"
#include "uninstaller/ProgressPie.h"
#include "uninstaller/UninstallWindow.h"

#include <QApplication>
#include <QImage>
#include <gtest/gtest.h>
#include <sstream>

using platform::IDNO;
using platform::IDYES;

namespace {

int RunMode(TUninstallMode mode, std::string* out = nullptr, std::string* err = nullptr) {
    std::ostringstream o, e;
    TUninstallOptions options;
    options.Mode = mode;
    int status = RunUninstallProgram(options, o, e);
    if (out)
        *out = o.str();
    if (err)
        *err = e.str();
    return status;
}

} // namespace

TEST(UninstallProgram, NoLeavesEverythingAsItWas) {
    TSandbox box;
    TWatchdog watchdog;
    TInstallation inst(box, 12);
    const std::string registry = inst.Registry();
    Recorder().Answer(IDNO);

    EXPECT_EQ(RunMode(TUninstallMode::Window), 0);

    auto boxes = Recorder().Take();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Text, "Are You sure You want to uninstall \"Zarvo\"?\r\nThe results file " +
                                 inst.Program() +
                                 "Zarvo.rez (result blocks: 0) will be deleted with it.");
    EXPECT_EQ(boxes[0].Caption, "Zarvo: Uninstall?");
    EXPECT_EQ(boxes[0].Flags, 0x14u) << "Yes and No with the stop icon";
    EXPECT_EQ(inst.Registry(), registry);
    for (const std::string& f : inst.Listed)
        EXPECT_TRUE(inst.Exists(f));
    EXPECT_TRUE(inst.Exists(box.WinDir() + "Config.fcf"));
    EXPECT_TRUE(inst.Exists(inst.Program() + "Zarvo.rez"));
    EXPECT_TRUE(inst.Exists(inst.Desktop() + "zarvo.desktop"));
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty() ||
                !QApplication::topLevelWidgets().front()->isVisible())
        << "the window closes with the program";
}

TEST(UninstallProgram, YesRemovesAndEndsWithTheCompletionBoxInTheRegistryLanguage) {
    TSandbox box;
    TWatchdog watchdog;
    TInstallation inst(box, 12);
    using platform::Utf8ToAnsi;
    std::string flt =
        box.Write("prog/Zarvo.flt", Utf8ToAnsi("[Uninstaller_Russian]\r\nTitle=Зарво\r\n"
                                               "strConfirmation=Удалить?\r\n"
                                               "strFinish=Удаление завершено!\r\n"));
    inst.Listed.push_back(flt);
    inst.WriteLog(inst.Listed);
    Recorder().Answer(IDYES);

    EXPECT_EQ(RunMode(TUninstallMode::Window), 0);

    auto boxes = Recorder().Take();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].Text.rfind(Utf8ToAnsi("Удалить?\r\n"), 0), 0u)
        << "the results line under it";
    EXPECT_EQ(boxes[1].Text, Utf8ToAnsi("Удаление завершено!"));
    EXPECT_EQ(boxes[1].Caption, Utf8ToAnsi("Зарво"));
    EXPECT_EQ(boxes[1].Flags, 0x40u);
    EXPECT_FALSE(inst.Exists(inst.Program()));
    EXPECT_EQ(inst.Registry().find("Orvisoft"), std::string::npos);
}

TEST(UninstallProgram, TextsThatCannotBeReadEndTheProgramWithoutAsking) {
    TSandbox box;
    TWatchdog watchdog;
    TInstallation inst(box, 2);
    inst.WriteRegistry("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvisoft\\Zarvo\\Language]\r\n"
                       "\"Language\"=dword:00000001\r\n");
    const std::string registry = inst.Registry();

    EXPECT_EQ(RunMode(TUninstallMode::Window), 0);

    auto boxes = Recorder().Take();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Text, "Error!");
    EXPECT_EQ(boxes[0].Caption, "Zarvo");
    EXPECT_EQ(boxes[0].Flags, 0x10u);
    EXPECT_EQ(inst.Registry(), registry);
    EXPECT_TRUE(inst.Exists(inst.Listed[0]));

    // Without a window the same failure is a status.
    std::string err;
    EXPECT_EQ(RunMode(TUninstallMode::Yes, nullptr, &err), 1);
    EXPECT_NE(err.find("cannot read the texts"), std::string::npos) << err;
    EXPECT_TRUE(inst.Exists(inst.Listed[0]));
}

TEST(UninstallProgram, TheFinishedWindowShowsTheFullDiscWheneverItIsPainted) {
    TWatchdog watchdog;
    TUninstallWindow window("Zarvo: Uninstall");
    window.show();
    window.ShowProgress(100);
    // grab() paints the window afresh, as uncovering it does.
    QImage shown = window.grab().toImage();
    ASSERT_EQ(shown.size(), QSize(400, 300));
    platform::TBitmap seen(shown);
    EXPECT_EQ(seen.GetPixel(200, 60), platform::clRed);
    EXPECT_EQ(seen.GetPixel(60, 150), platform::clRed);
    EXPECT_EQ(seen.GetPixel(3, 3), clLightGray);
    EXPECT_TRUE(seen == window.Canvas());
    EXPECT_EQ(window.windowTitle(), "Zarvo: Uninstall");
    window.close();
    EXPECT_TRUE(window.isVisible()) << "the window system does not close it";
    window.CloseByProgram();
    EXPECT_FALSE(window.isVisible());
}

TEST(UninstallProgram, YesOnTheCommandLineRemovesWithoutBoxesAndGivesTheStatus) {
    {
        TSandbox box;
        TInstallation inst(box, 12);
        std::string out, err;
        EXPECT_EQ(RunMode(TUninstallMode::Yes, &out, &err), 0);
        EXPECT_EQ(out, "");
        EXPECT_EQ(err, "");
        EXPECT_FALSE(inst.Exists(inst.Program()));
        EXPECT_FALSE(inst.Exists(inst.Group()));
    }
    {
        TSandbox box;
        TInstallation inst(box, 2);
        ::unlink((inst.Program() + "Uninstall.log").c_str());
        ASSERT_EQ(::symlink("/proc/self/mem", (inst.Program() + "Uninstall.log").c_str()), 0);
        std::string err;
        EXPECT_EQ(RunMode(TUninstallMode::Yes, nullptr, &err), 1);
        EXPECT_NE(err.find("Zarvo: Unable to uninstall \"Zarvo\"!\nPlease, re-install"),
                  std::string::npos)
            << err;
        EXPECT_NE(err.find(inst.Program() + "\n"), std::string::npos) << err;
        EXPECT_NE(err.find("Uninstall.log"), std::string::npos) << "and what went wrong";
    }
    EXPECT_EQ(Recorder().Pending(), 0u) << "no box without a window";
}

TEST(UninstallProgram, CommandLine) {
    EXPECT_EQ(ParseUninstallArguments({"--yes", "--dry-run"}).Mode, TUninstallMode::DryRun)
        << "together, the run that deletes nothing wins";
    std::ostringstream o, e;
    EXPECT_EQ(RunUninstallProgram(ParseUninstallArguments({"--help"}), o, e), 0);
    for (const char* word : {"--dry-run", "--yes", "Uninstall.log", "never its"})
        EXPECT_NE(o.str().find(word), std::string::npos) << word;
    EXPECT_EQ(RunUninstallProgram(ParseUninstallArguments({"--yes", "-x"}), o, e), 2);
    EXPECT_NE(e.str().find("'-x'"), std::string::npos);
}

TEST(UninstallTexts, ComeFromTheSectionsOfTheRegistryLanguage) {
    TSandbox box;
    using platform::Utf8ToAnsi;
    box.Write("prog/Zarvo.flt",
              Utf8ToAnsi("[uninstaller_english]\r\nstrFinish=\" Done \"\r\nstrError=\r\n"
                         "[Installer_English]\r\nstrZarvoShortcut=trainer\r\n"
                         "[Uninstaller_Russian]\r\nstrFinish=Готово\r\n"));
    auto withLanguage = [&](const std::string& language) {
        box.WriteRegistry("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvisoft\\Zarvo\\Path]\r\n\"Path\"=\"" +
                          box.Root() + "prog\"\r\n" + language);
        return ReadUninstallTexts();
    };
    // Lower case finds the section, whose names ignore case, but not the picture folder.
    TUninstallTexts t = withLanguage("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvisoft\\Zarvo\\Language]\r\n"
                                     "\"Language\"=\"english\"\r\n");
    EXPECT_EQ(t.strFinish, " Done ");
    EXPECT_EQ(t.strError, "") << "an empty value is an empty text";
    EXPECT_EQ(t.ProgramShortcut(), "trainer.desktop");
    EXPECT_EQ(t.UninstallShortcut(), "uninstall zarvo.desktop");
    EXPECT_EQ(t.PictureFolder, "");
    // No language: English, with its picture folder.
    t = withLanguage("");
    EXPECT_EQ(t.strFinish, " Done ");
    EXPECT_EQ(t.PictureFolder, "EFPF\\");
    t = withLanguage("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvisoft\\Zarvo\\Language]\r\n"
                     "\"Language\"=\"Russian\"\r\n");
    EXPECT_EQ(t.strFinish, Utf8ToAnsi("Готово"));
    EXPECT_EQ(t.strCaption, "Zarvo: Uninstall") << "missing keys keep the English default";
    EXPECT_EQ(t.strZarvoPath, "ZARVO\\");
    EXPECT_EQ(t.PictureFolder, "RFPF\\");
}
