// The report as a teacher starts it: from the menu (--open, into the browser), on a Russian lab's
// file without the language file, and on files that hold no session.

#include "Tool.h"

#include "platform/Text.h"
#include "support/Sandbox.h"

#include <QElapsedTimer>
#include <QThread>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>

namespace {

std::string RussianBlock(const std::string& pupil, const std::string& date, const char* rule) {
    return platform::Utf8ToAnsi("\r\n" + date +
                                " 10:00:00\r\n"
                                "Ученик: " +
                                pupil +
                                "\r\nКласс: 5 класс\r\nТема: 1. Корни\r\nВариант: 1. Лаг\r\n"
                                "Количество вопросов: 20\r\nКоличество ошибок: 1\r\n"
                                " в том числе орфографических: 1:\r\n" +
                                std::string(30, ' ') + rule +
                                "\r\n пунктуационных ошибок нет\r\nПодсказок: 0\r\nОценка: 4\r\n");
}

std::string RussianFile() {
    return platform::Utf8ToAnsi("Файл результатов программы \"Зарво\"\r\n") +
           RussianBlock("Аня", "01.12.2026", "ЛАГ") + RussianBlock("Боря", "02.12.2026", "ЛАГ");
}

struct TRun {
    int Status;
    std::string Out, Err;
};

class ReportTool : public testing::Test {
protected:
    ReportTool() {
        // No language file anywhere: the content directory is an empty folder.
        std::filesystem::create_directories(Box.Root() + "empty");
        Box.SetEnv("ZARVO_CONTENT_DIR", Box.Root() + "empty");
        Box.SetEnv("XDG_CACHE_HOME", Box.Root() + "cache");
    }
    TRun Run(const std::vector<std::string>& args) {
        std::ostringstream out, err;
        const int status = RunReportTool(args, Box.Root() + "bin", out, err);
        return {status, out.str(), err.str()};
    }
    // A browser that writes down the page it was asked to show.
    void StubBrowser() {
        const std::string stub = Box.Write(
            "browser.sh", "#!/bin/sh\nprintf '%s' \"$1\" > " + Box.Root() + "shown.tmp && mv " +
                              Box.Root() + "shown.tmp " + Box.Root() + "shown\n");
        ::chmod(stub.c_str(), 0755);
        Box.SetEnv("ZARVO_BROWSER", stub);
    }
    std::string Shown() {
        QElapsedTimer t;
        t.start();
        while (!Box.Exists("shown") && t.elapsed() < 10000)
            QThread::msleep(20);
        return Box.Exists("shown") ? Box.Read("shown") : std::string();
    }
    TSandbox Box;
};

TEST_F(ReportTool, ARussianFileReadsWithoutTheLanguageFile) {
    const std::string file = Box.Write("Zarvo.rez", RussianFile());
    const TRun run = Run({file});
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_NE(run.Out.find("Занятий: 2, учеников: 2, классов: 1"), std::string::npos) << run.Out;
}

TEST_F(ReportTool, InputWithoutASessionFailsAndSaysWhy) {
    const TRun notResults = Run({Box.Write("notes.rez", "Shopping list\r\nmilk\r\n")});
    EXPECT_EQ(notResults.Status, 1);
    EXPECT_NE(notResults.Err.find("no session block"), std::string::npos) << notResults.Err;
    // An empty results file is a lab before its first lesson: nothing to report, and no fault.
    const TRun empty = Run({Box.Write("empty.rez", "")});
    EXPECT_EQ(empty.Status, 0) << empty.Err;
    EXPECT_EQ(Run({"--help"}).Status, 0);
    EXPECT_NE(Run({"--help"}).Out.find("--open"), std::string::npos);
    EXPECT_EQ(Run({"--bogus"}).Status, 2);
}

TEST_F(ReportTool, OpenWritesThePageIntoTheCacheAndShowsIt) {
    StubBrowser();
    const std::string file = Box.Write("Zarvo.rez", RussianFile());
    const TRun run = Run({"--open", file});
    ASSERT_EQ(run.Status, 0) << run.Err;
    const std::string page = Box.Root() + "cache/zarvo/report.html";
    EXPECT_EQ(Shown(), page);
    ASSERT_TRUE(std::filesystem::exists(page));
    const std::string html = Box.Read("cache/zarvo/report.html");
    EXPECT_NE(html.find("id=\"top3\""), std::string::npos);
    EXPECT_NE(html.find("data-rule=\"ЛАГ\" data-pupils=\"2\""), std::string::npos);
}

TEST_F(ReportTool, OpenWithoutAnInstalledTrainerShowsWhyInTheBrowser) {
    StubBrowser();
    Box.SetEnv("ZARVO_TRAINER", Box.Root() + "no-such-trainer");
    const TRun run = Run({"--open"});
    EXPECT_EQ(run.Status, 1);
    const std::string page = Shown();
    ASSERT_FALSE(page.empty()) << "the teacher must see something: " << run.Err;
    EXPECT_NE(Box.Read("cache/zarvo/report.html").find("installed trainer was not found"),
              std::string::npos);
}

} // namespace
