#include "screens/frmMain.h"

#include "app/Globals.h"
#include "app/Strings.h"
#include "config/Config.h"
#include "content/Task.h"
#include "platform/Application.h"
#include "platform/Files.h"
#include "platform/Image.h"
#include "platform/Picture.h"
#include "platform/Screen.h"
#include "platform/Text.h"
#include "render/FFont.h"
#include "screens/FButton.h"
#include "session/ExampleDrawing.h"
#include "session/Pupil.h"
#include "session/ResultsDrawing.h"

#include <QEvent>
#include <QLabel>
#include <QPalette>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <chrono>
#include <exception>

using namespace platform;

namespace {

constexpr int PanelHeight = 108;

// A window's picture failed to show: the standard exception report, and the session goes on.
void Report(const std::exception& e) {
    if (TApplication* app = Application())
        app->ShowException(e);
}

const std::string& HintText(TAnswerHint hint) {
    switch (hint) {
    case TAnswerHint::Merge:
        return hintMerge;
    case TAnswerHint::Apart:
        return hintApart;
    default:
        return hintAnswer;
    }
}

} // namespace

TfrmMain::TfrmMain(TLinks links, QWidget* parent)
    : TForm(parent), Links(links),
      Generator(static_cast<std::mt19937::result_type>(
          std::chrono::steady_clock::now().time_since_epoch().count())),
      FSession(*this, [this](int lo, int hi) {
          return std::uniform_int_distribution<int>(lo, hi)(Generator);
      }) {
    // The main window is an ordinary top-level window, not a dialog.
    setWindowFlags(Qt::Window);
    setObjectName("frmMain");
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0x00, 0x00, 0x80)); // navy, $00800000
    setPalette(pal);
    setAutoFillBackground(true);

    imgResult = new TImage(this);
    imgResult->setObjectName("imgResult");
    imgResult->SetCenter(true);
    imgResult->SetExtendEdges(true);
    imgResult->OnClick = [this] { imgResultClick(); };
    imgResult->hide();

    panTest = new QWidget(this);
    panTest->setObjectName("panTest");
    panTest->hide();

    scbExample = new QScrollArea(panTest);
    scbExample->setObjectName("scbExample");
    scbExample->setFrameShape(QFrame::NoFrame);
    scbExample->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scbExample->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scbExample->setWidgetResizable(false);
    scbExample->setFocusPolicy(Qt::NoFocus);
    scbExample->setPalette(pal);
    scbExample->viewport()->setPalette(pal);
    scbExample->viewport()->setAutoFillBackground(true);
    imgExample = new TImage;
    imgExample->setObjectName("imgExample");
    scbExample->setWidget(imgExample);
    imgPointer = new TImage(scbExample->viewport());
    imgPointer->setObjectName("imgPointer");
    imgPointer->hide();
    // In front of the text and fixed to the box, not scrolled with it.
    imgFrame = new TImage(scbExample->viewport());
    imgFrame->setObjectName("imgFrame");
    imgFrame->SetAutoSize(true);
    imgFrame->SetTransparent(true);
    imgFrame->setAttribute(Qt::WA_TransparentForMouseEvents);
    scbExample->viewport()->installEventFilter(this);

    imgButtonsBackground = new TImage(panTest);
    imgButtonsBackground->setObjectName("imgButtonsBackground");
    imgButtonsBackground->SetStretch(true);
    imgButtonsBackground->SetTransparent(true);
    imgArrow = new TImage(panTest);
    imgArrow->setObjectName("imgArrow");
    imgArrow->SetAutoSize(true);
    imgArrow->SetTransparent(true);
    imgArrow->resize(362, 41);
    lblProgress = new QLabel(panTest);
    lblProgress->setObjectName("lblProgress");
    QPalette white = lblProgress->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    lblProgress->setPalette(white);
    QFont bold = lblProgress->font();
    bold.setPixelSize(18);
    bold.setBold(true);
    lblProgress->setFont(bold);
    lblProgress->setAttribute(Qt::WA_TransparentForMouseEvents);

    fbtnAnswer1 = NewButton("fbtnAnswer1", &TfrmMain::fbtnAnswer1Click);
    fbtnAnswer2 = NewButton("fbtnAnswer2", &TfrmMain::fbtnAnswer2Click);
    fbtnAnswer3 = NewButton("fbtnAnswer3", &TfrmMain::fbtnAnswer3Click);
    for (TFButton* b : {fbtnAnswer1, fbtnAnswer2, fbtnAnswer3})
        b->resize(70, 94);
    fbtnAccept = NewButton("fbtnAccept", &TfrmMain::fbtnAcceptClick);
    fbtnCancel = NewButton("fbtnCancel", &TfrmMain::fbtnCancelClick);
    fbtnFurther = NewButton("fbtnFurther", &TfrmMain::fbtnFurtherClick);
    for (TFButton* b : {fbtnAccept, fbtnCancel, fbtnFurther})
        b->resize(220, 40);
    fbtnHelp = NewButton("fbtnHelp", &TfrmMain::fbtnHelpClick);
    fbtnHint = NewButton("fbtnHint", &TfrmMain::fbtnHintClick);
    fbtnExit = NewButton("fbtnExit", &TfrmMain::fbtnExitClick);
    for (TFButton* b : {fbtnHelp, fbtnHint, fbtnExit})
        b->resize(130, 40);
    OfferNothing();

    Maximize = new QTimer(this);
    Maximize->setObjectName("Maximize");
    Maximize->setSingleShot(true);
    Maximize->setInterval(100);
    connect(Maximize, &QTimer::timeout, this, [this] { MaximizeTimer(); });
}

