#include "screens/frmExitQuery.h"

#include "app/Globals.h"
#include "app/Strings.h"
#include "config/Config.h"
#include "platform/Image.h"
#include "platform/Picture.h"
#include "platform/Screen.h"
#include "platform/Text.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPainter>
#include <algorithm>

using namespace platform;

namespace {

// A flat button without a caption: it draws nothing but a thin raised edge while the pointer is
// over it and a sunken one while it is held, so the picture and the label under it show through.
class TFlatButton : public QAbstractButton {
public:
    explicit TFlatButton(QWidget* parent) : QAbstractButton(parent) {
        setFocusPolicy(Qt::NoFocus);
        setAttribute(Qt::WA_Hover);
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        if (!isEnabled() || (!underMouse() && !isDown()))
            return;
        QPainter p(this);
        const QColor light(255, 255, 255), dark(128, 128, 128);
        const QColor& topLeft = isDown() ? dark : light;
        const QColor& bottomRight = isDown() ? light : dark;
        const int r = width() - 1, b = height() - 1;
        p.setPen(topLeft);
        p.drawLine(0, 0, r, 0);
        p.drawLine(0, 0, 0, b);
        p.setPen(bottomRight);
        p.drawLine(0, b, r, b);
        p.drawLine(r, 0, r, b);
    }
};

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int left, int top) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    // The buttons under the labels take the clicks.
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    QFont font = label->font();
    font.setPixelSize(17);
    label->setFont(font);
    // Sized by the creation handler once its text is known: measuring here would configure the
    // system fonts before the trainer's first screen.
    label->move(left, top);
    return label;
}

QAbstractButton* MakeButton(QWidget* parent, const char* name, int left, int top) {
    auto* button = new TFlatButton(parent);
    button->setObjectName(name);
    button->setGeometry(left, top, 305, 26);
    return button;
}

} // namespace

TfrmExitQuery::TfrmExitQuery(const TConfig* config, QWidget* parent)
    : TForm(parent), Config(config) {
    setObjectName("frmExitQuery");
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setWindowTitle(QString::fromUtf8("Выход?"));
    resize(DesignWidth, DesignHeight);
    SetKeyPreview(true);

    imgBackground = new TImage(this);
    imgBackground->setObjectName("imgBackground");
    imgBackground->SetBounds(0, 0, DesignWidth, DesignHeight);
    imgBackground->SetAutoSize(true);
    imgBackground->SetCenter(true);

    btnCancel = MakeButton(this, "btnCancel", 8, 28);
    btnVariant = MakeButton(this, "btnVariant", 7, 56);
    btnExit = MakeButton(this, "btnExit", 7, 84);
    connect(btnCancel, &QAbstractButton::clicked, this, [this] { btnCancelClick(); });
    connect(btnVariant, &QAbstractButton::clicked, this, [this] { btnVariantClick(); });
    connect(btnExit, &QAbstractButton::clicked, this, [this] { btnExitClick(); });

    lblYouWant = MakeLabel(this, "lblYouWant", QString::fromUtf8("Вы хотите..."), 0, 6);
    lblYouWant->setAlignment(Qt::AlignCenter);
    lblYouWant->resize(102, 20);
    lblCancel = MakeLabel(this, "lblCancel", QString::fromUtf8("1. Продолжить работу"), 40, 30);
    lblVariant =
        MakeLabel(this, "lblVariant", QString::fromUtf8("2. Выбрать другой вариант"), 40, 58);
    lblExit = MakeLabel(this, "lblExit", QString::fromUtf8("3. Выйти из программы"), 48, 86);
}

void TfrmExitQuery::FormCreate() {
    if (GlobalFailure)
        return;
    SetCaption(strExit);
    lblYouWant->setText(FromAnsi(strYouWant));
    const std::pair<QLabel*, const std::string*> options[] = {
        {lblCancel, &strKeepWorking}, {lblVariant, &strChangeVariant}, {lblExit, &strExitZarvo}};
    int widest = 0;
    for (const auto& [label, text] : options) {
        label->setText(FromAnsi(*text));
        label->adjustSize();
        widest = std::max(widest, label->width());
    }
    // One left-aligned block, centred in the design width; a block wider than that starts left
    // of the window and is cut there.
    const int left = (DesignWidth - widest) / 2;
    for (const auto& option : options)
        option.first->move(left, option.first->y());

    if (!Config)
        throw Exception("The exit picture cannot be found without the configuration");
    const std::string picture = Config->GetExitPicture();
    TBitmap background;
    try {
        background = LoadBitmapFile(picture);
    } catch (const Exception&) {
        background = LoadJpegFile(picture);
    }
    imgBackground->SetPicture(std::move(background));
    imgBackground->move(0, 0);
    resize(imgBackground->Width(), imgBackground->Height());
    lblYouWant->setGeometry(0, 6, width(), lblYouWant->height());
}

int TfrmExitQuery::Ask(bool allowContinue) {
    btnCancel->setEnabled(allowContinue);
    lblCancel->setEnabled(allowContinue);
    const TScreenMetrics screen = GetScreenMetrics();
    move((screen.Width - width()) / 2, (screen.Height - height()) / 2);
    // Asked from under a rule window, it must not come up behind it.
    MakeTransientForTop(this);
    return ShowModal();
}

void TfrmExitQuery::btnCancelClick() {
    SetModalResult(1);
}

void TfrmExitQuery::btnVariantClick() {
    SetModalResult(2);
}

void TfrmExitQuery::btnExitClick() {
    SetModalResult(3);
}

void TfrmExitQuery::FormKeyPress(char& key) {
    switch (key) {
    case '1':
        if (btnCancel->isEnabled())
            btnCancelClick();
        break;
    case '2':
        btnVariantClick();
        break;
    case '3':
        btnExitClick();
        break;
    default:
        break;
    }
}
