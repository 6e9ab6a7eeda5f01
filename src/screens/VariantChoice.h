#pragma once
// What the variant selection decides, apart from its widgets: the texts of the three lists, what
// each choice fills, switches on and clears, the class and theme fixed by the configuration, which
// typed characters belong to a name, what the name field shows, what a key does, and where the
// column of controls stands. The form only shows the state kept here.

#include "platform/Keys.h"

#include <cstdint>
#include <string>
#include <vector>

class TTask;
struct TSelection;

// The part of the variant library the selection shows: names and numbers only.
struct TChoiceVariant {
    std::int32_t Number = 0;
    std::string Name;
};
struct TChoiceTheme {
    std::int32_t Number = 0;
    std::string Name;
    std::vector<TChoiceVariant> Variants;
};
struct TChoiceClass {
    std::string Name;
    std::vector<TChoiceTheme> Themes;
};
using TChoiceLibrary = std::vector<TChoiceClass>;

// Read once when the form is created; the library does not change afterwards.
TChoiceLibrary ChoiceLibraryOf(const TTask& tasks);

// One drop-down list: its items (the texts the pupil record gets), the chosen item and whether
// the pupil can use it.
struct TChoiceList {
    std::vector<std::string> Items;
    int ItemIndex = -1;
    bool Enabled = false;
    // The text of the chosen item; empty when none is chosen.
    std::string Text() const;
};

enum class TChoiceListKind { Class, Theme, Variant };

class TVariantChoice {
public:
    // An empty library: nothing to choose.
    TVariantChoice() = default;
    // The class list holds every class name and is switched on; the theme and variant lists and
    // Go are off. A fixed theme number (-1: none) is chosen by every class choice that finds it.
    explicit TVariantChoice(TChoiceLibrary library, std::int32_t fixedTheme = -1);

    // Chooses the first class of exactly this name and switches the class list off for the rest
    // of the run; an empty name or one that no class has changes nothing (false).
    bool ApplyFixedClass(const std::string& name);

    // The pupil's choices, by item index. Choosing the item that is already chosen changes
    // nothing, so that a second click on the same class keeps the theme and variant below it.
    void ChooseClass(int index);
    void ChooseTheme(int index);
    void ChooseVariant(int index);

    const TChoiceList& ClassList() const { return Classes; }
    const TChoiceList& ThemeList() const { return Themes; }
    const TChoiceList& VariantList() const { return Variants; }
    const TChoiceList& List(TChoiceListKind kind) const;
    bool GoEnabled() const { return Go; }

    // The indices of the last choice in each list (-1: nothing chosen there); they stay from one
    // showing of the selection to the next.
    int SelectedClass() const { return ChosenClass; }
    int SelectedTheme() const { return ChosenTheme; }
    int SelectedVariant() const { return ChosenVariant; }
    // What Go hands to the exercise screen: the name, the indices and the chosen items' texts.
    TSelection Selection(const std::string& pupilName) const;

    // The text an item is drawn with. It is built from the library, not taken from the list: a
    // theme shows without its class ("1. T"), a variant with a space after its number ("3. V").
    std::string DrawnItemText(TChoiceListKind kind, int index) const;

private:
    const TChoiceClass* ChosenClassRecord() const;
    const TChoiceTheme* ChosenThemeRecord() const;

    TChoiceLibrary Library;
    std::int32_t FixedTheme = -1;
    TChoiceList Classes;
    TChoiceList Themes;
    TChoiceList Variants;
    bool Go = false;
    int ChosenClass = -1;
    int ChosenTheme = -1;
    int ChosenVariant = -1;
};

// The characters a name may hold (code page 1251): letters, space and the punctuation a name can
// need; digits, "!", "(", ")", "_", "@" and "=" are refused.
bool IsNameChar(char ch);

// What the name field shows: the placeholder while the name is empty and the field has no focus,
// the name with a caret "_" in the shown phase of its blink while it has the focus, else the name.
std::string NameFieldText(const std::string& typedName, bool focused, bool caretShown,
                          const std::string& placeholder);

// Where a text of `cells` cells starts in a field `fieldWidth` pixels wide: one pixel in, or, once
// it is too long for that, so far left that its end stays in view.
int NameTextLeft(std::size_t cells, int cellWidth, int fieldWidth);

// What a key does on the selection.
enum class TSelectionAction {
    None,         // not the selection's: the control with the focus gets it
    Close,        // leave, through the exit question
    OpenList,     // open the focused list, close the other two
    Go,           // start the session
    DeleteLetter, // remove the last letter of the name
    AddLetter,    // append the character to the name
    Ignore,       // a key the selection swallows without effect
};
TSelectionAction KeyDownAction(platform::WORD key);
TSelectionAction KeyPressAction(char key, bool nameFocused, bool goEnabled);

// The column of controls for a small font of w x h cells. Everything grows with the font: the
// lists are 50 cells wide (602 pixels with the 12 x 18 font), so that a list item of 50
// characters shows whole whatever font the screen gets. Tops are from the top of the block.
struct TSelectionLayout {
    int DesignClientWidth = 0; // 51 cells
    int DesignWidth = 0;       // the name field and the lists
    int DesignHeight = 0;      // the design client height the block is centred by: always 338
    int LabelHeight = 0;
    int NameHeight = 0;   // with its two-pixel frame; the inside is h + 6
    int ItemHeight = 0;   // of a list item: h + 4
    int ListHeight = 0;   // of a closed list
    int GoWidth = 0;      // 600 with the 12 x 18 font
    int GoHeight = 0;     // 33 with the 12 x 18 font
    int NameLabelTop = 0; // 8
    int NameTop = 0;      // each control 4 below its label, each label 16 below the control above
    int ClassLabelTop = 0;
    int ClassTop = 0;
    int ThemeLabelTop = 0;
    int ThemeTop = 0;
    int VariantLabelTop = 0;
    int VariantTop = 0;
    int GoTop = 0;
    int Bottom = 0; // of Go
    // The Go button's offset from the column's left edge.
    int GoLeft() const { return (DesignWidth - GoWidth) / 2; }
};
TSelectionLayout SelectionLayout(int cellWidth, int cellHeight);

// The offset that centres a block of `design` pixels in `client` pixels, rounded toward zero.
inline int BlockOffset(int client, int design) {
    return (client - design) / 2;
}
