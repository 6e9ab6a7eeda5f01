#include "Results.h"

#include "app/Strings.h"
#include "platform/Profile.h"
#include "platform/Text.h"

#include <QDate>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <memory>
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

// "Label value": the value after the label and one space; a value written empty may have lost
// its space to an editor.
std::optional<std::string_view> AfterPrefix(std::string_view line, std::string_view label) {
    if (line.substr(0, label.size()) != label)
        return std::nullopt;
    std::string_view rest = line.substr(label.size());
    if (rest.empty())
        return rest;
    if (rest[0] != ' ')
        return std::nullopt;
    return rest.substr(1);
}
std::optional<std::string_view> After(std::string_view line, std::string_view label) {
    return label.empty() ? std::nullopt : AfterPrefix(line, label);
}

std::optional<int> Number(std::string_view text) {
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

// The longest line kept whole: far more than any label and the longest field shown, so that a
// line cut here reads exactly as the whole line would.
constexpr std::size_t LineCap = 64 * 1024;

// Whether the bytes are blanks for Trim (<= 32), and white space for the date's pattern.
bool AllBlank(std::string_view s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) > 32)
            return false;
    return true;
}
bool AllSpace(std::string_view s) {
    return s.find_first_not_of(" \t\n\v\f\r") == std::string_view::npos;
}

// The lines of a results file, read piece by piece and split as the trainer's readers split them
// (at LF, one CR before it dropped). Only the lines from the oldest one still asked for are kept,
// each in one of a few shared chunks, so a file of many years costs the memory of one block; a line
// longer than LineCap keeps only its start, and whether the rest was blank.
class TLines {
public:
    // Bytes read into the buffer: their count, 0 at the end, negative on an error.
    using TRead = std::function<long(char*, std::size_t)>;

    explicit TLines(TRead read) : Read(std::move(read)), Buffer(64 * 1024) {}

    // Whether line `i` exists; reads on as far as it when needed. Views of lines stay valid until
    // Forget passes them.
    bool Has(std::size_t i) {
        while (Base + Window.size() <= i)
            if (!LoadLine())
                return false;
        return true;
    }
    std::string_view operator[](std::size_t i) const { return Window[i - Base].Text; }
    bool Cut(std::size_t i) const { return Window[i - Base].Cut; }
    // Of a cut line: whether what was not kept held only blanks, or only white space.
    bool TailBlank(std::size_t i) const { return Window[i - Base].TailBlank; }
    bool TailSpace(std::size_t i) const { return Window[i - Base].TailSpace; }
    bool Blank(std::size_t i) const {
        return platform::TrimView((*this)[i]).empty() && (!Cut(i) || TailBlank(i));
    }

    // Lines before `line` are not asked for again.
    void Forget(std::size_t line) {
        while (Base < line && !Window.empty()) {
            Window.pop_front();
            ++Base;
        }
        if (Chunks.empty())
            return;
        const std::uint64_t needed =
            Window.empty() ? FirstChunk + Chunks.size() - 1 : Window.front().Chunk;
        while (FirstChunk < needed) {
            // A chunk of the usual size is kept for the next lines: the memory stays the same
            // few pages however long the file.
            if (Chunks.front().Size == ChunkSize) {
                Spare = std::move(Chunks.front().Data);
            }
            Chunks.pop_front();
            ++FirstChunk;
        }
    }

    bool Failed() const { return Error; }
    bool AnyText() const { return Text; }

private:
    struct TLine {
        std::string_view Text;
        std::uint64_t Chunk;
        bool Cut, TailBlank, TailSpace;
    };
    struct TChunk {
        std::unique_ptr<char[]> Data;
        std::size_t Size = 0, Used = 0;
    };
    static constexpr std::size_t ChunkSize = 256 * 1024;

