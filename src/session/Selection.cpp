#include "session/Selection.h"

#include "content/Task.h"

namespace {

template <class T> const T* At(const std::vector<T>& items, std::int32_t index) {
    if (index < 0 || static_cast<std::size_t>(index) >= items.size())
        return nullptr;
    return &items[static_cast<std::size_t>(index)];
}

} // namespace

std::vector<TSessionExample> SelectedExamples(const TTask& tasks, const TSelection& selection) {
    std::vector<TSessionExample> out;
    const TClass* c = At(tasks.Classes, selection.Class);
    const TTheme* t = c ? At(c->Themes, selection.Theme) : nullptr;
    const TVariant* v = t ? At(t->Variants, selection.Variant) : nullptr;
    if (!v)
        return out;
    out.reserve(v->Examples.size());
    for (const TExample& example : v->Examples) {
        TSessionExample ex;
        ex.Text = std::string(example.Text);
        for (const TCheckPoint& cp : example.CheckPoints)
            ex.CheckPoints.push_back(
                {cp.Position, cp.Kind, cp.Alternative1, cp.Alternative2, std::string(cp.Rule())});
        out.push_back(std::move(ex));
    }
    return out;
}