TfrmMain::~TfrmMain() = default;

TFButton* TfrmMain::NewButton(const char* name, void (TfrmMain::*click)()) {
    auto* b = new TFButton(panTest);
    b->setObjectName(name);
    b->OnClick = [this, click] { (this->*click)(); };
    return b;
}

void TfrmMain::FormCreate() {
    if (GlobalFailure)
        return;
    PrepareIntro();
    std::exception_ptr pictures;
    try {
        LoadPictures();
    } catch (...) {
        pictures = std::current_exception();
    }
    LoadResultsBackground();
    if (pictures)
        std::rethrow_exception(pictures);
}

void TfrmMain::PrepareIntro() {
    if (GlobalFailure)
        return;
    FSession.ShowIntro();
    SetCaption(Title);
    const TScreenMetrics screen = GetScreenMetrics();
    if (screen.Width > 0 && screen.Height > 0)
        setGeometry(0, 0, screen.Width, screen.Height);
}

void TfrmMain::LoadPictures() {
    if (GlobalFailure)
        return;
    std::exception_ptr first;
    auto attempt = [&first](auto&& load) {
        try {
            load();
        } catch (...) {
            if (!first)
                first = std::current_exception();
        }
    };
    const TConfig* config = Links.Config;
    if (config) {
        attempt([this, config] {
            imgButtonsBackground->SetPicture(LoadJpegFile(config->GetButtonsPicture()));
        });
        attempt(
            [this, config] { imgArrow->SetPicture(LoadBitmapFile(config->GetArrowPicture())); });
        const std::pair<TFButton*, int> fixed[] = {{fbtnHelp, 80},   {fbtnHint, 81},
                                                   {fbtnExit, 82},   {fbtnAccept, 77},
                                                   {fbtnCancel, 78}, {fbtnFurther, 79}};
        for (const std::pair<TFButton*, int>& face : fixed) {
            TFButton* const button = face.first;
            const int number = face.second;
            attempt([&] { SetButtonFace(button, {number, 0, TAnswerHint::Answer}); });
        }
    }
    // The frame and the pencil are decoration: without them the screen works as well.
    try {
        if (config)
            imgFrame->SetPicture(LoadBitmapFile(config->FindPicture(FramePictureName)));
    } catch (...) {
    }
    try {
        if (!config)
            throw Exception("No configuration to find the pointer with");
        imgPointer->SetPicture(LoadBitmapFile(config->FindPicture(PointerPictureName)));
    } catch (...) {
        imgPointer->SetPicture(PlainPointer());
    }
    FormResize();
    if (first)
        std::rethrow_exception(first);
}

// A report of its own, as when it came with the window's first show.
void TfrmMain::LoadResultsBackground() {
    if (GlobalFailure || !Links.Config)
        return;
    try {
        ResultsBackground = LoadBitmapFile(Links.Config->GetResultPicture());
    } catch (const std::exception& e) {
        Report(e);
    }
}

