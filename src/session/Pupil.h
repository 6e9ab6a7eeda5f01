#pragma once
// The current pupil and session: who works, the counters, the mistakes by rule, the mark, and
// the block that each finished or interrupted session appends to the results file.

#include <QDateTime>
#include <cstdint>
#include <string>
#include <vector>

class TFPupil {
public:
    TFPupil(const std::string& name, const std::string& schoolClass, const std::string& theme,
            const std::string& variant);

    void Init(const std::string& name, const std::string& schoolClass, const std::string& theme,
              const std::string& variant);
    // Appends the session's block to `fileName` (the exercise screen passes Config's results
    // file). Any failure, an empty name included, shows the results-file box once; what was in
    // the file stays.
    void SaveResults(const std::string& fileName, bool interrupted);

    void AddSpellingMistake(const std::string& rule) { SpellingMistakes.push_back(rule); }
    void AddPunctuationMistake(const std::string& rule) { PunctuationMistakes.push_back(rule); }
    void AddPrompt() { ++Prompts; }
    void AddQuestion() { ++Questions; }

    int MistakesCount() const {
        return static_cast<int>(SpellingMistakes.size() + PunctuationMistakes.size());
    }
    int QuestionsCount() const { return Questions; }
    int PromptsCount() const { return Prompts; }
    const std::string& GetName() const { return PupilName; }
    const std::string& GetClass() const { return SchoolClass; }
    const std::string& GetTheme() const { return ThemeName; }
    const std::string& GetVariant() const { return VariantName; }
    // 5, 4, 3, 2, or 0 for no mark (more than two prompts: the training regime).
    std::uint8_t GetMark() const;

    // The block as SaveResults writes it (CR LF line ends), for the given moment.
    std::string ResultsBlock(const QDateTime& now, bool interrupted) const;

    std::string PupilName;
    std::string SchoolClass;
    std::string ThemeName;
    std::string VariantName;
    int Questions = 0;
    std::vector<std::string> PunctuationMistakes;
    std::vector<std::string> SpellingMistakes;
    int Prompts = 0;
};

// The mark for s spelling and p punctuation mistakes when at most two prompts were used: 5, 4, 3
// or 2. Also what the content tool judges blind guessing by.
std::uint8_t MarkFor(std::size_t spelling, std::size_t punctuation);

// The variant name a round of work on mistakes writes: the label and the variant's own text.
std::string RoundVariantName(const std::string& variant);

// The system locale's short date, a space and the time as hours, minutes and seconds; the date
// alone at exactly midnight. cp1251.
std::string FormatResultsDateTime(const QDateTime& moment);
