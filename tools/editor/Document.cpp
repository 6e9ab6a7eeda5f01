#include "Document.h"

#include "Check.h"
#include "Pack.h"
#include "Stats.h"
#include "Tool.h"
#include "platform/Files.h"
#include "platform/Text.h"

#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <stdexcept>

namespace {

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

std::string ReadText(const std::string& path) {
    try {
        return platform::ReadFileBytes(platform::FromNativePath(path),
                                       platform::MaxLibraryFileSize);
    } catch (const std::exception& e) {
        throw std::runtime_error("Cannot read " + path + ": " + platform::AnsiToUtf8(e.what()));
    }
}

// A packed library turned back into its source by the content tool's own unpack, which refuses
// what a source cannot say exactly.
std::string Unpacked(const std::string& library) {
    QTemporaryDir dir;
    if (!dir.isValid())
        throw std::runtime_error("Cannot make a temporary folder to unpack " + library);
    const std::string source = dir.path().toStdString() + "/source.txt";
    std::ostringstream out, err;
    if (RunContentTool({"unpack", library, source}, out, err) != 0)
        throw std::runtime_error("Cannot unpack " + library + ":\n" + err.str());
    return ReadText(source);
}

// Lines of a text, without their line ends (LF or CR LF).
std::vector<std::string_view> Lines(const std::string& text) {
    std::vector<std::string_view> lines;
    std::size_t from = 0;
    while (from < text.size()) {
        std::size_t end = text.find('\n', from);
        if (end == std::string::npos)
            end = text.size();
        std::size_t stop = end;
        if (stop > from && text[stop - 1] == '\r')
            --stop;
        lines.emplace_back(text.data() + from, stop - from);
        from = end + 1;
    }
    return lines;
}

const char* const TemplateVariants =
    "// Упражнения. Формат описан в docs/content.md.\n"
    "// [правильный|неверный ПРАВИЛО] - знак препинания, {правильный|неверный ПРАВИЛО} - "
    "орфограмма;\n"
    "// _ - раздельно, @ - слитно или без знака.\n"
    "\n"
    "Класс: 5 класс\n"
    "\n"
    "Тема: Новая тема\n"
    "\n"
    "Вариант 1: Первый вариант\n"
    "В саду росли яблони[,|@ ОЧ] груши и сливы.\n";

const char* const TemplateRules = "// Правила к упражнениям рядом.\n"
                                  "\n"
                                  "Правило: ОЧ\n"
                                  "0Однородные члены0\n"
                                  "Между однородными членами без\n"
                                  "союза ставится запятая.\n";

} // namespace

std::string PairedFile(const std::string& path) {
    if (EndsWith(path, ".frf.txt"))
        return path.substr(0, path.size() - 8) + ".ff.txt";
    if (EndsWith(path, ".ff.txt"))
        return path.substr(0, path.size() - 7) + ".frf.txt";
    if (EndsWith(path, ".frf"))
        return path.substr(0, path.size() - 4) + ".ff";
    if (EndsWith(path, ".ff"))
        return path.substr(0, path.size() - 3) + ".frf";
    return {};
}

TEditorDocument OpenDocument(const std::string& path) {
    const std::string other = PairedFile(path);
    if (other.empty())
        throw std::runtime_error(path + " is neither an exercise source (.ff.txt), a rule source "
                                        "(.frf.txt) nor a library (.ff, .frf)");
    const bool rulesGiven = EndsWith(path, ".frf.txt") || EndsWith(path, ".frf");
    const std::string variants = rulesGiven ? other : path;
    const std::string rules = rulesGiven ? path : other;
    TEditorDocument doc;
    if (EndsWith(path, ".txt")) {
        doc.VariantPath = variants;
        doc.RulesPath = rules;
        doc.VariantText = ReadText(variants);
        // A pair may start without rules; saving writes the rule source.
        if (std::filesystem::exists(rules))
            doc.RulesText = ReadText(rules);
        doc.SavedVariantText = doc.VariantText;
        doc.SavedRulesText = doc.RulesText;
        return doc;
    }
    doc.VariantPath = variants + ".txt";
    doc.RulesPath = rules + ".txt";
    doc.VariantText = Unpacked(variants);
    if (std::filesystem::exists(rules))
        doc.RulesText = Unpacked(rules);
    doc.SavedVariantText = doc.VariantText;
    doc.SavedRulesText = doc.RulesText;
    doc.FromPacked = true;
    return doc;
}

TEditorDocument NewDocument(const std::string& variantPath) {
    TEditorDocument doc;
    doc.VariantPath = variantPath;
    doc.RulesPath = PairedFile(variantPath);
    if (doc.RulesPath.empty() || !EndsWith(variantPath, ".ff.txt"))
        throw std::runtime_error("An exercise source is named NAME.ff.txt (its rules then go to "
                                 "NAME.frf.txt); " +
                                 variantPath + " is not");
    doc.VariantText = TemplateVariants;
    doc.RulesText = TemplateRules;
    // Nothing is on disk yet: the pair counts as modified until saved.
    doc.SavedVariantText.clear();
    doc.SavedRulesText.clear();
    return doc;
}

void SaveDocument(TEditorDocument& doc) {
    for (auto [path, text] : {std::pair{&doc.VariantPath, &doc.VariantText},
                              std::pair{&doc.RulesPath, &doc.RulesText}}) {
        try {
            platform::WriteFileAtomically(platform::FromNativePath(*path), *text);
        } catch (const std::exception& e) {
            throw std::runtime_error("Cannot save " + *path + ": " +
                                     platform::AnsiToUtf8(e.what()));
        }
    }
    doc.SavedVariantText = doc.VariantText;
    doc.SavedRulesText = doc.RulesText;
    doc.FromPacked = false;
}