void TfrmMain::FormShow() {
    fbtnAnswer1->setToolTip(FromAnsi(hintAnswer));
    fbtnAnswer2->setToolTip(FromAnsi(hintAnswer));
    fbtnAnswer3->setToolTip(FromAnsi(hintAnswer));
    fbtnAccept->setToolTip(FromAnsi(hintAccept));
    fbtnCancel->setToolTip(FromAnsi(hintCancel));
    fbtnFurther->setToolTip(FromAnsi(hintFurther));
    fbtnHelp->setToolTip(FromAnsi(hintHelp));
    fbtnHint->setToolTip(FromAnsi(hintHint));
    fbtnExit->setToolTip(FromAnsi(hintExit));
}

void TfrmMain::FormResize() {
    const int ch = height(), cw = width();
    panTest->setGeometry(0, 0, cw, ch);
    imgResult->setGeometry(0, 0, cw, ch);
    const int box = std::max(ch - PanelHeight, 0);
    scbExample->setGeometry(0, 0, cw, box);
    imgButtonsBackground->setGeometry(0, box, cw, ch - box);
    for (TFButton* b : {fbtnAnswer1, fbtnAnswer2, fbtnAnswer3})
        b->SetTop(box + 6);
    fbtnExit->move(cw - fbtnExit->Width() - 6, ch - fbtnExit->Height() - 10);
    fbtnHint->move(fbtnExit->Left() - fbtnHint->Width() - 4, ch - fbtnHint->Height() - 10);
    fbtnHelp->move(fbtnHint->Left() - fbtnHelp->Width() - 4, ch - fbtnHelp->Height() - 10);
    imgArrow->move(fbtnHelp->Left(),
                   fbtnAnswer1->Top() +
                       (fbtnHelp->Top() - fbtnAnswer1->Top() - imgArrow->Height()) / 2);
    fbtnAccept->move((fbtnHelp->Left() - fbtnAccept->Width()) / 2,
                     box + (106 - fbtnAccept->Height() - fbtnCancel->Height() - 8) / 2);
    fbtnCancel->move(fbtnAccept->Left(), fbtnAccept->Top() + fbtnAccept->Height() + 8);
    fbtnFurther->move((fbtnHelp->Left() - fbtnFurther->Width()) / 2,
                      box + (106 - fbtnFurther->Height()) / 2);
    PlaceProgress();
    PlaceFrame();
    // The sentence, its pointer and the answers follow the new size; a rule that is up moves
    // with its check point's cell.
    FSession.Resized();
    if (Links.Rule && Links.Rule->RuleShown() && FSession.Answering())
        ShowRule(FSession.CurrentCheckPoint().Rule, FSession.Display().CellX,
                 FSession.Display().CellY);
}

// At the panel's left edge, where neither the answer buttons (centred left of Help) nor Accept,
// Cancel and Further reach on any screen the trainer runs on.
void TfrmMain::PlaceProgress() {
    // Placed once a session gives it a text: measuring the empty label would read the system's
    // font configuration before the first screen is up.
    if (lblProgress->text().isEmpty())
        return;
    lblProgress->adjustSize();
    const int box = std::max(height() - PanelHeight, 0);
    lblProgress->move(12, box + (PanelHeight - lblProgress->height()) / 2);
    lblProgress->raise();
}

// The frame keeps to the bottom-right corner of the box's client area, which also changes when
// the scroll bar comes or goes.
void TfrmMain::PlaceFrame() {
    const QWidget* client = scbExample->viewport();
    imgFrame->move(client->width() - imgFrame->Width(), client->height() - imgFrame->Height());
    imgFrame->raise();
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == scbExample->viewport() && event->type() == QEvent::Resize)
        PlaceFrame();
    return TForm::eventFilter(watched, event);
}

void TfrmMain::FormActivate() {
    if (Links.Selection)
        Links.Selection->ActivateSelection();
}

void TfrmMain::changeEvent(QEvent* e) {
    TForm::changeEvent(e);
    if (e->type() == QEvent::WindowStateChange &&
        !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)))
        Maximize->start();
}

