#include "Summary.h"

#include "platform/Text.h"

#include <algorithm>
#include <set>

namespace {

std::string Identity(const std::string& text) {
    return platform::AnsiLowerCase(platform::Trim(text));
}

// Sessions in time order. A date that does not parse keeps the place it had in the files: it
// sorts with the session read just before it.
std::vector<const TSession*> InTimeOrder(const std::vector<TSession>& sessions) {
    struct TKey {
        QDateTime When;
        std::size_t Order;
        const TSession* Session;
    };
    std::vector<TKey> keys;
    QDateTime last;
    for (std::size_t i = 0; i < sessions.size(); ++i) {
        if (sessions[i].Date)
            last = *sessions[i].Date;
        keys.push_back({sessions[i].Date ? *sessions[i].Date : last, i, &sessions[i]});
    }
    std::stable_sort(keys.begin(), keys.end(), [](const TKey& a, const TKey& b) {
        if (a.When != b.When)
            return a.When < b.When;
        return a.Order < b.Order;
    });
    std::vector<const TSession*> out;
    for (const auto& k : keys)
        out.push_back(k.Session);
    return out;
}

std::vector<TWeakSpot> WeakSpots(const std::vector<const TSession*>& sessions,
                                 const std::map<std::string, std::string>& titles) {
    struct TCount {
        int Mistakes = 0;
        std::set<std::string> Pupils;
        int Sessions = 0;
    };
    std::map<std::string, TCount> counts;
    for (const TSession* s : sessions) {
        std::set<std::string> inSession;
        for (const auto* list : {&s->SpellingRules, &s->PunctuationRules})
            for (const auto& rule : *list) {
                auto& c = counts[rule];
                ++c.Mistakes;
                c.Pupils.insert(Identity(s->Class) + '\n' + Identity(s->Pupil));
                inSession.insert(rule);
            }
        for (const auto& rule : inSession)
            ++counts[rule].Sessions;
    }
    std::vector<TWeakSpot> spots;
    for (const auto& [rule, c] : counts) {
        TWeakSpot w;
        w.Rule = rule;
        if (auto t = titles.find(rule); t != titles.end())
            w.Title = t->second;
        w.Mistakes = c.Mistakes;
        w.Pupils = static_cast<int>(c.Pupils.size());
        w.Sessions = c.Sessions;
        w.Share = sessions.empty() ? 0 : double(c.Sessions) / double(sessions.size());
        spots.push_back(w);
    }
    std::stable_sort(spots.begin(), spots.end(), [](const TWeakSpot& a, const TWeakSpot& b) {
        if (a.Mistakes != b.Mistakes)
            return a.Mistakes > b.Mistakes;
        if (a.Pupils != b.Pupils)
            return a.Pupils > b.Pupils;
        return NaturalLess(a.Rule, b.Rule);
    });
    return spots;
}

std::vector<TPupilSessions> GroupByPupil(const std::vector<const TSession*>& sessions) {
    std::map<std::string, std::size_t> index;
    std::vector<TPupilSessions> pupils;
    for (const TSession* s : sessions) {
        auto [it, added] = index.emplace(Identity(s->Pupil), pupils.size());
        if (added)
            pupils.push_back({platform::Trim(s->Pupil), {}});
        pupils[it->second].Sessions.push_back(s);
    }
    std::stable_sort(pupils.begin(), pupils.end(),
                     [](const TPupilSessions& a, const TPupilSessions& b) {
                         return NaturalLess(a.Name, b.Name);
                     });
    return pupils;
}

std::vector<TPupilRounds> RoundsByPupil(const std::vector<const TSession*>& rounds) {
    std::vector<TPupilRounds> out;
    for (const TPupilSessions& p : GroupByPupil(rounds)) {
        const TSession& last = *p.Sessions.back();
        out.push_back(
            {p.Name, static_cast<int>(p.Sessions.size()), !last.Interrupted && last.Mistakes == 0});
    }
    return out;
}

} // namespace

std::vector<TWeakSpot> TopRules(const std::vector<const TSession*>& sessions,
                                const std::map<std::string, std::string>& ruleTitles,
                                std::size_t count) {
    std::vector<TWeakSpot> spots = WeakSpots(sessions, ruleTitles);
    std::stable_sort(spots.begin(), spots.end(),
                     [](const TWeakSpot& a, const TWeakSpot& b) { return a.Pupils > b.Pupils; });
    if (spots.size() > count)
        spots.resize(count);
    return spots;
}

bool IsWorkOnMistakes(const TSession& session) {
    static const std::string labels[] = {"Work on mistakes: ",
                                         platform::Utf8ToAnsi("Работа над ошибками: ")};
    for (const std::string& label : labels)
        if (session.Variant.compare(0, label.size(), label) == 0)
            return true;
    return false;
}

