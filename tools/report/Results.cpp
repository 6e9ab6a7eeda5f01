#include "Results.h"

#include "app/Strings.h"
#include "platform/Lines.h"
#include "platform/Profile.h"
#include "platform/Text.h"

#include <QDate>
#include <QRegularExpression>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace {

TResultLabels FromInterfaceStrings(const std::string& language) {
    return {language,
            strResultFileCaption,
            strPupil,
            strVarClass,
            strVarTheme,
            strVarVariant,
            strQuestionsQuantity,
            strMistakesQuantity,
            strSpellingMistakes,
            strNoSpellingMistakes,
            strPunctuationMistakes,
            strNoPunctuationMistakes,
            strPrompts,
            strBroken,
            strMark,
            strNoMark};
}

std::vector<std::string> SplitLines(const std::string& text) {
    const std::vector<std::string_view> views = platform::SplitLines(text);
    return {views.begin(), views.end()};
}

// "Label value": the value after the label and one space; a value written empty may have lost
// its space to an editor.
std::optional<std::string> After(const std::string& line, const std::string& label) {
    if (label.empty() || line.compare(0, label.size(), label) != 0)
        return std::nullopt;
    std::string rest = line.substr(label.size());
    if (rest.empty())
        return rest;
    if (rest[0] != ' ')
        return std::nullopt;
    return rest.substr(1);
}

std::optional<int> Number(const std::string& text) {
    if (text.empty() || text.size() > 9)
        return std::nullopt;
    int n = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        n = n * 10 + (c - '0');
    }
    return n;
}

struct TBlockReader {
    const std::vector<std::string>& Lines;
    std::size_t At; // next line to read
    const TResultLabels& L;

    bool More() const { return At < Lines.size(); }

    std::optional<std::string> Field(const std::string& label) {
        if (!More())
            return std::nullopt;
        auto v = After(Lines[At], label);
        if (v)
            ++At;
        return v;
    }
    std::optional<int> Count(const std::string& label) {
        if (!More())
            return std::nullopt;
        auto v = After(Lines[At], label);
        if (!v)
            return std::nullopt;
        auto n = Number(*v);
        if (n)
            ++At;
        return n;
    }
    // " none" or " heading N:" followed by N indented identifiers.
    bool Mistakes(const std::string& none, const std::string& heading,
                  std::vector<std::string>& rules) {
        if (!More())
            return false;
        const std::string& line = Lines[At];
        if (line == " " + none) {
            ++At;
            return true;
        }
        auto rest = After(line, " " + heading);
        if (!rest || rest->empty() || rest->back() != ':')
            return false;
        auto n = Number(rest->substr(0, rest->size() - 1));
        if (!n)
            return false;
        std::size_t i = At + 1;
        for (int k = 0; k < *n; ++k, ++i) {
            if (i >= Lines.size() || Lines[i].empty() || Lines[i][0] != ' ')
                return false;
            std::string id = platform::Trim(Lines[i]);
            if (id.empty())
                return false;
            rules.push_back(id);
        }
        At = i;
        return true;
    }
};

bool CutField(std::string& field) {
    if (field.size() <= MaxResultsFieldSize)
        return false;
    field.resize(MaxResultsFieldSize);
    return true;
}

std::string SessionKey(const TSession& s) {
    std::string key = s.DateText + '\n' + s.Pupil + '\n' + s.Class + '\n' + s.Theme + '\n' +
                      s.Variant + '\n' + std::to_string(s.Questions) + '\n' +
                      std::to_string(s.Prompts) + '\n' + std::to_string(s.Mark) +
                      (s.Interrupted ? "i" : "") + '\n';
    for (const auto& r : s.SpellingRules)
        key += r + ' ';
    key += '\n';
    for (const auto& r : s.PunctuationRules)
        key += r + ' ';
    return key;
}

} // namespace

TResultLabels DefaultEnglishLabels() {
    // The interface strings are globals; borrow them for the defaults and leave them as found.
    std::vector<std::string> saved;
    for (const auto& s : InterfaceStrings)
        saved.push_back(*s.Value);
    SetDefaultInterfaceStrings();
    TResultLabels labels = FromInterfaceStrings("English");
    std::size_t i = 0;
    for (const auto& s : InterfaceStrings)
        *s.Value = saved[i++];
    return labels;
}