    // The line now read: its first LineCap + 1 bytes, and what the rest was.
    void Take(const char* p, std::size_t n) {
        Started = true;
        if (n == 0)
            return;
        Last = p[n - 1];
        Length += n;
        const std::size_t room = LineCap + 1 - std::min(Partial.size(), LineCap + 1);
        const std::size_t kept = std::min(n, room);
        Partial.append(p, kept);
        const std::string_view rest(p + kept, n - kept);
        RestBlank = RestBlank && AllBlank(rest);
        RestSpace = RestSpace && AllSpace(rest);
    }
    void EndLine() {
        const std::size_t length = Length - (Length > 0 && Last == '\r' ? 1 : 0);
        TLine line{{}, 0, length > LineCap, RestBlank, RestSpace};
        if (line.Cut) {
            const std::string_view extra(Partial.data() + LineCap, 1);
            line.TailBlank = line.TailBlank && AllBlank(extra);
            line.TailSpace = line.TailSpace && AllSpace(extra);
        }
        const std::size_t size = std::min(length, LineCap);
        if (Chunks.empty() || Chunks.back().Size - Chunks.back().Used < size) {
            TChunk chunk;
            chunk.Size = std::max(ChunkSize, size);
            if (chunk.Size == ChunkSize && Spare)
                chunk.Data = std::move(Spare);
            else
                chunk.Data.reset(new char[chunk.Size]);
            Chunks.push_back(std::move(chunk));
        }
        TChunk& chunk = Chunks.back();
        char* at = chunk.Data.get() + chunk.Used;
        std::copy_n(Partial.data(), size, at);
        chunk.Used += size;
        line.Text = std::string_view(at, size);
        line.Chunk = FirstChunk + Chunks.size() - 1;
        Window.push_back(line);
        Partial.clear();
        Length = 0;
        Last = 0;
        Started = false;
        RestBlank = RestSpace = true;
    }
    bool LoadLine() {
        for (;;) {
            if (At == End) {
                if (Ended)
                    return false;
                const long n = Read(Buffer.data(), Buffer.size());
                if (n <= 0) {
                    Ended = true;
                    Error = n < 0;
                    if (!Started)
                        return false;
                    EndLine();
                    return true;
                }
                At = 0;
                End = static_cast<std::size_t>(n);
                if (!Text)
                    Text = !AllIn(std::string_view(Buffer.data(), End), " \t\r\n");
            }
            const char* from = Buffer.data() + At;
            const void* lf = std::memchr(from, '\n', End - At);
            if (!lf) {
                Take(from, End - At);
                At = End;
                continue;
            }
            const std::size_t n = static_cast<std::size_t>(static_cast<const char*>(lf) - from);
            Take(from, n);
            At += n + 1;
            EndLine();
            return true;
        }
    }
    static bool AllIn(std::string_view s, const char* set) {
        return s.find_first_not_of(set) == std::string_view::npos;
    }

    TRead Read;
    std::vector<char> Buffer;
    std::size_t At = 0, End = 0;
    bool Ended = false, Error = false, Text = false;
    std::string Partial;
    std::size_t Length = 0;
    char Last = 0;
    bool Started = false, RestBlank = true, RestSpace = true;
    std::deque<TLine> Window;
    std::size_t Base = 0;
    std::deque<TChunk> Chunks;
    std::unique_ptr<char[]> Spare; // of ChunkSize bytes
    std::uint64_t FirstChunk = 0;
};

struct TBlockReader {
    TLines& Lines;
    std::size_t At; // next line to read

    bool More() { return Lines.Has(At); }

    std::optional<std::string_view> Field(const std::string& label) {
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
        const std::string_view line = Lines[At];
        if (line.size() == none.size() + 1 && line[0] == ' ' && line.substr(1) == none) {
            ++At;
            return true;
        }
        if (line.empty() || line[0] != ' ')
            return false;
        auto rest = AfterPrefix(line.substr(1), heading);
        if (!rest || rest->empty() || rest->back() != ':')
            return false;
        auto n = Number(rest->substr(0, rest->size() - 1));
        if (!n)
            return false;
        // Made room for at once, as far as a sensible list goes: the count is the file's word.
        rules.reserve(rules.size() + static_cast<std::size_t>(std::min(*n, 1024)));
        std::size_t i = At + 1;
        for (int k = 0; k < *n; ++k, ++i) {
            if (!Lines.Has(i) || Lines[i].empty() || Lines[i][0] != ' ')
                return false;
            const std::string_view id = platform::TrimView(Lines[i]);
            if (id.empty())
                return false;
            rules.emplace_back(id);
        }
        if (rules.capacity() > rules.size())
            rules.shrink_to_fit();
        At = i;
        return true;
    }
};

