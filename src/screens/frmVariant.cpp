#include "screens/frmVariant.h"

#include "app/Globals.h"
#include "app/Strings.h"
#include "config/Config.h"
#include "content/Task.h"
#include "platform/Image.h"
#include "platform/Screen.h"
#include "platform/Text.h"
#include "render/FFont.h"
#include "session/Pupil.h"
#include "session/Selection.h"

#include <QAbstractItemDelegate>
#include <QAbstractItemView>
#include <QApplication>
#include <QEvent>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>

using namespace platform;

const char* const ListedCaption = "\xc2 \xf1\xef\xe8\xf1\xea\xe5: ";

namespace {

constexpr TColor SelectedBack = 0x009F5000;
constexpr TColor StatusBack = 0x00FFFFD2;
constexpr const char* HintProperty = "zarvoHint";

// Paints each item of a list's drop-down part with the owner's picture of it.
class TItemDelegate : public QAbstractItemDelegate {
public:
    explicit TItemDelegate(TOwnerDrawList* list) : QAbstractItemDelegate(list), List(list) {}
    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        if (!List->OnDrawItem)
            return;
        const bool selected = option.state & QStyle::State_Selected;
        const TBitmap item = List->OnDrawItem(index.row(), selected, option.rect.size());
        p->drawImage(option.rect.topLeft(), item.Image());
    }
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
        return {List->width(), List->ItemHeight()};
    }

private:
    TOwnerDrawList* List;
};

// The plain sheet that continues the picture's card under a column grown by a large font.
class TBlockCard : public QWidget {
public:
    explicit TBlockCard(QWidget* parent) : QWidget(parent) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QColor(190, 198, 214));
        p.setBrush(QColor(255, 254, 250));
        p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    }
};

} // namespace

TOwnerDrawList::TOwnerDrawList(QWidget* parent) : QComboBox(parent) {
    setFocusPolicy(Qt::StrongFocus);
}

// Giving the delegate makes the popup with its list view, a window of its own for each list;
// start-up makes the selection before its first screen, so that waits for the list's first use.
void TOwnerDrawList::MakeDelegate() {
    if (DelegateMade)
        return;
    DelegateMade = true;
    setItemDelegate(new TItemDelegate(this));
}

void TOwnerDrawList::SetItemHeight(int height) {
    MakeDelegate();
    FItemHeight = height;
    // The view caches the sizes its delegate gave.
    view()->doItemsLayout();
}

QRect TOwnerDrawList::ItemRect() const {
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    const QRect arrow =
        style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxArrow, this);
    const int right = arrow.isValid() && arrow.left() > 3 ? arrow.left() - 1 : width() - 3;
    return QRect(3, 3, right - 3, height() - 6);
}

void TOwnerDrawList::showPopup() {
    MakeDelegate();
    QComboBox::showPopup();
    // With nothing chosen the first Down goes to the first item, not past an item that was
    // current when the list was filled.
    if (currentIndex() < 0) {
        view()->selectionModel()->clear();
        view()->setCurrentIndex(QModelIndex());
    }
}

// The wheel turning over a list the pupil is not working in would choose in it, and a new class
// would throw away the theme and variant below it.
void TOwnerDrawList::wheelEvent(QWheelEvent* event) {
    if (hasFocus())
        QComboBox::wheelEvent(event);
    else
        event->ignore();
}

void TOwnerDrawList::paintEvent(QPaintEvent*) {
    QStylePainter p(this);
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    opt.currentText.clear();
    opt.currentIcon = QIcon();
    p.drawComplexControl(QStyle::CC_ComboBox, opt);
    const QRect r = ItemRect();
    if (!r.isValid() || !OnDrawItem)
        return;
    if (currentIndex() < 0 && !isEnabled()) {
        // Empty, on the list's own background: a disabled list is no bar.
        p.fillRect(r, palette().color(QPalette::Disabled, QPalette::Base));
        return;
    }
    // As in a list, the chosen item of the list with the focus stands out.
    const TBitmap item = OnDrawItem(currentIndex(), hasFocus(), r.size());
    p.drawImage(r.topLeft(), item.Image());
}

TPictureField::TPictureField(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
}

void TPictureField::SetPicture(const TBitmap& picture) {
    Pic = picture;
    update();
}