TResultLabels DefaultRussianLabels() {
    // The bundled language file's Russian labels: a Russian lab's results file is read without
    // the language file beside the report, and must not come out as "no sessions".
    TResultLabels l;
    l.Language = "Russian";
    auto cp = [](const char* utf8) { return platform::Utf8ToAnsi(utf8); };
    l.Caption = cp("Файл результатов программы \"Зарво\"");
    l.Pupil = cp("Ученик:");
    l.Class = cp("Класс:");
    l.Theme = cp("Тема:");
    l.Variant = cp("Вариант:");
    l.Questions = cp("Количество вопросов:");
    l.Mistakes = cp("Количество ошибок:");
    l.SpellingMistakes = cp("в том числе орфографических:");
    l.NoSpellingMistakes = cp("орфографических ошибок нет");
    l.PunctuationMistakes = cp("в том числе пунктуационных:");
    l.NoPunctuationMistakes = cp("пунктуационных ошибок нет");
    l.Prompts = cp("Подсказок:");
    l.Broken = cp("Работа прервана учеником!");
    l.Mark = cp("Оценка:");
    l.NoMark = cp("Без оценки - тренировочный режим!");
    return l;
}

std::vector<TResultLabels> LoadResultLabels(const std::string& languageFile) {
    const TResultLabels english = DefaultEnglishLabels();
    const TResultLabels russian = DefaultRussianLabels();
    std::vector<TResultLabels> sets;
    if (languageFile.empty())
        return {russian, english};
    const platform::TIniFile ini(languageFile);
    if (!ini.Loaded())
        return {russian, english};
    for (const char* language : {"Russian", "English"}) {
        const std::string section = std::string("Zarvo_") + language;
        const bool isEnglish = std::string(language) == "English";
        if (!ini.SectionExists(section)) {
            sets.push_back(isEnglish ? english : russian);
            continue;
        }
        TResultLabels l = isEnglish ? english : russian;
        l.Language = language;
        auto read = [&](const char* key, std::string& field) {
            field = ini.ReadString(section, key, field);
        };
        read("strResultFileCaption", l.Caption);
        read("strPupil", l.Pupil);
        read("strVarClass", l.Class);
        read("strVarTheme", l.Theme);
        read("strVarVariant", l.Variant);
        read("strQuestionsQuantity", l.Questions);
        read("strMistakesQuantity", l.Mistakes);
        read("strSpellingMistakes", l.SpellingMistakes);
        read("strNoSpellingMistakes", l.NoSpellingMistakes);
        read("strPunctuationMistakes", l.PunctuationMistakes);
        read("strNoPunctuationMistakes", l.NoPunctuationMistakes);
        read("strPrompts", l.Prompts);
        read("strBroken", l.Broken);
        read("strMark", l.Mark);
        read("strNoMark", l.NoMark);
        sets.push_back(l);
    }
    return sets;
}

namespace {

// The date with the optional time whose hours are capture `hours` of `m`; nothing when either is
// not a real moment.
std::optional<QDateTime> Moment(const QDate& date, const QRegularExpressionMatch& m, int hours) {
    if (!date.isValid())
        return std::nullopt;
    QTime time(0, 0);
    if (m.hasCaptured(hours)) {
        time = QTime(m.captured(hours).toInt(), m.captured(hours + 1).toInt(),
                     m.hasCaptured(hours + 2) ? m.captured(hours + 2).toInt() : 0);
        if (!time.isValid())
            return std::nullopt;
    }
    return QDateTime(date, time);
}

// "8 Dec 2026 10:15:02": the short format of a system without a configured locale.
std::optional<QDateTime> ParseNamedMonthDate(const std::string& text) {
    static const QRegularExpression pattern(
        R"(^\s*(\d{1,2}) ([A-Za-z]{3}) (\d{4})(?:\s+(\d{1,2}):(\d{2})(?::(\d{2}))?)?\s*$)");
    const auto m = pattern.match(QString::fromLatin1(text.c_str()));
    if (!m.hasMatch())
        return std::nullopt;
    static const QStringList months = {"jan", "feb", "mar", "apr", "may", "jun",
                                       "jul", "aug", "sep", "oct", "nov", "dec"};
    const int month = static_cast<int>(months.indexOf(m.captured(2).toLower())) + 1;
    if (month == 0)
        return std::nullopt;
    return Moment(QDate(m.captured(3).toInt(), month, m.captured(1).toInt()), m, 4);
}

} // namespace

