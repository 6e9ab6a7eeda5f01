#pragma once
// The variant selection: the pupil types a name and chooses class, theme and variant, every text
// drawn with the small bitmap font; Go fills the pupil record and starts the session. What the
// choices mean lives in VariantChoice.h; this form shows it and turns keys and clicks into it.

#include "platform/Bitmap.h"
#include "platform/Form.h"
#include "screens/ScreenLinks.h"
#include "screens/VariantChoice.h"

#include <QComboBox>
#include <functional>
#include <string>

class QLabel;
class QPushButton;
class QTimer;
class TConfig;
class TFFont;
class TTask;
class TFPupil;

namespace platform {
class TImage;
}

// A drop-down list whose items, and the chosen item in the closed list, are pictures that the
// owner draws; no free text.
class TOwnerDrawList : public QComboBox {
    Q_OBJECT
public:
    explicit TOwnerDrawList(QWidget* parent = nullptr);
    // Draws item `index` (-1: none chosen) into a bitmap of the given size; `selected` is the
    // highlighted state.
    std::function<platform::TBitmap(int index, bool selected, QSize size)> OnDrawItem;
    // Also gives the popup's view the delegate that draws through OnDrawItem.
    void SetItemHeight(int height);
    int ItemHeight() const { return FItemHeight; }
    // The rectangle of the closed list in which the chosen item is drawn.
    QRect ItemRect() const;
    void showPopup() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void MakeDelegate();
    int FItemHeight = 22;
    bool DelegateMade = false;
};

// A focusable surface that shows a picture inside a thin frame: the name field.
class TPictureField : public QWidget {
    Q_OBJECT
public:
    explicit TPictureField(QWidget* parent = nullptr);
    static constexpr int Frame = 2;
    QSize ClientSize() const { return rect().adjusted(Frame, Frame, -Frame, -Frame).size(); }
    const platform::TBitmap& Picture() const { return Pic; }
    void SetPicture(const platform::TBitmap& picture);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    platform::TBitmap Pic;
};

class TfrmVariant : public platform::TForm, public ISelectionWindow {
    Q_OBJECT
public:
    // What the selection shows and fills, and the windows it hands over to; any may be missing
    // (the creation handler then fails, or the hand-over is skipped).
    struct TLinks {
        const TConfig* Config = nullptr;
        const TFFont* Fonts = nullptr;
        const TTask* Tasks = nullptr;
        TFPupil* Pupil = nullptr;
        ISelectionHost* Main = nullptr;
        IExitQuestion* Exit = nullptr;
    };
    explicit TfrmVariant(TLinks links, QWidget* parent = nullptr);
    void FormCreate() override;
    void ShowSelection() override;
    bool ActivateSelection() override;
    // Loads the background picture so that the first showing is quick.
    void LoadBackground();

    void FormKeyDown(platform::WORD& key, platform::TShiftState shift) override;
    void FormKeyPress(char& key) override;

    // The background picture, filling the client area, centred.
    platform::TImage* imgIntro = nullptr;
    // Paper behind the column where a large font makes it outgrow the card of the picture.
    QWidget* panBlock = nullptr;
    platform::TImage* imglblName = nullptr;
    platform::TImage* imglblClass = nullptr;
    platform::TImage* imglblTheme = nullptr;
    platform::TImage* imglblVariant = nullptr;
    TPictureField* txtName = nullptr;
    TOwnerDrawList* cmbClass = nullptr;
    TOwnerDrawList* cmbTheme = nullptr;
    TOwnerDrawList* cmbVariant = nullptr;
    QPushButton* btnGo = nullptr;
    QLabel* stbStatus = nullptr;
    QTimer* Timer = nullptr;     // clears the status line and the caption
    QTimer* NameTimer = nullptr; // blinks the caret

    // How the program is told to end (option 3 of the exit question); tests replace it.
    std::function<void()> Terminate;

    std::string TypedName;
    bool CaretShown = true;
    bool GoPressed = false;
    bool FirstShow = true;
    int DesignWidth = 0;
    int DesignHeight = 0;
    int BlockLeft = 0;
    int BlockTop = 0;

    // The choices; they stay from one showing to the next.
    const TVariantChoice& Choice() const { return Choices; }

    // The handlers, public so that tests can drive the timers without waiting.
    void TimerTimer();
    void NameTimerTimer();
    void btnGoClick();
    void ShowStatus(const std::string& text);
    void ShowListed(const std::string& text);
    void DrawName();

protected:
    bool FormCloseQuery() override;
    void FormShow() override;
    void FormHide() override;
    void FormResize() override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void PlaceStatus();
    TOwnerDrawList* MakeList(const char* name, TChoiceListKind kind);
    void PlaceColumn(int left, int top);
    void DrawLabel(platform::TImage* label, const std::string& text);
    platform::TBitmap DrawItem(TChoiceListKind kind, int index, bool selected, QSize size) const;
    // Runs a choice the pupil made in a list and shows its outcome.
    void Chosen(TChoiceListKind kind, int index);
    void ShowChoices();
    void OpenFocusedList();
    bool NameFocused() const;
    void SetHint(QWidget* control, const std::string& hint);

    TLinks Links;
    TVariantChoice Choices;
    TSelectionLayout Layout;
    int CellWidth = 12;
    int CellHeight = 18;
};

// The caption's prefix while the pupil moves through a list, cp1251: "В списке: ".
extern const char* const ListedCaption;