// A field as the report keeps it: at most MaxResultsFieldSize bytes; `cut` tells when it was
// longer.
std::string Kept(std::string_view field, bool& cut) {
    if (field.size() > MaxResultsFieldSize) {
        cut = true;
        field = field.substr(0, MaxResultsFieldSize);
    }
    return std::string(field);
}

// What makes two blocks the same: everything they say but the file and line they were read from.
bool SameBlock(const TSession& a, const TSession& b) {
    return a.DateText == b.DateText && a.Pupil == b.Pupil && a.Class == b.Class &&
           a.Theme == b.Theme && a.Variant == b.Variant && a.Questions == b.Questions &&
           a.Prompts == b.Prompts && a.Mark == b.Mark && a.Interrupted == b.Interrupted &&
           a.SpellingRules == b.SpellingRules && a.PunctuationRules == b.PunctuationRules;
}

std::size_t BlockHash(const TSession& s) {
    std::size_t h = 0;
    auto mix = [&h](std::size_t v) { h ^= v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2); };
    const std::hash<std::string_view> text;
    for (const std::string* field : {&s.DateText, &s.Pupil, &s.Class, &s.Theme, &s.Variant})
        mix(text(*field));
    mix(static_cast<std::size_t>(s.Questions));
    mix(static_cast<std::size_t>(s.Prompts));
    mix(static_cast<std::size_t>(s.Mark * 2 + (s.Interrupted ? 1 : 0)));
    for (const auto* rules : {&s.SpellingRules, &s.PunctuationRules}) {
        mix(rules->size());
        for (const std::string& rule : *rules)
            mix(text(rule));
    }
    return h;
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

// The date lines, read by hand: once per block, where a pattern matcher cost more than the rest
// of the block. ASCII digits and white space only, as in the patterns given with each.
class TDateScanner {
public:
    explicit TDateScanner(std::string_view text) : T(text) {}

    void Spaces() {
        while (Space())
            ++I;
    }
    bool Space() const {
        return I < T.size() && std::string_view(" \t\n\v\f\r").find(T[I]) != std::string_view::npos;
    }
    bool Is(char c) const { return I < T.size() && T[I] == c; }
    bool Take(char c) {
        if (!Is(c))
            return false;
        ++I;
        return true;
    }
    // A whole run of `min` to `max` digits.
    bool Digits(std::size_t min, std::size_t max, int& value, std::size_t* count = nullptr) {
        std::size_t k = I;
        value = 0;
        while (k < T.size() && T[k] >= '0' && T[k] <= '9' && k - I <= max)
            value = value * 10 + (T[k++] - '0');
        if (k - I < min || k - I > max)
            return false;
        if (count)
            *count = k - I;
        I = k;
        return true;
    }
    // (?:\s+(\d{1,2}):(\d{2})(?::(\d{2}))?)?\s*$ : the time, if any, and the end. Hours stay -1
    // without a time.
    bool TimeAndEnd(int& hours, int& minutes, int& seconds) {
        hours = -1;
        minutes = seconds = 0;
        const std::size_t start = I;
        Spaces();
        if (I > start && I < T.size()) {
            if (!Digits(1, 2, hours) || !Take(':') || !Digits(2, 2, minutes))
                return false;
            if (I + 1 < T.size() && T[I] == ':' && T[I + 1] >= '0' && T[I + 1] <= '9') {
                ++I;
                if (!Digits(2, 2, seconds))
                    return false;
            }
            Spaces();
        }
        return I == T.size();
    }
    std::string_view Letters(std::size_t n) {
        if (I + n > T.size())
            return {};
        for (std::size_t k = I; k < I + n; ++k)
            if (!((T[k] >= 'a' && T[k] <= 'z') || (T[k] >= 'A' && T[k] <= 'Z')))
                return {};
        I += n;
        return T.substr(I - n, n);
    }

private:
    std::string_view T;
    std::size_t I = 0;
};

