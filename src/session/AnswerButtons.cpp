#include "session/AnswerButtons.h"

TDistinctAnswers DistinctAnswers(char right, char alternative1, char alternative2) {
    TDistinctAnswers d{alternative1, alternative2, 2};
    if (d.Alternative2 == right || d.Alternative2 == 0)
        --d.AlternativeCount;
    if (d.Alternative1 == right || d.Alternative1 == 0) {
        --d.AlternativeCount;
        d.Alternative1 = d.Alternative2;
    }
    // The same wrong answer twice would give two identical buttons, one of them never judged.
    if (d.AlternativeCount == 2 && d.Alternative1 == d.Alternative2)
        d.AlternativeCount = 1;
    return d;
}

TButtonAnswers DealButtonAnswers(int alternativeCount, const TRandom& random) {
    // A source that strays out of its range is brought back into it rather than trusted.
    auto draw = [&random](int hi) { return 1 + ((random(1, hi) - 1) % hi + hi) % hi; };
    TButtonAnswers a{0, 0, 0};
    if (alternativeCount == 1) {
        a[0] = draw(2);
        a[1] = 3 - a[0];
    } else if (alternativeCount >= 2) {
        a[0] = draw(3);
        a[1] = draw(3);
        // Drawn again until it differs; a source stuck on one value must not hang the screen.
        for (int tries = 0; a[1] == a[0] && tries < 64; ++tries)
            a[1] = draw(3);
        if (a[1] == a[0])
            a[1] = a[0] % 3 + 1;
        a[2] = 6 - a[0] - a[1];
    }
    return a;
}

std::array<int, 3> AnswerButtonLefts(int alternativeCount, int centre,
                                     const std::array<int, 3>& widths) {
    if (alternativeCount < 2)
        return {centre - widths[0] - 8, centre + 8, 0};
    const int b2 = widths[1] / 2;
    return {centre - b2 - widths[0] - 16, centre - b2, centre + b2 + 16};
}

bool IsStandalone(std::string_view text, int position, char right, char alternative1,
                  char alternative2) {
    if (right != '-' && alternative1 != '-' && alternative2 != '-')
        return false;
    if (position <= 1 || position >= static_cast<int>(text.size()))
        return false;
    const auto i = static_cast<std::size_t>(position - 1);
    return text[i - 1] == ' ' && text[i + 1] == ' ';
}

TButtonFace FaceOfAnswer(char c, char other1, char other2, bool standalone) {
    if (c == ' ')
        return standalone ? TButtonFace{AnswerFace, 0, TAnswerHint::Answer}
                          : TButtonFace{ApartFace, 0, TAnswerHint::Apart};
    if (c == '@') {
        const bool merge =
            other1 == ' ' || other2 == ' ' || ((other1 == '-' || other2 == '-') && !standalone);
        return merge ? TButtonFace{MergeFace, 0, TAnswerHint::Merge}
                     : TButtonFace{AnswerFace, 0, TAnswerHint::Answer};
    }
    return {0, c, TAnswerHint::Answer};
}