void TPictureField::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect r = rect();
    p.fillRect(r, Qt::white);
    // With the focus the frame takes the colour of a chosen list item, so that a pupil working
    // with the keyboard sees where the typing goes.
    if (hasFocus()) {
        p.setPen(QColor(ColorToRgb(SelectedBack)));
        p.drawRect(r.adjusted(0, 0, -1, -1));
        p.drawRect(r.adjusted(1, 1, -2, -2));
    } else {
        p.setPen(QColor(128, 128, 128));
        p.drawRect(r.adjusted(0, 0, -1, -1));
    }
    if (!Pic.Empty()) {
        p.setClipRect(r.adjusted(Frame, Frame, -Frame, -Frame));
        p.drawImage(QPoint(Frame, Frame), Pic.Image());
    }
}

void TPictureField::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    QWidget::mousePressEvent(event);
}

TfrmVariant::TfrmVariant(TLinks links, QWidget* parent) : TForm(parent), Links(links) {
    setObjectName("frmVariant");
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    resize(612, 338);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(0x00, 0x00, 0x80)); // navy, $00800000
    setPalette(colours);
    setAutoFillBackground(true);
    SetKeyPreview(true);
    Layout = SelectionLayout(CellWidth, CellHeight);

    imgIntro = new TImage(this);
    imgIntro->setObjectName("imgIntro");
    imgIntro->SetCenter(true);
    imgIntro->SetExtendEdges(true);
    imgIntro->SetBounds(0, 0, width(), height());

    panBlock = new TBlockCard(this);
    panBlock->setObjectName("panBlock");
    panBlock->hide();

    auto makeLabel = [this](const char* name) {
        auto* label = new TImage(this);
        label->setObjectName(name);
        label->SetTransparent(true);
        return label;
    };
    imglblName = makeLabel("imglblName");
    imglblClass = makeLabel("imglblClass");
    imglblTheme = makeLabel("imglblTheme");
    imglblVariant = makeLabel("imglblVariant");

    // Created in the tab order: the three lists, then the name.
    cmbClass = MakeList("cmbClass", TChoiceListKind::Class);
    cmbTheme = MakeList("cmbTheme", TChoiceListKind::Theme);
    cmbVariant = MakeList("cmbVariant", TChoiceListKind::Variant);
    cmbTheme->setEnabled(false);
    cmbVariant->setEnabled(false);
    txtName = new TPictureField(this);
    txtName->setObjectName("txtName");
    setTabOrder(cmbClass, cmbTheme);
    setTabOrder(cmbTheme, cmbVariant);
    setTabOrder(cmbVariant, txtName);

    // A speed button: it takes no focus; Enter presses it.
    btnGo = new QPushButton(this);
    btnGo->setObjectName("btnGo");
    btnGo->setFlat(true);
    btnGo->setFocusPolicy(Qt::NoFocus);
    btnGo->setEnabled(false);
    QPalette goColours = btnGo->palette();
    goColours.setColor(QPalette::Active, QPalette::ButtonText, Qt::red);
    goColours.setColor(QPalette::Inactive, QPalette::ButtonText, Qt::red);
    btnGo->setPalette(goColours);
    connect(btnGo, &QPushButton::clicked, this, [this] { btnGoClick(); });

    stbStatus = new QLabel(this);
    stbStatus->setObjectName("stbStatus");
    stbStatus->setAlignment(Qt::AlignCenter);
    stbStatus->setAutoFillBackground(true);
    QPalette statusColours = stbStatus->palette();
    statusColours.setColor(QPalette::Window, QColor::fromRgb(ColorToRgb(StatusBack)));
    statusColours.setColor(QPalette::WindowText, Qt::black);
    stbStatus->setPalette(statusColours);

    PlaceColumn(4, 0);
    FormResize();

    Timer = new QTimer(this);
    Timer->setInterval(2500);
    connect(Timer, &QTimer::timeout, this, [this] { TimerTimer(); });
    Timer->start();
    NameTimer = new QTimer(this);
    NameTimer->setInterval(200);
    connect(NameTimer, &QTimer::timeout, this, [this] { NameTimerTimer(); });

    Terminate = [] { QCoreApplication::exit(0); };
}