void TfrmMain::MaximizeTimer() {
    Maximize->stop();
    if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    const TScreenMetrics screen = GetScreenMetrics();
    if (screen.Width <= 0 || screen.Height <= 0)
        return;
    // Maximised through the window manager, which keeps its frame and panels in sight; without
    // one, that is the whole screen as before.
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
}

bool TfrmMain::FormCloseQuery() {
    if (!Links.Exit || CloseConfirmed)
        return true;
    switch (Links.Exit->Ask(!FSession.ResultsShowing())) {
    case 1:
        // Only offered while a session runs; on the results screen there is nothing to keep.
        return false;
    case 2:
        SaveInterrupted();
        QTimer::singleShot(0, this, [this] { BackToSelection(); });
        return false;
    case 3:
        SaveInterrupted();
        // Closed again once the question's own loop is over, so that whoever watches the main
        // window close sees it close, not the question that came before.
        QTimer::singleShot(0, this, [this] {
            CloseConfirmed = true;
            close();
            CloseConfirmed = false;
        });
        return false;
    default:
        // Closed by the window system without a choice: nothing is written.
        return true;
    }
}

// A session that never started has nothing to write: a block of empty names would only puzzle
// the teacher reading the file.
void TfrmMain::SaveInterrupted() {
    if (Links.Pupil && (FSession.ExampleIndex() >= 0 || FSession.ResultsShowing()))
        Links.Pupil->SaveResults(ResultFile(), true);
}

void TfrmMain::BackToSelection() {
    FSession.BackToSelection();
}

void TfrmMain::RunSelection() {
    imgResult->hide();
    if (!isVisible())
        ShowMaximized();
    if (Links.Rule)
        Links.Rule->HideRule();
    if (Links.Help)
        Links.Help->HideHelp();
    if (Links.Splash)
        Links.Splash->HideSplash();
    if (Links.Selection)
        Links.Selection->ShowSelection();
}

void TfrmMain::StartSession(const TSelection& selection) {
    Chosen = selection;
    if (windowState() & Qt::WindowMinimized)
        showNormal();
    const TFFont* fonts = Links.Fonts;
    if (fonts) {
        LargeFont = fonts->LargeFont();
        FSession.SetTextMetrics({SizeWidth(fonts->LargeSize()), SizeHeight(fonts->LargeSize()),
                                 SizeHeight(fonts->SmallSize())});
    }
    static TFPupil NoPupil("", "", "", "");
    FSession.StartSession(Links.Tasks ? SelectedExamples(*Links.Tasks, Chosen)
                                      : std::vector<TSessionExample>{},
                          Links.Pupil ? *Links.Pupil : NoPupil);
}

void TfrmMain::TakeFocus() {
    SetKeyPreview(true);
    activateWindow();
    setFocus();
}

void TfrmMain::FormKeyDown(WORD& key, TShiftState) {
    // A consumed key is dropped here: no key-press follows it.
    if (FSession.FormKeyDown(key, false))
        key = 0;
}

void TfrmMain::FormKeyPress(char& key) {
    const char ch = key;
    key = 0;
    FSession.FormKeyPress(ch);
}

void TfrmMain::ShowButtonPanel(bool visible) {
    panTest->setVisible(visible);
}

void TfrmMain::HideResults() {
    imgResult->hide();
}

bool TfrmMain::ButtonPanelVisible() const {
    return !panTest->isHidden();
}

bool TfrmMain::ResultsVisible() const {
    return !imgResult->isHidden();
}

std::string ProgressText(int index, std::size_t count) {
    if (index < 0 || count == 0)
        return {};
    return std::to_string(index + 1) + " / " + std::to_string(count);
}

// --- the session's view ---

TSessionGeometry TfrmMain::Geometry() const {
    const TScreenMetrics screen = GetScreenMetrics();
    TSessionGeometry g;
    g.Box.ScreenWidth = screen.Width > 0 ? screen.Width : width();
    g.Box.Width = scbExample->width();
    g.Box.Height = scbExample->height();
    g.Box.ClientHeight = scbExample->viewport()->height();
    g.Box.ScrollPosition = scbExample->verticalScrollBar()->value();
    g.HelpButtonLeft = fbtnHelp->Left();
    g.AnswerButtonWidths = {fbtnAnswer1->Width(), fbtnAnswer2->Width(), fbtnAnswer3->Width()};
    return g;
}

