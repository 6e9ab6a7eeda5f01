#include "Summary.h"

#include "platform/Text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <unordered_map>

namespace {

// A pupil, class or theme told apart regardless of case and surrounding blanks; written into
// `out`, which is reused so that the many sessions of a school cost no allocation each.
const std::string& IdentityInto(std::string& out, const std::string& text) {
    static const std::array<char, 256> lower = [] {
        std::array<char, 256> t{};
        for (int c = 0; c < 256; ++c)
            t[static_cast<std::size_t>(c)] = platform::AnsiLowerChar(static_cast<char>(c));
        return t;
    }();
    const std::string_view trimmed = platform::TrimView(text);
    out.resize(trimmed.size());
    for (std::size_t i = 0; i < trimmed.size(); ++i)
        out[i] = lower[static_cast<unsigned char>(trimmed[i])];
    return out;
}

// The entry of `key`, made on first use; looking up costs no copy of the key.
template <class TMap> typename TMap::mapped_type& Slot(TMap& map, const std::string& key) {
    auto it = map.find(key);
    if (it == map.end())
        it = map.emplace(key, typename TMap::mapped_type{}).first;
    return it->second;
}

// A moment as a number that orders as the dates and times do; a session without a date before
// every dated one, as an invalid date-time compares.
std::int64_t TimeKey(const std::optional<QDateTime>& date) {
    if (!date || !date->isValid())
        return std::numeric_limits<std::int64_t>::min();
    return date->date().toJulianDay() * 86400000 + date->time().msecsSinceStartOfDay();
}

// Sessions in time order. A date that does not parse keeps the place it had in the files: it
// sorts with the session read just before it.
template <class TContainer> std::vector<const TSession*> InTimeOrder(const TContainer& sessions) {
    struct TKey {
        std::int64_t When;
        const TSession* Session;
    };
    std::vector<TKey> keys;
    keys.reserve(sessions.size());
    std::int64_t last = TimeKey(std::nullopt);
    for (const TSession& s : sessions) {
        if (s.Date)
            last = TimeKey(s.Date);
        keys.push_back({last, &s});
    }
    // A results file grows by sessions as they end, so it is mostly in time order already.
    const auto earlier = [](const TKey& a, const TKey& b) { return a.When < b.When; };
    if (!std::is_sorted(keys.begin(), keys.end(), earlier))
        std::stable_sort(keys.begin(), keys.end(), earlier);
    std::vector<const TSession*> out;
    out.reserve(keys.size());
    for (const auto& k : keys)
        out.push_back(k.Session);
    return out;
}

// A session with the ids of its class, its pupil (within the class) and its theme, each told
// apart as IdentityInto does: worked out once, as the sessions are grouped many times over.
struct TEntry {
    const TSession* Session;
    int Class, Pupil, Theme;
};

// Numbers for the identities met, in the order they are met.
class TIds {
public:
    int operator()(const std::string& key) {
        auto it = Ids.find(key);
        if (it == Ids.end())
            it = Ids.emplace(key, static_cast<int>(Ids.size())).first;
        return it->second;
    }
    std::size_t Size() const { return Ids.size(); }

private:
    std::unordered_map<std::string, int> Ids;
};

class TEntries {
public:
    TEntry operator()(const TSession* s) {
        const int cls = Classes(IdentityInto(Key, s->Class));
        Key += '\n';
        Key += IdentityInto(Part, s->Pupil);
        const int pupil = Pupils(Key);
        return {s, cls, pupil, Themes(IdentityInto(Key, s->Theme))};
    }
    std::vector<TEntry> operator()(const std::vector<const TSession*>& sessions) {
        std::vector<TEntry> out;
        out.reserve(sessions.size());
        for (const TSession* s : sessions)
            out.push_back((*this)(s));
        return out;
    }
    std::size_t ClassCount() const { return Classes.Size(); }
    std::size_t PupilCount() const { return Pupils.Size(); }
    std::size_t ThemeCount() const { return Themes.Size(); }

private:
    TIds Classes, Pupils, Themes;
    std::string Key, Part;
};

// Titles and shares put in, most frequent first.
void Finish(std::vector<TWeakSpot>& spots, std::size_t sessions,
            const std::map<std::string, std::string>& titles) {
    for (TWeakSpot& w : spots) {
        if (auto t = titles.find(w.Rule); t != titles.end())
            w.Title = t->second;
        w.Share = sessions == 0 ? 0 : double(w.Sessions) / double(sessions);
    }
    // Every rule differs from every other by this order, so the order they were met in is lost.
    std::sort(spots.begin(), spots.end(), [](const TWeakSpot& a, const TWeakSpot& b) {
        if (a.Mistakes != b.Mistakes)
            return a.Mistakes > b.Mistakes;
        if (a.Pupils != b.Pupils)
            return a.Pupils > b.Pupils;
        return NaturalLess(a.Rule, b.Rule);
    });
}

std::vector<TWeakSpot> WeakSpots(const std::vector<TEntry>& sessions,
                                 const std::map<std::string, std::string>& titles) {
    struct TCount {
        std::string_view Rule;
        int Mistakes = 0;
        std::vector<int> Pupils; // one entry a mistake; told apart at the end
        int Sessions = 0;
        std::size_t LastSession = std::numeric_limits<std::size_t>::max();
    };
    std::unordered_map<std::string_view, std::size_t> index;
    std::vector<TCount> counts;
    for (std::size_t n = 0; n < sessions.size(); ++n) {
        const TSession* s = sessions[n].Session;
        for (const auto* list : {&s->SpellingRules, &s->PunctuationRules})
            for (const auto& rule : *list) {
                auto [at, added] = index.emplace(rule, counts.size());
                if (added) {
                    counts.emplace_back();
                    counts.back().Rule = rule;
                }
                TCount& c = counts[at->second];
                ++c.Mistakes;
                c.Pupils.push_back(sessions[n].Pupil);
                if (c.LastSession != n) {
                    c.LastSession = n;
                    ++c.Sessions;
                }
            }
    }
    std::vector<TWeakSpot> spots;
    spots.reserve(counts.size());
    for (TCount& c : counts) {
        TWeakSpot w;
        w.Rule = std::string(c.Rule);
        w.Mistakes = c.Mistakes;
        std::sort(c.Pupils.begin(), c.Pupils.end());
        w.Pupils =
            static_cast<int>(std::unique(c.Pupils.begin(), c.Pupils.end()) - c.Pupils.begin());
        w.Sessions = c.Sessions;
        spots.push_back(std::move(w));
    }
    Finish(spots, sessions.size(), titles);
    return spots;
}

// The weak spots of all classes from those of each: a pupil belongs to one class, so the counts
// add up, and no session is looked at again.
std::vector<TWeakSpot> MergedWeakSpots(const std::vector<TClassSummary>& classes,
                                       std::size_t sessions,
                                       const std::map<std::string, std::string>& titles) {
    std::unordered_map<std::string_view, std::size_t> index;
    std::vector<TWeakSpot> spots;
    for (const TClassSummary& c : classes)
        for (const TWeakSpot& w : c.WeakSpots) {
            auto [at, added] = index.emplace(w.Rule, spots.size());
            if (added) {
                spots.emplace_back();
                spots.back().Rule = w.Rule;
            }
            TWeakSpot& all = spots[at->second];
            all.Mistakes += w.Mistakes;
            all.Pupils += w.Pupils;
            all.Sessions += w.Sessions;
        }
    Finish(spots, sessions, titles);
    return spots;
}

// The sessions of one class by pupil, the pupils in name order.
std::vector<TPupilSessions> GroupByPupil(const std::vector<TEntry>& sessions) {
    std::unordered_map<int, std::size_t> index;
    std::vector<TPupilSessions> pupils;
    for (const TEntry& e : sessions) {
        auto [it, added] = index.emplace(e.Pupil, pupils.size());
        if (added)
            pupils.push_back({platform::Trim(e.Session->Pupil), {}});
        pupils[it->second].Sessions.push_back(e.Session);
    }
    std::stable_sort(pupils.begin(), pupils.end(),
                     [](const TPupilSessions& a, const TPupilSessions& b) {
                         return NaturalLess(a.Name, b.Name);
                     });
    return pupils;
}

std::vector<TPupilRounds> RoundsByPupil(const std::vector<TEntry>& rounds) {
    std::vector<TPupilRounds> out;
    for (const TPupilSessions& p : GroupByPupil(rounds)) {
        const TSession& last = *p.Sessions.back();
        out.push_back(
            {p.Name, static_cast<int>(p.Sessions.size()), !last.Interrupted && last.Mistakes == 0});
    }
    return out;
}

// Entries grouped by an id, each group in the order of `entries`.
template <class TKey>
std::vector<std::vector<TEntry>> GroupBy(const std::vector<TEntry>& entries, TKey key,
                                         std::size_t ids) {
    std::vector<std::vector<TEntry>> groups(ids);
    for (const TEntry& e : entries)
        groups[static_cast<std::size_t>(key(e))].push_back(e);
    return groups;
}

} // namespace

