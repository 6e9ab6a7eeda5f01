#include "screens/VariantChoice.h"

#include "content/Task.h"
#include "session/Selection.h"

#include <utility>

TChoiceLibrary ChoiceLibraryOf(const TTask& tasks) {
    TChoiceLibrary library;
    library.reserve(tasks.Classes.size());
    for (std::size_t c = 0; c < tasks.Classes.size(); ++c) {
        const auto& cls = tasks.Classes[c];
        TChoiceClass& to = library.emplace_back();
        to.Name = std::string(cls.Name);
        to.Themes.reserve(cls.Themes.size());
        for (std::size_t t = 0; t < cls.Themes.size(); ++t) {
            const auto& theme = cls.Themes[t];
            TChoiceTheme& toTheme = to.Themes.emplace_back();
            toTheme.Number = theme.Number;
            toTheme.Name = std::string(theme.Name);
            toTheme.Variants.reserve(theme.Variants.size());
            for (std::size_t v = 0; v < theme.Variants.size(); ++v)
                toTheme.Variants.push_back(
                    {theme.Variants[v].Number, std::string(theme.Variants[v].Name)});
        }
    }
    return library;
}

std::string TChoiceList::Text() const {
    if (ItemIndex < 0 || ItemIndex >= static_cast<int>(Items.size()))
        return {};
    return Items[static_cast<std::size_t>(ItemIndex)];
}

namespace {

void Clear(TChoiceList& list) {
    list.Items.clear();
    list.ItemIndex = -1;
}

bool InRange(int index, std::size_t size) {
    return index >= 0 && static_cast<std::size_t>(index) < size;
}

} // namespace

TVariantChoice::TVariantChoice(TChoiceLibrary library, std::int32_t fixedTheme)
    : Library(std::move(library)), FixedTheme(fixedTheme) {
    for (const TChoiceClass& c : Library)
        Classes.Items.push_back(c.Name);
    Classes.Enabled = true;
}

const TChoiceList& TVariantChoice::List(TChoiceListKind kind) const {
    switch (kind) {
    case TChoiceListKind::Class:
        return Classes;
    case TChoiceListKind::Theme:
        return Themes;
    case TChoiceListKind::Variant:
        break;
    }
    return Variants;
}

bool TVariantChoice::ApplyFixedClass(const std::string& name) {
    if (name.empty())
        return false;
    for (std::size_t c = 0; c < Library.size(); ++c) {
        if (Library[c].Name != name)
            continue;
        ChooseClass(static_cast<int>(c));
        Classes.Enabled = false;
        return true;
    }
    return false;
}

void TVariantChoice::ChooseClass(int index) {
    // An index past the list is no choice either.
    if (!InRange(index, Library.size()))
        index = -1;
    if (index >= 0 && index == Classes.ItemIndex)
        return;
    Classes.ItemIndex = index;
    ChosenClass = index;
    bool themeFixed = false;
    if (index < 0) {
        Themes.Enabled = false;
    } else {
        Clear(Variants);
        Clear(Themes);
        const TChoiceClass& c = Library[static_cast<std::size_t>(index)];
        for (std::size_t t = 0; t < c.Themes.size(); ++t)
            Themes.Items.push_back(c.Name + "." + std::to_string(t + 1) + ". " + c.Themes[t].Name);
        Themes.Enabled = true;
        if (FixedTheme >= 0) {
            for (std::size_t t = 0; t < c.Themes.size(); ++t) {
                if (c.Themes[t].Number != FixedTheme)
                    continue;
                ChooseTheme(static_cast<int>(t));
                Themes.Enabled = false;
                themeFixed = true;
                break;
            }
        }
    }
    Variants.Enabled = themeFixed;
    Go = false;
}

void TVariantChoice::ChooseTheme(int index) {
    const TChoiceClass* c = ChosenClassRecord();
    if (!c || !InRange(index, c->Themes.size()))
        index = -1;
    if (index >= 0 && index == Themes.ItemIndex)
        return;
    Themes.ItemIndex = index;
    ChosenTheme = index;
    if (index < 0) {
        Variants.Enabled = false;
    } else {
        Clear(Variants);
        for (const TChoiceVariant& v : c->Themes[static_cast<std::size_t>(index)].Variants)
            Variants.Items.push_back(std::to_string(v.Number) + "." + v.Name);
        Variants.Enabled = true;
    }
    Go = false;
}

void TVariantChoice::ChooseVariant(int index) {
    if (!InRange(index, Variants.Items.size()))
        index = -1;
    Variants.ItemIndex = index;
    ChosenVariant = index;
    Go = index >= 0;
}

const TChoiceClass* TVariantChoice::ChosenClassRecord() const {
    if (!InRange(ChosenClass, Library.size()))
        return nullptr;
    return &Library[static_cast<std::size_t>(ChosenClass)];
}