TOwnerDrawList* TfrmVariant::MakeList(const char* name, TChoiceListKind kind) {
    auto* list = new TOwnerDrawList(this);
    list->setObjectName(name);
    list->OnDrawItem = [this, kind](int index, bool selected, QSize size) {
        return DrawItem(kind, index, selected, size);
    };
    connect(list, &QComboBox::activated, this, [this, kind](int index) { Chosen(kind, index); });
    // Moving through the open list.
    connect(list, &QComboBox::highlighted, this,
            [this, kind](int index) { ShowListed(Choices.DrawnItemText(kind, index)); });
    return list;
}

void TfrmVariant::FormCreate() {
    FirstShow = true;
    SetCaption(Title);
    GoPressed = false;
    TypedName.clear();
    CaretShown = true;
    if (GlobalFailure)
        return;
    if (!Links.Fonts || !Links.Tasks)
        throw Exception("The selection cannot be built without the fonts and the variant library");

    const std::uint16_t cell = Links.Fonts->SmallSize();
    CellWidth = SizeWidth(cell);
    CellHeight = SizeHeight(cell);
    Layout = SelectionLayout(CellWidth, CellHeight);
    DrawLabel(imglblName, strVarName);
    DrawLabel(imglblClass, strVarClass);
    DrawLabel(imglblTheme, strVarTheme);
    DrawLabel(imglblVariant, strVarVariant);
    for (TOwnerDrawList* list : {cmbClass, cmbTheme, cmbVariant})
        list->SetItemHeight(Layout.ItemHeight);
    btnGo->setText(FromAnsi(strGo));
    QFont bold = btnGo->font();
    bold.setBold(true);
    bold.setPixelSize(CellHeight);
    btnGo->setFont(bold);
    PlaceColumn(4, 0);
    DesignHeight = Layout.DesignHeight;
    DesignWidth = Layout.DesignWidth;

    const TConfig* config = Links.Config;
    Choices = TVariantChoice(ChoiceLibraryOf(*Links.Tasks), config ? config->GetFixedTheme() : -1);
    if (config)
        Choices.ApplyFixedClass(config->GetFixedClass());
    ShowChoices();
}

void TfrmVariant::DrawLabel(TImage* label, const std::string& text) {
    const QColor face = QApplication::palette().color(QPalette::Button);
    TBitmap picture(CellWidth * static_cast<int>(text.size()), CellHeight, RgbToColor(face.rgb()));
    if (Links.Fonts)
        Links.Fonts->SmallFont()->DrawText(text, picture, clBlack, 0, 0, false);
    label->SetPicture(std::move(picture));
    label->resize(CellWidth * static_cast<int>(text.size()), CellHeight);
}

void TfrmVariant::PlaceColumn(int left, int top) {
    const TSelectionLayout& l = Layout;
    imglblName->move(left, top + l.NameLabelTop);
    txtName->setGeometry(left, top + l.NameTop, l.DesignWidth, l.NameHeight);
    imglblClass->move(left, top + l.ClassLabelTop);
    cmbClass->setGeometry(left, top + l.ClassTop, l.DesignWidth, l.ListHeight);
    imglblTheme->move(left, top + l.ThemeLabelTop);
    cmbTheme->setGeometry(left, top + l.ThemeTop, l.DesignWidth, l.ListHeight);
    imglblVariant->move(left, top + l.VariantLabelTop);
    cmbVariant->setGeometry(left, top + l.VariantTop, l.DesignWidth, l.ListHeight);
    btnGo->setGeometry(left + l.GoLeft(), top + l.GoTop, l.GoWidth, l.GoHeight);
    // The pictures carry a card for the column of the 12 x 18 font; a larger one gets its own.
    const TSelectionLayout base = SelectionLayout(12, 18);
    const bool outgrown = l.DesignWidth > base.DesignWidth || l.Bottom > base.Bottom;
    panBlock->setGeometry(left - 19, top - 10, l.DesignWidth + 38, l.Bottom + 20);
    panBlock->setVisible(outgrown);
}

TBitmap TfrmVariant::DrawItem(TChoiceListKind kind, int index, bool selected, QSize size) const {
    TBitmap item(size.width(), size.height(), selected ? SelectedBack : clWhite);
    if (index >= 0 && Links.Fonts)
        Links.Fonts->SmallFont()->DrawText(Choices.DrawnItemText(kind, index), item,
                                           selected ? clWhite : clBlack, 2, 2, !selected);
    return item;
}