std::optional<QDateTime> ParseResultsDate(const std::string& text) {
    static const QRegularExpression pattern(
        R"(^\s*(\d{1,4})([./-])(\d{1,2})\2(\d{1,4})(?:\s+(\d{1,2}):(\d{2})(?::(\d{2}))?)?\s*$)");
    const auto m = pattern.match(QString::fromLatin1(text.c_str()));
    if (!m.hasMatch())
        return ParseNamedMonthDate(text);
    const QString a = m.captured(1), b = m.captured(3), c = m.captured(4);
    const QChar sep = m.captured(2).at(0);
    int day = 0, month = 0, year = 0;
    if (a.size() == 4) { // year-month-day, whatever the separator
        year = a.toInt();
        month = b.toInt();
        day = c.toInt();
    } else if (sep == '/') {
        month = a.toInt();
        day = b.toInt();
        year = c.toInt();
    } else {
        day = a.toInt();
        month = b.toInt();
        year = c.toInt();
    }
    if (c.size() == 2 && a.size() != 4)
        year += 2000;
    else if (c.size() != 4 && a.size() != 4)
        return std::nullopt;
    return Moment(QDate(year, month, day), m, 5);
}

void ParseResults(const std::string& text, const std::string& fileName,
                  const std::vector<TResultLabels>& labels, TReadResult& out) {
    const std::vector<std::string> lines = SplitLines(text);
    auto warn = [&](std::size_t index, const std::string& what) {
        out.Warnings.push_back(fileName + ":" + std::to_string(index + 1) + ": " + what);
    };
    std::set<std::string> seen;
    for (const auto& s : out.Sessions)
        seen.insert(SessionKey(s));

    // The labels whose pupil line this is, if any.
    auto pupilLabels = [&](std::size_t i) -> const TResultLabels* {
        if (i >= lines.size())
            return nullptr;
        for (const auto& l : labels)
            if (After(lines[i], l.Pupil))
                return &l;
        return nullptr;
    };
    auto isCaption = [&](const std::string& line) {
        for (const auto& l : labels)
            if (!l.Caption.empty() && line == l.Caption)
                return true;
        return false;
    };

    bool captionSeen = false;
    std::size_t i = 0;
    while (i < lines.size()) {
        const std::string& line = lines[i];
        if (platform::Trim(line).empty()) {
            ++i;
            continue;
        }
        if (isCaption(line)) {
            if (captionSeen || i != 0)
                warn(i, "another caption line (files joined together?), skipped");
            captionSeen = true;
            ++i;
            continue;
        }
        const TResultLabels* l = pupilLabels(i + 1);
        if (!l) {
            // One warning for a run of stray lines, up to a blank line or a block's start.
            std::size_t end = i + 1;
            while (end < lines.size() && !platform::Trim(lines[end]).empty() &&
                   !pupilLabels(end + 1) && !isCaption(lines[end]))
                ++end;
            if (pupilLabels(i))
                warn(i, "a block without its date line, skipped");
            else if (end == i + 1)
                warn(i, "a line that fits no results block, skipped");
            else
                warn(i, "lines " + std::to_string(i + 1) + " to " + std::to_string(end) +
                            " fit no results block, skipped");
            i = end;
            continue;
        }
        TSession s;
        s.File = fileName;
        s.Line = static_cast<int>(i + 1);
        s.Language = l->Language;
        s.DateText = line;
        s.Date = ParseResultsDate(line);
        TBlockReader r{lines, i + 1, *l};
        bool ok = false;
        do {
            auto pupil = r.Field(l->Pupil);
            auto cls = pupil ? r.Field(l->Class) : std::nullopt;
            auto theme = cls ? r.Field(l->Theme) : std::nullopt;
            auto variant = theme ? r.Field(l->Variant) : std::nullopt;
            if (!variant)
                break;
            s.Pupil = *pupil;
            s.Class = *cls;
            s.Theme = *theme;
            s.Variant = *variant;
            auto questions = r.Count(l->Questions);
            auto mistakes = questions ? r.Count(l->Mistakes) : std::nullopt;
            if (!mistakes)
                break;
            s.Questions = *questions;
            s.Mistakes = *mistakes;
            if (!r.Mistakes(l->NoSpellingMistakes, l->SpellingMistakes, s.SpellingRules) ||
                !r.Mistakes(l->NoPunctuationMistakes, l->PunctuationMistakes, s.PunctuationRules))
                break;
            auto prompts = r.Count(l->Prompts);
            if (!prompts || !r.More())
                break;
            s.Prompts = *prompts;
            const std::string& last = lines[r.At];
            if (last == l->Broken) {
                s.Interrupted = true;
            } else if (last == l->NoMark) {
                s.Mark = 0;
            } else if (auto mark = After(last, l->Mark);
                       mark && Number(*mark) && *Number(*mark) >= 2 && *Number(*mark) <= 5) {
                s.Mark = *Number(*mark);
            } else {
                break;
            }
            ++r.At;
            ok = true;
        } while (false);

        if (!ok) {
            // Skip what the block had and go on where it broke off: that line may well start
            // the next block.
            if (r.At >= lines.size())
                warn(i, "a block cut short at the end of the file, skipped");
            else
                warn(r.At, "a block cut short or damaged (it starts at line " +
                               std::to_string(i + 1) + "), skipped");
            // The rest of the damaged block is not worth a warning of its own.
            i = std::max(r.At, i + 2);
            while (i < lines.size() && !platform::Trim(lines[i]).empty() && !pupilLabels(i + 1) &&
                   !isCaption(lines[i]))
                ++i;
            continue;
        }
        // The trainer never writes a field longer than its edit boxes and lists take; a longer
        // one is no pupil's input, and kept whole it would be repeated in every table of the
        // report (a name of many megabytes made a page of nearly a gigabyte).
        bool cut = false;
        for (std::string* field : {&s.DateText, &s.Pupil, &s.Class, &s.Theme, &s.Variant})
            cut = CutField(*field) || cut;
        for (auto* rules : {&s.SpellingRules, &s.PunctuationRules})
            for (std::string& rule : *rules)
                cut = CutField(rule) || cut;
        if (cut)
            warn(i, "a field longer than " + std::to_string(MaxResultsFieldSize) +
                        " bytes was cut to that length");
        const int listed = static_cast<int>(s.SpellingRules.size() + s.PunctuationRules.size());
        if (listed != s.Mistakes)
            warn(i, "the block counts " + std::to_string(s.Mistakes) + " mistakes but lists " +
                        std::to_string(listed) + "; the listed ones are used");
        s.Mistakes = listed;
        if (!seen.insert(SessionKey(s)).second)
            warn(i, "the same block was read before (a copied file?), counted once");
        else
            out.Sessions.push_back(std::move(s));
        i = r.At;
    }
}

bool ReadResultsFile(const std::string& path, std::string& contents, std::string& error) {
    // No blocking on a FIFO, no reading of devices: only a regular file of a sensible size.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    struct stat st {};
    bool ok = false;
    if (::fstat(fd, &st) != 0) {
        error = std::strerror(errno);
    } else if (!S_ISREG(st.st_mode)) {
        error = "not a regular file";
    } else if (st.st_size > MaxResultsFileSize) {
        error = "larger than a results file can be (64 MB)";
    } else {
        contents.clear();
        char buffer[65536];
        ok = true;
        while (true) {
            ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                error = std::strerror(errno);
                ok = false;
                break;
            }
            if (n == 0)
                break;
            contents.append(buffer, static_cast<std::size_t>(n));
            if (static_cast<std::int64_t>(contents.size()) > MaxResultsFileSize) {
                error = "larger than a results file can be (64 MB)";
                ok = false;
                break;
            }
        }
    }
    ::close(fd);
    return ok;
}