void TfrmMain::ShowExerciseScreen() {
    panTest->show();
    imgResult->hide();
    scbExample->show();
}

void TfrmMain::HideExample() {
    imgExample->hide();
}

void TfrmMain::ShowExample() {
    imgExample->show();
    lblProgress->setText(
        QString::fromStdString(ProgressText(FSession.ExampleIndex(), FSession.Examples().size())));
    PlaceProgress();
}

void TfrmMain::PlaceExample(const TExampleLayout& layout) {
    imgExample->resize(layout.PictureWidth, layout.PictureHeight);
    scbExample->setVerticalScrollBarPolicy(layout.ScrollBarVisible ? Qt::ScrollBarAlwaysOn
                                                                   : Qt::ScrollBarAlwaysOff);
    scbExample->verticalScrollBar()->setValue(layout.ScrollPosition);
}

void TfrmMain::DrawExample(const TExampleState& example) {
    TExampleDrawing what;
    what.Font = LargeFont;
    what.Pointer = &imgPointer->Picture();
    what.Points = example.Points;
    what.CheckPointMistakes = example.CheckPointMistakes;
    ::DrawExample(example.Layout, what, ExamplePicture);
    imgExample->SetPicture(ExamplePicture);
    imgExample->resize(ExamplePicture.Width(), ExamplePicture.Height());
}

void TfrmMain::SetButtonFace(TFButton* button, const TButtonFace& face) {
    const TConfig* config = Links.Config;
    if (!config)
        return;
    const std::string up = face.Number ? config->GetButtonFile(face.Number, false)
                                       : config->GetSymbolButtonFile(face.Symbol, false);
    const std::string down = face.Number ? config->GetButtonFile(face.Number, true)
                                         : config->GetSymbolButtonFile(face.Symbol, true);
    if (!FileExists(up)) {
        // A face file that is missing must not leave the last check point's face on the button.
        TBitmap plain(std::max(button->Width(), 1), std::max(button->Height(), 1), 0x00F2FAFC);
        if (face.Symbol)
            plain.TextCentered(0, 0, plain.Width(), plain.Height(), std::string(1, face.Symbol),
                               0x00783820, plain.Height() / 2, true);
        button->SetUpImage(plain);
        button->SetDownImage(plain);
    }
    button->LoadUpImage(up);
    button->LoadDownImage(down);
}

void TfrmMain::SetAnswers(const std::array<TAnswerButton, 3>& buttons) {
    TFButton* b[3] = {fbtnAnswer1, fbtnAnswer2, fbtnAnswer3};
    // The buttons in use keep whether they are shown: a resize lays them out again while the
    // pupil chooses, and OfferAnswers shows them for a new check point.
    for (int i = 0; i < 3; ++i) {
        if (!buttons[static_cast<std::size_t>(i)].Used) {
            b[i]->hide();
            continue;
        }
        SetButtonFace(b[i], buttons[static_cast<std::size_t>(i)].Face);
        b[i]->setToolTip(FromAnsi(HintText(buttons[static_cast<std::size_t>(i)].Face.Hint)));
        b[i]->SetLeft(buttons[static_cast<std::size_t>(i)].Left);
    }
}

void TfrmMain::OfferAnswers(bool third) {
    fbtnAccept->hide();
    fbtnCancel->hide();
    fbtnFurther->hide();
    fbtnAnswer1->show();
    fbtnAnswer2->show();
    fbtnAnswer3->setVisible(third);
    imgArrow->show();
    fbtnHelp->show();
    fbtnHint->show();
    fbtnExit->show();
}

void TfrmMain::AskToConfirm() {
    fbtnAnswer1->hide();
    fbtnAnswer2->hide();
    fbtnAnswer3->hide();
    imgArrow->hide();
    fbtnFurther->hide();
    fbtnAccept->show();
    fbtnCancel->show();
}

void TfrmMain::OfferNothing() {
    for (QWidget* w : std::initializer_list<QWidget*>{fbtnAnswer1, fbtnAnswer2, fbtnAnswer3,
                                                      fbtnFurther, fbtnAccept, fbtnCancel, fbtnHelp,
                                                      fbtnHint, fbtnExit, imgArrow})
        w->hide();
}

