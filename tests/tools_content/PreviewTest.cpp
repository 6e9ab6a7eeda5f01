// The teacher's preview: one picture per example and per rule, of the trainer's sizes, with the
// placeholder and the marks where the trainer's own drawing puts them.

#include "Tool.h"

#include "platform/Bitmap.h"
#include "platform/Text.h"
#include "session/ExampleLayout.h"
#include "support/Sandbox.h"

#include <QImage>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>

namespace {

const std::string Font = std::string(ZARVO_CONTENT_BUILD_DIR) + "Zarvo.fff";

struct TRun {
    int Status;
    std::string Out, Err;
};

TRun Tool(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = RunContentTool(args, out, err);
    return {status, out.str(), err.str()};
}

bool HasColour(const QImage& image, QRect area, QRgb colour) {
    area = area.intersected(image.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF))
                return true;
    return false;
}

class Preview : public testing::Test {
protected:
    TSandbox Box;
    std::string Exercises = Box.Write("e.ff.txt", "Класс: 5 класс\nТема: Корни\nВариант 2: Лаг\n"
                                                  "Мы пол{о|а ЛАГ}жили книги.\n"
                                                  "В{о|а БГ}да[,|@ ОЧ] и песок.\n");
    std::string Rules = Box.Write("e.frf.txt", "Правило: ЛАГ\n0Корни0\n&вод&а\n\n"
                                               "Правило: БГ\nПроверь ударением.\n");
    std::string Out = Box.Root() + "preview";
};

TEST_F(Preview, WritesAPictureForEveryExampleAndEveryRuleNamed) {
    const TRun run = Tool({"preview", Exercises, "--variant", "1/1/2", "--font", Font, Out});
    ASSERT_EQ(run.Status, 0) << run.Err;
    // The rule library beside the exercises is found; ОЧ is not in it and is drawn as the
    // trainer draws a missing rule, on one line.
    const std::vector<std::string> expected = {"example-01.png", "example-02.png", "rule-БГ.png",
                                               "rule-ОЧ.png", "rule-ЛАГ.png"};
    for (const std::string& f : expected) {
        const QImage image(QString::fromStdString(Out + "/" + f));
        ASSERT_FALSE(image.isNull()) << f;
        if (f.rfind("example", 0) == 0) {
            EXPECT_EQ(image.size(), QSize(1024, 768 - 108)) << f;
        } else {
            EXPECT_EQ(image.width(), 12 * 37) << f;
        }
        if (f == "rule-ОЧ.png") {
            EXPECT_EQ(image.height(), 33);
        }
    }
}

TEST_F(Preview, PlaceholderAndArcStandWhereTheTrainerDrawsThem) {
    ASSERT_EQ(Tool({"preview", Exercises, "--variant", "1/1/2", "--rules", Rules, "--font", Font,
                    "--screen", "1024x768", Out})
                  .Status,
              0);
    // The first example's first check point: a white "_" in its cell, on navy.
    TExampleLayout layout;
    layout.Metrics = {24, 36, 18}; // the large and small fonts of a 1024-pixel screen
    TBoxGeometry box{1024, 1024, 660, 660, 0};
    const std::string text = platform::Utf8ToAnsi("Мы положили книги.");
    layout.LayOut(text, box);
    layout.Locate(7, box);
    const QImage example(QString::fromStdString(Out + "/example-01.png"));
    const QRect cell(layout.CellX, layout.CellY, 24, 36);
    EXPECT_TRUE(HasColour(example, cell.adjusted(0, 26, 0, 0), qRgb(255, 255, 255)))
        << "no underscore at " << layout.CellX << "," << layout.CellY;
    EXPECT_FALSE(HasColour(example, cell.adjusted(0, 0, 0, -14), qRgb(255, 255, 255)))
        << "the cell holds more than an underscore";

    // Rule ЛАГ, line 2 "&вод&а": four cells centred on the 444-pixel page, the arc over the first
    // three, in dark blue, above the glyphs (line pitch 9 + 18 + 4 + 2 = 33, margin 9).
    const QImage rule(QString::fromStdString(Out + "/rule-ЛАГ.png"));
    ASSERT_EQ(rule.height(), 2 * 33);
    const int left = (444 - 4 * 12) / 2, top = 33;
    const QRgb darkBlue = qRgb(0, 0, 0x80);
    EXPECT_TRUE(HasColour(rule, QRect(left, top, 36, 8), darkBlue)) << "no arc over the root";
    EXPECT_FALSE(HasColour(rule, QRect(left + 37, top, 11, 5), darkBlue)) << "arc over the ending";
}

TEST_F(Preview, OneRuleAndMistakes) {
    const TRun one = Tool({"preview", Rules, "--rule", "БГ", "--font", Font, Out});
    ASSERT_EQ(one.Status, 0) << one.Err;
    EXPECT_FALSE(QImage(QString::fromStdString(Out + "/rule-БГ.png")).isNull());
    EXPECT_EQ(Tool({"preview", Exercises, "--variant", "1/1/9", "--font", Font, Out}).Status, 1);
    EXPECT_EQ(
        Tool({"preview", Exercises, "--variant", "1/1/2", "--font", "/nonexistent", Out}).Status,
        1);
    EXPECT_EQ(Tool({"preview", Exercises, "--variant", "1/1/2", "--screen", "320x200", Out}).Status,
              2);
}

} // namespace

// Without --font, the font is the one the installed trainer reports (its settings may name another
// than the bundled one beside this program); shown here by a trainer that names a broken one.
TEST_F(Preview, TakesTheTrainersFontWithoutBeingTold) {
    Box.SetEnv("ZARVO_CONTENT_DIR", std::nullopt);
    const std::string named = Box.Write("fonts/Lab.fff", "not a font");
    const std::string trainer =
        Box.Write("trainer.sh", "#!/bin/sh\necho GetFontFile=" + named + "\n");
    ::chmod(trainer.c_str(), 0755);
    Box.SetEnv("ZARVO_TRAINER", trainer);
    const TRun run = Tool({"preview", Exercises, "--rule", "ЛАГ", Out});
    EXPECT_EQ(run.Status, 1);
    EXPECT_NE(run.Err.find("cannot read the font file " + named), std::string::npos) << run.Err;
}