void TfrmVariant::FormResize() {
    if (!imgIntro)
        return;
    imgIntro->SetBounds(0, 0, width(), height());
    PlaceStatus();
}

// The status line's height follows the system font, which is measured only once the window is
// up: the trainer's first screen then does not wait for the system's font configuration.
void TfrmVariant::PlaceStatus() {
    if (!isVisible())
        return;
    const int statusHeight = std::max(19, stbStatus->fontMetrics().height() + 4);
    stbStatus->setGeometry(0, height() - statusHeight, width(), statusHeight);
}

void TfrmVariant::ShowSelection() {
    if (IsModal())
        return;
    GoPressed = false;
    if (Links.Main) {
        Links.Main->ShowButtonPanel(false);
        Links.Main->HideResults();
    }
    // Before anything shows, so that a missing picture reaches the caller.
    LoadBackground();
    const TScreenMetrics screen = GetScreenMetrics();
    if (screen.Width > 0 && screen.Height > 0)
        setGeometry(0, 0, screen.Width, screen.Height);
    ShowModal();
}

// A missing or damaged picture is the caller's to report.
void TfrmVariant::LoadBackground() {
    if (!Links.Config)
        throw Exception("The selection picture cannot be found without the configuration");
    imgIntro->LoadBitmap(Links.Config->GetLayPicture());
}

bool TfrmVariant::ActivateSelection() {
    if (!isVisible())
        return false;
    activateWindow();
    return true;
}

void TfrmVariant::FormShow() {
    PlaceStatus();
    for (TOwnerDrawList* list : {cmbClass, cmbTheme, cmbVariant})
        list->SetItemHeight(Layout.ItemHeight);
    SetHint(txtName, hintName);
    SetHint(cmbClass, hintClass);
    SetHint(cmbTheme, hintTheme);
    SetHint(cmbVariant, hintVariant);
    SetHint(btnGo, hintGo);
    if (FirstShow) {
        FirstShow = false;
        BlockLeft = BlockOffset(width(), DesignWidth ? DesignWidth : Layout.DesignWidth);
        BlockTop = BlockOffset(height(), DesignHeight ? DesignHeight : Layout.DesignHeight);
        PlaceColumn(BlockLeft, BlockTop);
    }
    // The field shows at once; the blink starts from here.
    CaretShown = !CaretShown;
    DrawName();
    NameTimer->start();
}

void TfrmVariant::FormHide() {
    NameTimer->stop();
}

void TfrmVariant::SetHint(QWidget* control, const std::string& hint) {
    if (!control->property(HintProperty).isValid())
        control->installEventFilter(this);
    control->setProperty(HintProperty, FromAnsi(hint));
}

bool TfrmVariant::eventFilter(QObject* watched, QEvent* event) {
    if ((event->type() == QEvent::Enter || event->type() == QEvent::Leave) &&
        watched->isWidgetType() && isAncestorOf(static_cast<QWidget*>(watched))) {
        const QVariant hint = watched->property(HintProperty);
        if (hint.isValid())
            stbStatus->setText(event->type() == QEvent::Enter ? hint.toString() : QString());
    }
    return TForm::eventFilter(watched, event);
}

void TfrmVariant::changeEvent(QEvent* event) {
    TForm::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMinimized) &&
        Links.Main)
        Links.Main->MinimizeScreen();
}

void TfrmVariant::Chosen(TChoiceListKind kind, int index) {
    switch (kind) {
    case TChoiceListKind::Class:
        Choices.ChooseClass(index);
        break;
    case TChoiceListKind::Theme:
        Choices.ChooseTheme(index);
        break;
    case TChoiceListKind::Variant:
        Choices.ChooseVariant(index);
        break;
    }
    ShowChoices();
    if (index >= 0)
        ShowListed(Choices.DrawnItemText(kind, index));
}