const TChoiceTheme* TVariantChoice::ChosenThemeRecord() const {
    const TChoiceClass* c = ChosenClassRecord();
    if (!c || !InRange(ChosenTheme, c->Themes.size()))
        return nullptr;
    return &c->Themes[static_cast<std::size_t>(ChosenTheme)];
}

std::string TVariantChoice::DrawnItemText(TChoiceListKind kind, int index) const {
    switch (kind) {
    case TChoiceListKind::Class:
        if (InRange(index, Library.size()))
            return Library[static_cast<std::size_t>(index)].Name;
        break;
    case TChoiceListKind::Theme:
        if (const TChoiceClass* c = ChosenClassRecord(); c && InRange(index, c->Themes.size()))
            return std::to_string(index + 1) + ". " +
                   c->Themes[static_cast<std::size_t>(index)].Name;
        break;
    case TChoiceListKind::Variant:
        if (const TChoiceTheme* t = ChosenThemeRecord(); t && InRange(index, t->Variants.size())) {
            const TChoiceVariant& v = t->Variants[static_cast<std::size_t>(index)];
            return std::to_string(v.Number) + ". " + v.Name;
        }
        break;
    }
    return {};
}

bool IsNameChar(char ch) {
    const auto c = static_cast<unsigned char>(ch);
    return c == ' ' || c == '"' || c == '\'' || (c >= 44 && c <= 47) || (c >= 58 && c <= 60) ||
           c == 62 || c == 63 || (c >= 65 && c <= 93) || (c >= 96 && c <= 126) || c == 168 ||
           c == 184 || c >= 192;
}

std::string NameFieldText(const std::string& typedName, bool focused, bool caretShown,
                          const std::string& placeholder) {
    if (typedName.empty() && !focused)
        return placeholder;
    if (focused && caretShown)
        return typedName + "_";
    return typedName;
}

int NameTextLeft(std::size_t cells, int cellWidth, int fieldWidth) {
    const long long width = static_cast<long long>(cells) * cellWidth;
    if (1 + width <= fieldWidth)
        return 1;
    return static_cast<int>(fieldWidth - width);
}

TSelectionAction KeyDownAction(platform::WORD key) {
    switch (key) {
    case platform::VK_ESCAPE:
        return TSelectionAction::Close;
    case platform::VK_UP:
    case platform::VK_DOWN:
        return TSelectionAction::OpenList;
    default:
        return TSelectionAction::None;
    }
}

TSelectionAction KeyPressAction(char key, bool nameFocused, bool goEnabled) {
    if (key == '\b')
        return nameFocused ? TSelectionAction::DeleteLetter : TSelectionAction::Ignore;
    if (key == '\r')
        return goEnabled ? TSelectionAction::Go : TSelectionAction::OpenList;
    if (IsNameChar(key))
        return nameFocused ? TSelectionAction::AddLetter : TSelectionAction::OpenList;
    // Refused characters do nothing in the name; elsewhere they are the list's (a digit picks
    // the class that starts with it).
    if (nameFocused && static_cast<unsigned char>(key) >= 32)
        return TSelectionAction::Ignore;
    return TSelectionAction::None;
}

TSelectionLayout SelectionLayout(int cellWidth, int cellHeight) {
    const int w = cellWidth, h = cellHeight;
    TSelectionLayout l;
    l.DesignClientWidth = 51 * w;
    l.DesignWidth = l.DesignClientWidth - 10;
    l.DesignHeight = 338;
    l.LabelHeight = h;
    l.NameHeight = h + 6 + 4;
    l.ItemHeight = h + 4;
    l.ListHeight = l.ItemHeight + 6;
    l.GoWidth = l.DesignWidth - 2;
    l.GoHeight = h + 15;
    l.NameLabelTop = 8;
    l.NameTop = l.NameLabelTop + l.LabelHeight + 4;
    l.ClassLabelTop = l.NameTop + l.NameHeight + 16;
    l.ClassTop = l.ClassLabelTop + l.LabelHeight + 4;
    l.ThemeLabelTop = l.ClassTop + l.ListHeight + 16;
    l.ThemeTop = l.ThemeLabelTop + l.LabelHeight + 4;
    l.VariantLabelTop = l.ThemeTop + l.ListHeight + 16;
    l.VariantTop = l.VariantLabelTop + l.LabelHeight + 4;
    l.GoTop = l.VariantTop + l.ListHeight + 4;
    l.Bottom = l.GoTop + l.GoHeight;
    return l;
}

TSelection TVariantChoice::Selection(const std::string& pupilName) const {
    TSelection s;
    s.PupilName = pupilName;
    s.Class = ChosenClass;
    s.Theme = ChosenTheme;
    s.Variant = ChosenVariant;
    s.ClassText = Classes.Text();
    s.ThemeText = Themes.Text();
    s.VariantText = Variants.Text();
    return s;
}