void TfrmMain::OfferFurther() {
    fbtnAnswer1->hide();
    fbtnAnswer2->hide();
    fbtnAnswer3->hide();
    fbtnAccept->hide();
    fbtnCancel->hide();
    imgArrow->hide();
    fbtnFurther->show();
    fbtnHelp->show();
    fbtnHint->show();
    fbtnExit->show();
}

void TfrmMain::WithdrawFurther() {
    fbtnFurther->hide();
}

void TfrmMain::ShowRule(const std::string& rule, int cellX, int cellY) {
    if (!Links.Rule)
        return;
    const int scroll = scbExample->verticalScrollBar()->value();
    const QPoint p = mapToGlobal(scbExample->mapTo(this, QPoint(cellX, cellY - scroll)));
    const QRect box(mapToGlobal(scbExample->mapTo(this, QPoint(0, 0))), scbExample->size());
    // The sentence's lines where they stand on the screen; the check point's line keeps the room
    // above it, where the pointer stands.
    TSentenceOnScreen sentence;
    const TExampleLayout& layout = FSession.Display();
    const std::vector<TLineBox> lines = layout.LineBoxes();
    const QPoint origin = mapToGlobal(scbExample->mapTo(this, QPoint(0, -scroll)));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const QRect line =
            QRect(lines[i].Left, lines[i].Top, lines[i].Width, lines[i].Height).translated(origin);
        if (!line.intersects(box))
            continue;
        sentence.Lines.push_back(line);
        if (static_cast<int>(i) == layout.CellLine())
            sentence.KeepClear =
                line.adjusted(0, -(layout.LineHeight() - layout.Metrics.H), 0, 0).intersected(box);
    }
    Links.Rule->ShowRule(rule, p.x(), p.y(), box, sentence);
}

void TfrmMain::HideRule() {
    if (Links.Rule && Links.Rule->RuleShown())
        Links.Rule->HideRule();
}

void TfrmMain::ShowHelp() {
    if (Links.Help)
        Links.Help->ShowHelp();
}

void TfrmMain::ShowPraise() {
    if (!Links.Splash)
        return;
    try {
        Links.Splash->ShowPraise();
    } catch (const std::exception& e) {
        Report(e);
    }
}

void TfrmMain::ShowRightAnswer() {
    if (!Links.Splash)
        return;
    const int top = mapToGlobal(scbExample->mapTo(this, QPoint(0, scbExample->height()))).y();
    try {
        Links.Splash->ShowRight(top);
    } catch (const std::exception& e) {
        Report(e);
    }
}

void TfrmMain::ShowSlip() {
    if (!Links.Splash)
        return;
    try {
        Links.Splash->ShowSlip();
    } catch (const std::exception& e) {
        Report(e);
    }
}

void TfrmMain::CloseIntro() {
    if (Links.Splash)
        Links.Splash->CloseSplash();
}

void TfrmMain::ShowResults() {
    scbExample->hide();
    panTest->hide();
    imgResult->setGeometry(0, 0, width(), height());
    imgResult->lower();
    imgResult->show();
    // Laid out by the screen, as the pictures are chosen by it; the window may not yet fill it.
    const TScreenMetrics screen = GetScreenMetrics();
    const int w = screen.Width > 0 ? screen.Width : width();
    const int h = screen.Height > 0 ? screen.Height : height();
    TBitmap picture;
    if (Links.Fonts && Links.Pupil)
        DrawResults(ResultLines(*Links.Pupil), ResultsBackground, *Links.Fonts->LargeFont(),
                    *Links.Fonts->SmallFont(), w, h, picture,
                    FSession.RoundOffered() ? strWorkOnMistakesKey : std::string());
    else
        picture = ResultsBackground;
    imgResult->SetPicture(std::move(picture));
    if (Links.Pupil)
        Links.Pupil->SaveResults(ResultFile(), false);
}

std::string TfrmMain::ResultFile() const {
    return Links.Config ? Links.Config->GetResultFile() : std::string();
}

void TfrmMain::AskToLeave() {
    close();
}