// The date with the time, if any; nothing when either is not a real moment.
std::optional<QDateTime> Moment(int year, int month, int day, int hours, int minutes, int seconds) {
    const QDate date(year, month, day);
    if (!date.isValid())
        return std::nullopt;
    QTime time(0, 0);
    if (hours >= 0) {
        time = QTime(hours, minutes, seconds);
        if (!time.isValid())
            return std::nullopt;
    }
    return QDateTime(date, time);
}

// ^\s*(\d{1,2}) ([A-Za-z]{3}) (\d{4})(?:\s+(\d{1,2}):(\d{2})(?::(\d{2}))?)?\s*$ , as
// "8 Dec 2026 10:15:02": the short format of a system without a configured locale.
std::optional<QDateTime> ParseNamedMonthDate(std::string_view text) {
    TDateScanner s(text);
    int day = 0, year = 0, hours = 0, minutes = 0, seconds = 0;
    s.Spaces();
    if (!s.Digits(1, 2, day) || !s.Take(' '))
        return std::nullopt;
    const std::string_view name = s.Letters(3);
    if (name.empty() || !s.Take(' ') || !s.Digits(4, 4, year) ||
        !s.TimeAndEnd(hours, minutes, seconds))
        return std::nullopt;
    static const char* const months[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                         "jul", "aug", "sep", "oct", "nov", "dec"};
    for (int m = 0; m < 12; ++m) {
        bool same = true;
        for (std::size_t k = 0; k < 3; ++k)
            same = same && (name[k] | 0x20) == months[m][k];
        if (same)
            return Moment(year, m + 1, day, hours, minutes, seconds);
    }
    return std::nullopt;
}

// The date line read in place.
std::optional<QDateTime> ParseDate(std::string_view text);

} // namespace

std::optional<QDateTime> ParseResultsDate(const std::string& text) {
    return ParseDate(text);
}

