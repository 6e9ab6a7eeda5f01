#include "session/ResultsDrawing.h"

#include "platform/Text.h"
#include "render/NFFont.h"
#include "session/Pupil.h"

using namespace platform;

namespace {

// The labels are written in UTF-8 here and held in cp1251 as every text the fonts draw.
std::string Label(const char* utf8) {
    return Utf8ToAnsi(utf8);
}

// Pieces of at most `room` characters, broken after the last space that fits where there is one.
std::vector<std::string> Wrap(std::string text, std::size_t room) {
    std::vector<std::string> out;
    if (room == 0) {
        out.push_back(std::move(text));
        return out;
    }
    while (text.size() > room) {
        const std::size_t space = text.rfind(' ', room);
        if (space != std::string::npos && space > 0) {
            out.push_back(text.substr(0, space));
            text.erase(0, space + 1);
        } else {
            out.push_back(text.substr(0, room));
            text.erase(0, room);
        }
    }
    out.push_back(std::move(text));
    return out;
}

} // namespace

TResultLines ResultLines(const TFPupil& pupil) {
    const int mark = pupil.GetMark();
    return {{
        {Label("Ученик: ") + pupil.GetName(), true},
        {Label("Класс: ") + pupil.GetClass(), false},
        {Label("Тема: ") + pupil.GetTheme(), false},
        {Label("Вариант: "), false},
        {pupil.GetVariant(), false},
        {Label("Вопросов: ") + std::to_string(pupil.QuestionsCount()), true},
        {Label("Ошибок: ") + std::to_string(pupil.MistakesCount()), true},
        {Label("Подсказок: ") + std::to_string(pupil.PromptsCount()), true},
        {mark > 0 ? Label("Оценка: ") + std::to_string(mark)
                  : Label("Без оценки - тренировочный режим!"),
         true},
    }};
}

std::vector<TResultRow> DrawResults(const TResultLines& lines, const TBitmap& background,
                                    const TNFFont& large, const TNFFont& small, int width,
                                    int height, TBitmap& picture, const std::string& foot) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    picture = TBitmap(width, height, clSilver);
    if (!background.Empty()) {
        // The pictures come in four screen classes; the one for this screen is stretched over
        // it, so that its margin rule stays where the text begins.
        if (background.Width() == width && background.Height() == height)
            picture.Draw(0, 0, background);
        else
            picture.Draw(0, 0,
                         TBitmap(background.Image().scaled(width, height, Qt::IgnoreAspectRatio,
                                                           Qt::SmoothTransformation)));
    }

    const int x = width / 8 + 10;
    const int pitch = large.CellHeight() + 10;
    const int room = width - x;
    std::vector<TResultRow> rows;
    int y = height / 6 + 20;
    const auto draw = [&](const TResultLine& line) {
        bool useLarge = line.Large;
        if (useLarge && static_cast<long long>(line.Text.size()) * large.CellWidth() > room)
            useLarge = false;
        const TNFFont& font = useLarge ? large : small;
        const int cell = std::max(font.CellWidth(), 1);
        for (std::string& piece :
             Wrap(line.Text, static_cast<std::size_t>(std::max(room / cell, 0)))) {
            font.DrawText(piece, picture, clBlack, x, y, false);
            rows.push_back({std::move(piece), useLarge, x, y});
            y += pitch;
        }
    };
    for (const TResultLine& line : lines)
        draw(line);
    if (!foot.empty()) {
        y += pitch;
        draw({foot, false});
    }
    return rows;
}