std::vector<TWeakSpot> TopRules(const std::vector<const TSession*>& sessions,
                                const std::map<std::string, std::string>& ruleTitles,
                                std::size_t count) {
    return TopOf(WeakSpots(TEntries()(sessions), ruleTitles), count);
}

std::vector<TWeakSpot> TopOf(std::vector<TWeakSpot> spots, std::size_t count) {
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

namespace {

template <class TContainer>
TSummary SummariseAll(const TContainer& sessions,
                      const std::map<std::string, std::string>& ruleTitles) {
    TSummary out;
    TEntries entries;
    std::vector<TEntry> ordered, rounds;
    for (const TSession* s : InTimeOrder(sessions))
        (IsWorkOnMistakes(*s) ? rounds : ordered).push_back(entries(s));
    out.SessionCount = static_cast<int>(ordered.size());
    // In time order, so the first and the last dated ones bound the dates.
    for (const TEntry& e : ordered)
        if (e.Session->Date && e.Session->Date->isValid()) {
            out.First = e.Session->Date;
            break;
        }
    for (auto e = ordered.rbegin(); e != ordered.rend(); ++e)
        if (e->Session->Date && e->Session->Date->isValid()) {
            out.Last = e->Session->Date;
            break;
        }
    out.RoundCount = static_cast<int>(rounds.size());

    int russian = 0;
    std::vector<bool> pupils(entries.PupilCount());
    for (const TEntry& e : ordered) {
        if (e.Session->Language == "Russian")
            ++russian;
        pupils[static_cast<std::size_t>(e.Pupil)] = true;
    }
    out.PupilCount = static_cast<int>(std::count(pupils.begin(), pupils.end(), true));
    out.Russian = russian * 2 > out.SessionCount;

    const auto byClass = GroupBy(
        ordered, [](const TEntry& e) { return e.Class; }, entries.ClassCount());
    const auto roundsByClass = GroupBy(
        rounds, [](const TEntry& e) { return e.Class; }, entries.ClassCount());
    for (std::size_t k = 0; k < byClass.size(); ++k) {
        const std::vector<TEntry>& list = byClass[k];
        if (list.empty())
            continue;
        TClassSummary c;
        c.Name = platform::Trim(list.front().Session->Class); // as first written
        c.SessionCount = static_cast<int>(list.size());
        c.Pupils = GroupByPupil(list);
        c.WeakSpots = WeakSpots(list, ruleTitles);
        if (!roundsByClass[k].empty())
            c.Rounds = RoundsByPupil(roundsByClass[k]);
        for (const std::vector<TEntry>& tlist : GroupBy(
                 list, [](const TEntry& e) { return e.Theme; }, entries.ThemeCount())) {
            if (tlist.empty())
                continue;
            TThemeSummary t;
            t.Name = platform::Trim(tlist.front().Session->Theme);
            t.Pupils = GroupByPupil(tlist);
            std::map<std::string, TVariantAverage> variants;
            std::string name;
            for (const TEntry& e : tlist) {
                const TSession* s = e.Session;
                name.assign(platform::TrimView(s->Variant));
                auto& v = Slot(variants, name);
                v.Variant = name;
                ++v.Sessions;
                if (!s->Interrupted && s->Mark > 0) {
                    v.Average += s->Mark;
                    ++v.Marked;
                }
            }
            for (auto& [variant, v] : variants) {
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
    out.WeakSpots = MergedWeakSpots(out.Classes, ordered.size(), ruleTitles);
    return out;
}

} // namespace

TSummary Summarise(const std::vector<TSession>& sessions,
                   const std::map<std::string, std::string>& ruleTitles) {
    return SummariseAll(sessions, ruleTitles);
}

TSummary Summarise(const TSessions& sessions,
                   const std::map<std::string, std::string>& ruleTitles) {
    return SummariseAll(sessions, ruleTitles);
}