namespace {

std::optional<QDateTime> ParseDate(std::string_view text) {
    // ^\s*(\d{1,4})([./-])(\d{1,2})\2(\d{1,4})(?:\s+(\d{1,2}):(\d{2})(?::(\d{2}))?)?\s*$ , read
    // as far as a NUL byte, as a C string.
    const std::string_view line = text.substr(0, text.find('\0'));
    TDateScanner s(line);
    int a = 0, b = 0, c = 0, hours = 0, minutes = 0, seconds = 0;
    std::size_t aDigits = 0, cDigits = 0;
    s.Spaces();
    const bool numeric = s.Digits(1, 4, a, &aDigits);
    char separator = 0;
    for (char candidate : {'.', '/', '-'})
        if (numeric && !separator && s.Take(candidate))
            separator = candidate;
    if (!separator || !s.Digits(1, 2, b) || !s.Take(separator) || !s.Digits(1, 4, c, &cDigits) ||
        !s.TimeAndEnd(hours, minutes, seconds))
        return ParseNamedMonthDate(line);
    int day = 0, month = 0, year = 0;
    if (aDigits == 4) { // year-month-day, whatever the separator
        year = a;
        month = b;
        day = c;
    } else if (separator == '/') {
        month = a;
        day = b;
        year = c;
    } else {
        day = a;
        month = b;
        year = c;
    }
    if (cDigits == 2 && aDigits != 4)
        year += 2000;
    else if (cDigits != 4 && aDigits != 4)
        return std::nullopt;
    return Moment(year, month, day, hours, minutes, seconds);
}

// Whether `s` repeats a session of `out` already entered; when it does not, it is entered as
// session `index` (from 0).
bool Repeats(TReadResult& out, const TSession& s, std::size_t hash, std::size_t index) {
    auto& table = out.Seen;
    if ((out.SeenCount + 1) * 2 > table.size()) {
        std::vector<std::pair<std::size_t, std::size_t>> old(
            std::max<std::size_t>(64, table.size() * 2));
        old.swap(table);
        for (const auto& slot : old)
            if (slot.second != 0)
                for (std::size_t i = slot.first & (table.size() - 1);;
                     i = (i + 1) & (table.size() - 1))
                    if (table[i].second == 0) {
                        table[i] = slot;
                        break;
                    }
    }
    std::size_t i = hash & (table.size() - 1);
    for (; table[i].second != 0; i = (i + 1) & (table.size() - 1))
        if (table[i].first == hash && SameBlock(out.Sessions[table[i].second - 1], s))
            return true;
    table[i] = {hash, index + 1};
    return false;
}

// The copy of a language's name in `out` that sessions point at.
std::string_view Language(TReadResult& out, const std::string& name) {
    for (const std::string& known : out.Names)
        if (known == name)
            return known;
    return out.Names.emplace_back(name);
}

// Reads the blocks of one file's lines into `out`.
void ParseLines(TLines& lines, const std::string& fileName,
                const std::vector<TResultLabels>& labels, TReadResult& out) {
    auto warn = [&](std::size_t index, const std::string& what) {
        out.Warnings.push_back(fileName + ":" + std::to_string(index + 1) + ": " + what);
    };
    // The languages first, so that the few names are found among the first.
    std::vector<std::string_view> languages;
    for (const TResultLabels& l : labels)
        languages.push_back(Language(out, l.Language));
    const std::string_view file = out.Names.emplace_back(fileName);
    // Sessions added by other means are entered first.
    if (out.SeenCount > out.Sessions.size()) {
        out.Seen.clear();
        out.SeenCount = 0;
    }
    for (; out.SeenCount < out.Sessions.size(); ++out.SeenCount) {
        const TSession& s = out.Sessions[out.SeenCount];
        Repeats(out, s, BlockHash(s), out.SeenCount);
    }

    // The labels whose pupil line this is, if any.
    auto pupilLabels = [&](std::size_t i) -> const TResultLabels* {
        if (!lines.Has(i))
            return nullptr;
        for (const auto& l : labels)
            if (After(lines[i], l.Pupil))
                return &l;
        return nullptr;
    };
    auto isCaption = [&](std::size_t i) {
        for (const auto& l : labels)
            if (!l.Caption.empty() && lines[i] == l.Caption && !lines.Cut(i))
                return true;
        return false;
    };

    bool captionSeen = false;
    std::size_t i = 0;
    while (lines.Has(i)) {
        // Nothing before the line at hand is looked at again.
        lines.Forget(i);
        if (lines.Blank(i)) {
            ++i;
            continue;
        }
        if (isCaption(i)) {
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
            while (lines.Has(end) && !lines.Blank(end) && !pupilLabels(end + 1) && !isCaption(end))
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
        s.File = file;
        s.Line = static_cast<int>(i + 1);
        s.Language = languages[static_cast<std::size_t>(l - labels.data())];
        // The trainer never writes a field longer than its edit boxes and lists take; a longer
        // one is no pupil's input, and kept whole it would be repeated in every table of the
        // report (a name of many megabytes made a page of nearly a gigabyte).
        bool cut = false;
        s.DateText = Kept(lines[i], cut);
        if (!lines.Cut(i) || lines.TailSpace(i))
            s.Date = ParseDate(lines[i]);
        TBlockReader r{lines, i + 1};
        bool ok = false;
        // A text field under its label, kept as far as it can be shown; false when it is missing.
        const auto take = [&r, &cut](const std::string& label, std::string& field) {
            const std::optional<std::string_view> value = r.Field(label);
            if (value)
                field = Kept(*value, cut);
            return value.has_value();
        };
        do {
            if (!take(l->Pupil, s.Pupil) || !take(l->Class, s.Class) || !take(l->Theme, s.Theme) ||
                !take(l->Variant, s.Variant))
                break;
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
            const std::string_view last = lines[r.At];
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
            if (!lines.Has(r.At))
                warn(i, "a block cut short at the end of the file, skipped");
            else
                warn(r.At, "a block cut short or damaged (it starts at line " +
                               std::to_string(i + 1) + "), skipped");
            // The rest of the damaged block is not worth a warning of its own.
            i = std::max(r.At, i + 2);
            while (lines.Has(i) && !lines.Blank(i) && !pupilLabels(i + 1) && !isCaption(i))
                ++i;
            continue;
        }
        for (auto* rules : {&s.SpellingRules, &s.PunctuationRules})
            for (std::string& rule : *rules)
                if (rule.size() > MaxResultsFieldSize) {
                    rule.resize(MaxResultsFieldSize);
                    cut = true;
                }
        if (cut)
            warn(i, "a field longer than " + std::to_string(MaxResultsFieldSize) +
                        " bytes was cut to that length");
        const int listed = static_cast<int>(s.SpellingRules.size() + s.PunctuationRules.size());
        if (listed != s.Mistakes)
            warn(i, "the block counts " + std::to_string(s.Mistakes) + " mistakes but lists " +
                        std::to_string(listed) + "; the listed ones are used");
        s.Mistakes = listed;
        if (Repeats(out, s, BlockHash(s), out.Sessions.size())) {
            warn(i, "the same block was read before (a copied file?), counted once");
        } else {
            out.Sessions.push_back(std::move(s));
            out.SeenCount = out.Sessions.size();
        }
        i = r.At;
    }
}

// A results file opened for reading: only a regular file of a sensible size; no blocking on a
// FIFO, no reading of devices. -1 with the reason in `error`.
int OpenResultsFile(const std::string& path, std::string& error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = std::strerror(errno);
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        error = std::strerror(errno);
    else if (!S_ISREG(st.st_mode))
        error = "not a regular file";
    else if (st.st_size > MaxResultsFileSize)
        error = "larger than a results file can be (64 MB)";
    else
        return fd;
    ::close(fd);
    return -1;
}

// Reads from `fd` with the file's limit: more than MaxResultsFileSize bytes is an error.
long ReadLimited(int fd, char* buffer, std::size_t size, std::int64_t& total, std::string& error) {
    for (;;) {
        const ssize_t n = ::read(fd, buffer, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            error = std::strerror(errno);
            return -1;
        }
        total += n;
        if (total > MaxResultsFileSize) {
            error = "larger than a results file can be (64 MB)";
            return -1;
        }
        return static_cast<long>(n);
    }
}

} // namespace

void ParseResults(std::string_view text, const std::string& fileName,
                  const std::vector<TResultLabels>& labels, TReadResult& out) {
    TLines lines([&text](char* buffer, std::size_t size) {
        const std::size_t n = std::min(size, text.size());
        std::copy_n(text.data(), n, buffer);
        text.remove_prefix(n);
        return static_cast<long>(n);
    });
    ParseLines(lines, fileName, labels, out);
}

bool ReadResults(const std::string& path, const std::vector<TResultLabels>& labels,
                 TReadResult& out, std::string& error, bool& anyText) {
    anyText = false;
    const int fd = OpenResultsFile(path, error);
    if (fd < 0)
        return false;
    std::int64_t total = 0;
    TLines lines([&](char* buffer, std::size_t size) {
        return ReadLimited(fd, buffer, size, total, error);
    });
    const std::size_t sessions = out.Sessions.size(), warnings = out.Warnings.size();
    ParseLines(lines, path, labels, out);
    ::close(fd);
    anyText = lines.AnyText();
    if (!lines.Failed())
        return true;
    // A file that could not be read to its end is not taken in part.
    out.Sessions.resize(sessions);
    out.Warnings.resize(warnings);
    out.Seen.clear();
    out.SeenCount = 0;
    return false;
}

bool ReadResultsFile(const std::string& path, std::string& contents, std::string& error) {
    const int fd = OpenResultsFile(path, error);
    if (fd < 0)
        return false;
    contents.clear();
    std::int64_t total = 0;
    char buffer[65536];
    long n = 0;
    while ((n = ReadLimited(fd, buffer, sizeof buffer, total, error)) > 0)
        contents.append(buffer, static_cast<std::size_t>(n));
    ::close(fd);
    return n == 0;
}