bool NaturalLess(const std::string& a, const std::string& b) {
    std::size_t i = 0, j = 0;
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    while (i < a.size() && j < b.size()) {
        if (digit(a[i]) && digit(b[j])) {
            std::size_t i2 = i, j2 = j;
            while (i2 < a.size() && a[i2] == '0')
                ++i2;
            while (j2 < b.size() && b[j2] == '0')
                ++j2;
            std::size_t ie = i2, je = j2;
            while (ie < a.size() && digit(a[ie]))
                ++ie;
            while (je < b.size() && digit(b[je]))
                ++je;
            if (ie - i2 != je - j2)
                return ie - i2 < je - j2;
            if (int c = a.compare(i2, ie - i2, b, j2, je - j2); c != 0)
                return c < 0;
            i = ie;
            j = je;
            continue;
        }
        const auto ca = static_cast<unsigned char>(platform::AnsiLowerChar(a[i]));
        const auto cb = static_cast<unsigned char>(platform::AnsiLowerChar(b[j]));
        if (ca != cb)
            return ca < cb;
        ++i;
        ++j;
    }
    if ((a.size() - i) != (b.size() - j))
        return a.size() - i < b.size() - j;
    return a < b;
}

std::string RuleTitle(const std::vector<std::string>& lines) {
    if (lines.empty())
        return {};
    std::string title;
    for (char c : lines.front())
        if (std::string_view("&#1697845+0").find(c) == std::string_view::npos)
            title += c;
    return platform::Trim(title);
}

TSummary Summarise(const std::vector<TSession>& sessions,
                   const std::map<std::string, std::string>& ruleTitles) {
    TSummary out;
    std::vector<const TSession*> ordered, rounds;
    for (const TSession* s : InTimeOrder(sessions))
        (IsWorkOnMistakes(*s) ? rounds : ordered).push_back(s);
    out.SessionCount = static_cast<int>(ordered.size());
    out.RoundCount = static_cast<int>(rounds.size());
    std::map<std::string, std::vector<const TSession*>> roundsByClass;
    for (const TSession* s : rounds)
        roundsByClass[Identity(s->Class)].push_back(s);

    int russian = 0;
    std::set<std::string> pupils;
    std::map<std::string, std::vector<const TSession*>> byClass;
    std::map<std::string, std::string> className;
    for (const TSession* s : ordered) {
        if (s->Language == "Russian")
            ++russian;
        pupils.insert(Identity(s->Class) + '\n' + Identity(s->Pupil));
        const std::string key = Identity(s->Class);
        byClass[key].push_back(s);
        className.emplace(key, platform::Trim(s->Class));
    }
    out.PupilCount = static_cast<int>(pupils.size());
    out.Russian = russian * 2 > out.SessionCount;

    for (const auto& [key, list] : byClass) {
        TClassSummary c;
        c.Name = className[key];
        c.SessionCount = static_cast<int>(list.size());
        c.Pupils = GroupByPupil(list);
        c.WeakSpots = WeakSpots(list, ruleTitles);
        if (auto r = roundsByClass.find(key); r != roundsByClass.end())
            c.Rounds = RoundsByPupil(r->second);
        std::map<std::string, std::vector<const TSession*>> byTheme;
        std::map<std::string, std::string> themeName;
        for (const TSession* s : list) {
            byTheme[Identity(s->Theme)].push_back(s);
            themeName.emplace(Identity(s->Theme), platform::Trim(s->Theme));
        }
        for (const auto& [tkey, tlist] : byTheme) {
            TThemeSummary t;
            t.Name = themeName[tkey];
            t.Pupils = GroupByPupil(tlist);
            std::map<std::string, TVariantAverage> variants;
            for (const TSession* s : tlist) {
                auto& v = variants[platform::Trim(s->Variant)];
                v.Variant = platform::Trim(s->Variant);
                ++v.Sessions;
                if (!s->Interrupted && s->Mark > 0) {
                    v.Average += s->Mark;
                    ++v.Marked;
                }
            }
            for (auto& [name, v] : variants) {
                if (v.Marked)
                    v.Average /= v.Marked;
                t.Variants.push_back(v);
            }
            std::stable_sort(t.Variants.begin(), t.Variants.end(),
                             [](const TVariantAverage& a, const TVariantAverage& b) {
                                 return NaturalLess(a.Variant, b.Variant);
                             });
            c.Themes.push_back(std::move(t));
        }
        std::stable_sort(c.Themes.begin(), c.Themes.end(),
                         [](const TThemeSummary& a, const TThemeSummary& b) {
                             return NaturalLess(a.Name, b.Name);
                         });
        out.Classes.push_back(std::move(c));
    }
    std::stable_sort(
        out.Classes.begin(), out.Classes.end(),
        [](const TClassSummary& a, const TClassSummary& b) { return NaturalLess(a.Name, b.Name); });
    out.WeakSpots = WeakSpots(ordered, ruleTitles);
    return out;
}