std::vector<TOutlineItem> Outline(const std::string& variantText) {
    const TVariantSource src = ParseVariantSource(variantText);
    std::vector<TOutlineItem> items;
    for (const TClass& c : src.Classes) {
        items.push_back({TOutlineItem::Class, platform::AnsiToUtf8(std::string(c.Name)), c.Line});
        for (const TTheme& t : c.Themes) {
            items.push_back(
                {TOutlineItem::Theme,
                 std::to_string(t.Number) + ". " + platform::AnsiToUtf8(std::string(t.Name)),
                 t.Line});
            for (const TVariant& v : t.Variants)
                items.push_back(
                    {TOutlineItem::Variant,
                     std::to_string(v.Number) + ". " + platform::AnsiToUtf8(std::string(v.Name)),
                     v.Line});
        }
    }
    return items;
}

std::vector<TFinding> Findings(const std::string& variantText, const std::string& rulesText) {
    TVariantSource variants = ParseVariantSource(variantText);
    TRulesSource rules = ParseRulesSource(rulesText);
    std::vector<TMessage> v = variants.Errors;
    PackVariants(variants.Classes, v);
    std::vector<TMessage> r = rules.Errors;
    PackRules(rules.Rules, r);
    CheckRules(rules.Rules, r);
    const std::vector<TRuleRecord> records = RuleRecordsOf(rules.Rules);
    CheckVariants(variants.Classes, &records, v);
    CheckAuthoring(variants.Classes, v);
    CheckRulesUsed(variants.Classes, rules.Rules, r);

    std::vector<TFinding> all;
    for (const TMessage& m : v)
        all.push_back({TSourceKind::Variants, m.Line, m.Text, m.Warning});
    for (const TMessage& m : r)
        all.push_back({TSourceKind::Rules, m.Line, m.Text, m.Warning});
    std::stable_sort(all.begin(), all.end(), [](const TFinding& a, const TFinding& b) {
        if (a.Warning != b.Warning)
            return !a.Warning;
        if (a.Source != b.Source)
            return a.Source == TSourceKind::Variants;
        return a.Line < b.Line;
    });
    return all;
}

bool HasErrors(const std::vector<TFinding>& findings) {
    return std::any_of(findings.begin(), findings.end(),
                       [](const TFinding& f) { return !f.Warning; });
}

std::optional<TPointAtCursor> PointAt(const std::string& variantText, int line, int column) {
    const std::vector<std::string_view> lines = Lines(variantText);
    if (line < 1 || static_cast<std::size_t>(line) > lines.size())
        return std::nullopt;
    const std::string_view text = lines[static_cast<std::size_t>(line - 1)];
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos || text.substr(first, 2) == "//")
        return std::nullopt;
    // Each check point is a bracket pair; the cursor picks the pair it stands in.
    struct TSpan {
        std::size_t Open, Close;
    };
    std::vector<TSpan> spans;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '[' && text[i] != '{')
            continue;
        const char close = text[i] == '[' ? ']' : '}';
        const std::size_t end = text.find(close, i + 1);
        if (end == std::string_view::npos)
            break;
        spans.push_back({i, end});
        i = end;
    }
    if (spans.empty())
        return std::nullopt;
    std::size_t index = 0;
    for (std::size_t k = 0; k < spans.size(); ++k)
        if (static_cast<std::size_t>(std::max(column, 0)) >= spans[k].Open &&
            static_cast<std::size_t>(column) <= spans[k].Close)
            index = k;
    const std::string_view inside =
        text.substr(spans[index].Open + 1, spans[index].Close - spans[index].Open - 1);
    std::string rule;
    if (const std::size_t blank = inside.rfind(' '); blank != std::string_view::npos)
        rule = std::string(inside.substr(blank + 1));
    return TPointAtCursor{line, index, rule};
}

std::optional<TVariantFigures> FiguresAt(const std::string& variantText, int line) {
    TVariantSource src = ParseVariantSource(variantText);
    const TClass* inClass = nullptr;
    const TTheme* inTheme = nullptr;
    const TVariant* found = nullptr;
    for (const TClass& c : src.Classes)
        for (const TTheme& t : c.Themes)
            for (const TVariant& v : t.Variants)
                if (v.Line <= line && (!found || v.Line > found->Line)) {
                    inClass = &c;
                    inTheme = &t;
                    found = &v;
                }
    if (!found)
        return std::nullopt;
    // The figures of one variant: the stats of a tree that holds only it.
    TClass one = *inClass;
    TTheme theme = *inTheme;
    theme.Variants = {*found};
    one.Themes = {theme};
    const std::vector<TStatsRow> rows = LibraryStats({one});
    const auto row = std::find_if(rows.begin(), rows.end(),
                                  [](const TStatsRow& r) { return r.Level == TStatsRow::Variant; });
    if (row == rows.end())
        return std::nullopt;
    TVariantFigures f;
    f.Line = found->Line;
    f.Name = platform::AnsiToUtf8(std::string(found->Name));
    f.Sentences = row->Sentences;
    f.Punctuation = row->Punctuation;
    f.Spelling = row->Spelling;
    f.NothingRight = row->NothingRight;
    f.Minutes = row->Seconds() / 60.0;
    return f;
}

std::string FiguresText(const TVariantFigures& f) {
    char minutes[32];
    std::snprintf(minutes, sizeof minutes, "%.0f", f.Minutes);
    std::string share = "-";
    if (f.Punctuation > 0)
        share = std::to_string((f.NothingRight * 100 + f.Punctuation / 2) / f.Punctuation) + " %";
    return std::to_string(f.Sentences) + " sentences, " + std::to_string(f.Punctuation) +
           " punctuation and " + std::to_string(f.Spelling) + " spelling points, \"@\" " + share +
           ", about " + minutes + " minutes";
}