void TfrmVariant::ShowChoices() {
    const std::pair<TOwnerDrawList*, TChoiceListKind> lists[] = {
        {cmbClass, TChoiceListKind::Class},
        {cmbTheme, TChoiceListKind::Theme},
        {cmbVariant, TChoiceListKind::Variant}};
    for (const auto& [list, kind] : lists) {
        const TChoiceList& state = Choices.List(kind);
        const QSignalBlocker quiet(list);
        QStringList items;
        for (const std::string& item : state.Items)
            items.push_back(FromAnsi(item));
        QStringList shown;
        for (int i = 0; i < list->count(); ++i)
            shown.push_back(list->itemText(i));
        if (shown != items) {
            list->clear();
            list->addItems(items);
        }
        // Adding items to an empty list would choose the first.
        list->setCurrentIndex(state.ItemIndex);
        list->setEnabled(state.Enabled);
        list->update();
    }
    btnGo->setEnabled(Choices.GoEnabled());
}

bool TfrmVariant::NameFocused() const {
    return focusWidget() == txtName;
}

void TfrmVariant::OpenFocusedList() {
    QWidget* focused = focusWidget();
    for (TOwnerDrawList* list : {cmbClass, cmbTheme, cmbVariant}) {
        if (list != focused)
            list->hidePopup();
        else if (!list->view()->isVisible())
            list->showPopup();
    }
}

void TfrmVariant::FormKeyDown(WORD& key, TShiftState) {
    switch (KeyDownAction(key)) {
    case TSelectionAction::Close:
        key = 0;
        close();
        break;
    case TSelectionAction::OpenList:
        // The press that opens the list does not also move in it.
        key = 0;
        OpenFocusedList();
        break;
    default:
        break;
    }
}

void TfrmVariant::FormKeyPress(char& key) {
    switch (KeyPressAction(key, NameFocused(), btnGo->isEnabled())) {
    case TSelectionAction::DeleteLetter:
        // Shown at the next blink.
        if (!TypedName.empty())
            TypedName.pop_back();
        key = 0;
        break;
    case TSelectionAction::Go:
        key = 0;
        btnGoClick();
        break;
    case TSelectionAction::OpenList:
        key = 0;
        OpenFocusedList();
        break;
    case TSelectionAction::AddLetter:
        TypedName += key;
        key = 0;
        DrawName();
        break;
    case TSelectionAction::Ignore:
        key = 0;
        break;
    default:
        break;
    }
}

void TfrmVariant::NameTimerTimer() {
    DrawName();
}

void TfrmVariant::DrawName() {
    CaretShown = !CaretShown;
    const QSize size = txtName->ClientSize();
    if (size.isEmpty())
        return;
    TBitmap field(size.width(), size.height(), clWhite);
    const bool focused = NameFocused();
    const bool placeholder = TypedName.empty() && !focused;
    const std::string text = NameFieldText(TypedName, focused, CaretShown, strNoName);
    // Room is kept for the caret, so the name does not jump while it blinks.
    const int x = placeholder ? 1 : NameTextLeft(TypedName.size() + 1, CellWidth, size.width());
    const int y = (size.height() - CellHeight) / 2;
    if (Links.Fonts)
        Links.Fonts->SmallFont()->DrawText(text, field, clBlack, x, y, true);
    txtName->SetPicture(field);
}

void TfrmVariant::ShowStatus(const std::string& text) {
    stbStatus->setText(FromAnsi(text));
    Timer->stop();
    Timer->start();
}

void TfrmVariant::ShowListed(const std::string& text) {
    SetCaption(ListedCaption + text);
    ShowStatus(text);
}

void TfrmVariant::TimerTimer() {
    Timer->stop();
    stbStatus->clear();
    SetCaption(Title);
}

void TfrmVariant::btnGoClick() {
    if (!btnGo->isEnabled())
        return;
    const TSelection selection = Choices.Selection(TypedName);
    if (Links.Pupil)
        Links.Pupil->Init(selection.PupilName, selection.ClassText, selection.ThemeText,
                          selection.VariantText);
    GoPressed = true;
    if (Links.Main)
        Links.Main->ShowButtonPanel(true);
    // A value of the selection's own: the modal run ends when this handler has returned.
    SetModalResult(-1);
    if (Links.Main) {
        Links.Main->TakeFocus();
        Links.Main->StartSession(selection);
    }
}

bool TfrmVariant::FormCloseQuery() {
    if (GoPressed || !Links.Exit)
        return true;
    switch (Links.Exit->Ask(false)) {
    case 2: // choose another variant: this is where that happens
        return false;
    case 3:
        if (Terminate)
            Terminate();
        return true;
    default:
        return true;
    }
}
