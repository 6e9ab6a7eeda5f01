#include "screens/frmHelp.h"

#include "app/Strings.h"
#include "config/Config.h"
#include "platform/Files.h"
#include "platform/Screen.h"
#include "platform/Text.h"

#include <QFileInfo>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace platform;

namespace {
// $00FFF3CB, the light blue of the rule window too.
const QColor HelpBackground(0xCB, 0xF3, 0xFF);
} // namespace

QStringList SplitHelpLines(const std::string& bytes) {
    QStringList lines;
    std::string line;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const char c = bytes[i++];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i < bytes.size() && bytes[i] == '\n')
                ++i;
            lines << FromAnsi(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty())
        lines << FromAnsi(line);
    return lines;
}

TfrmHelp::TfrmHelp(const TConfig* config, QWidget* parent) : TForm(parent), Config(config) {
    setObjectName("frmHelp");
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QString::fromUtf8("Справка по программе Зарво"));
    setMinimumSize(400, 300);
    SetKeyPreview(true);

    btnClose = new QPushButton(QString::fromUtf8("Закрыть"), this);
    btnClose->setObjectName("btnClose");
    btnClose->setFlat(true);
    btnClose->setAutoDefault(false);
    btnClose->setFocusPolicy(Qt::NoFocus);
    QFont font = btnClose->font();
    font.setPixelSize(17);
    font.setBold(true);
    btnClose->setFont(font);
    QPalette buttonColours = btnClose->palette();
    buttonColours.setColor(QPalette::ButtonText, Qt::red);
    btnClose->setPalette(buttonColours);
    btnClose->setGeometry(8, 280, 394, 33);
    connect(btnClose, &QPushButton::clicked, this, [this] { HideHelp(); });

    // The client size whose layout gives the design positions above.
    resize(408, 316);
}

// A text box lays its document out with the system font as soon as it exists, so it is made with
// the text rather than with the window, which start-up creates before its first screen.
void TfrmHelp::MakeTextBox() {
    if (txtHelp)
        return;
    txtHelp = new QPlainTextEdit(this);
    txtHelp->setObjectName("txtHelp");
    txtHelp->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtHelp->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtHelp->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtHelp->setGeometry(8, 8, 393, 265);
    setTabOrder(txtHelp, btnClose);
}

void TfrmHelp::FormCreate() {
    MakeTextBox();
    SetCaption(strHelp);
    btnClose->setText(FromAnsi(strClose));
    QPalette colours = palette();
    colours.setColor(QPalette::Window, HelpBackground);
    setPalette(colours);
    setAutoFillBackground(true);

    if (!Config)
        throw Exception("The help file cannot be found without the configuration");
    const std::string file = Config->GetHelpFile();
    const QFileInfo info(QString::fromStdString(NativePath(file)));
    if (info.exists() && static_cast<std::size_t>(info.size()) > MaxHelpSize)
        throw Exception("The help file " + file + " is too long to be shown");
    const std::string bytes = ReadFileBytes(file, MaxHelpSize);
    txtHelp->setPlainText(SplitHelpLines(bytes).join(QChar('\n')));
}

void TfrmHelp::FormResize() {
    if (!txtHelp || !btnClose)
        return;
    const int textWidth = width() - 15;
    const int textHeight = height() - btnClose->height() - 18;
    txtHelp->resize(textWidth, textHeight);
    btnClose->setGeometry(btnClose->x(), textHeight + 13, textWidth + 1, btnClose->height());
}

void TfrmHelp::ShowHelp() {
    if (!Placed) {
        const TScreenMetrics screen = GetScreenMetrics();
        move((screen.Width - frameGeometry().width()) / 2,
             (screen.Height - frameGeometry().height()) / 2);
        Placed = true;
    }
    MakeTransientForTop(this);
    show();
    raise();
    activateWindow();
    if (txtHelp)
        txtHelp->setFocus();
}

void TfrmHelp::HideHelp() {
    hide();
}

void TfrmHelp::FormKeyPress(char& key) {
    // The character still reaches the text box.
    if (key == '\r' || key == ' ')
        HideHelp();
}

void TfrmHelp::FormDeactivate() {
    if (isVisible())
        HideHelp();
}
