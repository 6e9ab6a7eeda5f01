#include "session/Session.h"

#include "config/Config.h"
#include "session/Answers.h"
#include "session/Pupil.h"

#include <utility>

using namespace platform;

namespace {

constexpr const char* WrongButtonMessage = "Trying to show an unallowed answer button!";

} // namespace

TExerciseSession::TExerciseSession(ISessionView& view, TRandom random)
    : View(view), Random(std::move(random)) {}

void TExerciseSession::StartSession(std::vector<TSessionExample> examples, TFPupil& pupil) {
    Variant = std::move(examples);
    Pupil = &pupil;
    IntroShowing = false;
    ResultsShowing = false;
    View.ShowSessionScreen();
    Answering = true;
    ExampleIndex = -1;
    // An interrupted session must not leave its check point's state to the new one.
    ExampleDone = false;
    ChosenAnswer = 0;
    CheckPointMistakes = 0;
    HaveCheckPoint = false;
    NextExample();
    RaisePending();
}

void TExerciseSession::BackToSelection() {
    ResultsShowing = false;
    View.RunSelection();
}

void TExerciseSession::NextExample() {
    ExampleDone = false;
    Display.MistakeMarks.clear();
    if (ExampleIndex + 1 >= static_cast<int>(Variant.size())) {
        Answering = false;
        ResultsShowing = true;
        View.HideRule();
        View.ShowResults();
        return;
    }
    ++ExampleIndex;
    // Praise for a finished example without a new mistake; an example about to be passed over
    // (nothing to answer, reached through Further) is not praised before.
    if (ExampleIndex > 0 && Pupil->MistakesCount() == ExampleStartMistakes &&
        (Answering || HasAnswerableCheckPoint(Variant[static_cast<std::size_t>(ExampleIndex)]))) {
        View.HideRule();
        View.ShowPraise();
    }
    LayOutExample();
    CheckPointIndex = -1;
    NextCheckPoint();
    if (ResultsShowing)
        return;
    ExampleStartMistakes = Pupil->MistakesCount();
    View.ShowExample();
}

void TExerciseSession::LayOutExample() {
    View.HideExample();
    const TSessionExample& example = Variant[static_cast<std::size_t>(ExampleIndex)];
    Display.LayOut(example.Text, View.BoxGeometry());
    View.SetScroll(Display.ScrollRange, Display.ScrollPosition, Display.ScrollBarVisible);
}

void TExerciseSession::NextCheckPoint() {
    const TSessionExample& example = Variant[static_cast<std::size_t>(ExampleIndex)];
    for (;;) {
        View.HideRule();
        Pupil->AddQuestion();
        ChosenAnswer = 0;
        if (CheckPointMistakes > 0)
            Display.MistakeMarks.push_back({Display.CellX, Display.CellY, CheckPointMistakes});
        CheckPointMistakes = 0;
        if (CheckPointIndex + 1 >= static_cast<int>(example.CheckPoints.size())) {
            if (!ExampleDone && Answering)
                FinishExample();
            else
                NextExample();
            return;
        }
        ++CheckPointIndex;
        CurrentCheckPoint = example.CheckPoints[static_cast<std::size_t>(CheckPointIndex)];
        const int position = CurrentCheckPoint.Position;
        const bool inText = position >= 1 && position <= static_cast<int>(example.Text.size());
        RightChar = inText ? example.Text[static_cast<std::size_t>(position - 1)] : 0;
        const TDistinctAnswers d = DistinctAnswers(RightChar, CurrentCheckPoint.Alternative1,
                                                   CurrentCheckPoint.Alternative2);
        CurrentCheckPoint.Alternative1 = d.Alternative1;
        CurrentCheckPoint.Alternative2 = d.Alternative2;
        AlternativeCount = d.AlternativeCount;
        // Nothing to choose, or a place the text does not have (a damaged library): skipped.
        if (AlternativeCount == 0 || !inText)
            continue;
        HaveCheckPoint = true;
        PrepareButtons();
        Display.Locate(position, View.BoxGeometry());
        View.SetScroll(Display.ScrollRange, Display.ScrollPosition, Display.ScrollBarVisible);
        ShowAnswerButtons();
        DrawExample();
        ExampleDone = false;
        return;
    }
}

void TExerciseSession::PrepareButtons() {
    ButtonAnswer = DealButtonAnswers(AlternativeCount, Random);
    const std::array<int, 3> widths = View.AnswerButtonWidths();
    const std::array<int, 3> lefts =
        AnswerButtonLefts(AlternativeCount, View.HelpButtonLeft() / 2, widths);
    const std::string& text = Variant[static_cast<std::size_t>(ExampleIndex)].Text;
    const char a1 = CurrentCheckPoint.Alternative1, a2 = CurrentCheckPoint.Alternative2;
    const bool standalone = IsStandalone(text, CurrentCheckPoint.Position, RightChar, a1, a2);
    const char answers[3] = {RightChar, a1, a2};
    std::array<TAnswerButton, 3> buttons{};
    for (int i = 0; i < 3; ++i) {
        const int a = ButtonAnswer[static_cast<std::size_t>(i)];
        if (a <= 0)
            continue;
        const char c = answers[a - 1];
        TButtonFace face = FaceOfAnswer(c, answers[a % 3], answers[(a + 1) % 3], standalone);
        if (face.Number == 0 && SymbolButtonNumber(face.Symbol) == 0) {
            // Still offered with the plain face, so that the check point can be answered.
            PendingFault = WrongButtonMessage;
            face = {AnswerFace, 0, TAnswerHint::Answer};
        }
        buttons[static_cast<std::size_t>(i)] = {face, lefts[static_cast<std::size_t>(i)], true};
    }
    View.SetAnswerButtons(buttons);
}

void TExerciseSession::PassCheckPoint() {
    if (RightChar == '@')
        Display.RemoveAt(CurrentCheckPoint.Position);
    NextCheckPoint();
}

void TExerciseSession::FinishExample() {
    View.HideRule();
    ExampleDone = true;
    Answering = false;
    View.ShowFurtherButtons();
}

void TExerciseSession::Further() {
    DoFurther();
    RaisePending();
}

void TExerciseSession::DoFurther() {
    if (!ExampleDone)
        return;
    View.HideFurtherButton();
    ExampleDone = false;
    NextCheckPoint();
    if (!ResultsShowing)
        Answering = true;
}

void TExerciseSession::ShowAnswerButtons() {
    if (ExampleDone)
        return;
    View.ShowAnswerButtons(AlternativeCount > 1);
}

void TExerciseSession::ChooseButton(int button) {
    if (!Answering || ChosenAnswer != 0 || button < 1 || button > 3)
        return;
    if (button == 3 && AlternativeCount != 2)
        return;
    const int answer = ButtonAnswer[static_cast<std::size_t>(button - 1)];
    if (answer == 0)
        return;
    ChosenAnswer = answer;
    View.ShowConfirmButtons();
    DrawExample();
}

void TExerciseSession::CancelAnswer() {
    if (!Answering)
        return;
    ChosenAnswer = 0;
    ShowAnswerButtons();
    DrawExample();
}

void TExerciseSession::AcceptAnswer() {
    DoAccept();
    RaisePending();
}

void TExerciseSession::DoAccept() {
    if (ChosenAnswer == 0)
        return;
    if (ChosenAnswer == 1)
        PassCheckPoint();
    else
        WrongAnswer();
    ShowAnswerButtons();
}

void TExerciseSession::WrongAnswer() {
    ++CheckPointMistakes;
    if (CurrentCheckPoint.Kind == 1 || CurrentCheckPoint.Kind == 3)
        Pupil->AddSpellingMistake(CurrentCheckPoint.Rule);
    else
        Pupil->AddPunctuationMistake(CurrentCheckPoint.Rule);
    if (CheckPointMistakes >= 2) {
        ChosenAnswer = 1;
        DrawExample();
        View.HideAllButtons();
        View.ShowRight();
        PassCheckPoint();
    } else {
        ChosenAnswer = 0;
        DrawExample();
        ShowCheckPointRule(false);
    }
}

void TExerciseSession::ShowCheckPointRule(bool countPrompt) {
    if (!HaveCheckPoint)
        return;
    View.ShowRule(CurrentCheckPoint.Rule, Display.CellX, Display.CellY);
    if (countPrompt)
        Pupil->AddPrompt();
}

void TExerciseSession::HintClick() {
    ShowCheckPointRule(true);
}

void TExerciseSession::HelpClick() {
    View.ShowHelp();
}

void TExerciseSession::ExitClick() {
    View.CloseForm();
}

char TExerciseSession::AnswerChar(int answer) const {
    switch (answer) {
    case 1:
        return RightChar;
    case 2:
        return CurrentCheckPoint.Alternative1;
    case 3:
        return CurrentCheckPoint.Alternative2;
    default:
        return '_';
    }
}

TShownCheckPoints TExerciseSession::ShownCheckPoints() const {
    TShownCheckPoints s;
    if (ExampleIndex < 0 || ExampleIndex >= static_cast<int>(Variant.size()) || CheckPointIndex < 0)
        return s;
    const TSessionExample& example = Variant[static_cast<std::size_t>(ExampleIndex)];
    s.Current = CurrentCheckPoint.Position;
    s.Shown = AnswerChar(ChosenAnswer);
    // A later check point that will be skipped gets no placeholder: nothing would ever be asked
    // there.
    for (std::size_t i = static_cast<std::size_t>(CheckPointIndex) + 1;
         i < example.CheckPoints.size(); ++i)
        if (IsAnswerable(example, example.CheckPoints[i]))
            s.Later.push_back(example.CheckPoints[i].Position);
    // Once the example is done its last check point shows its answer, as the text holds it.
    if (ExampleDone)
        s.Current = 0;
    return s;
}

bool TExerciseSession::IsAnswerable(const TSessionExample& example, const TSessionCheckPoint& cp) {
    if (cp.Position < 1 || cp.Position > static_cast<int>(example.Text.size()))
        return false;
    const char right = example.Text[static_cast<std::size_t>(cp.Position - 1)];
    return DistinctAnswers(right, cp.Alternative1, cp.Alternative2).AlternativeCount > 0;
}

bool TExerciseSession::HasAnswerableCheckPoint(const TSessionExample& example) const {
    for (const TSessionCheckPoint& cp : example.CheckPoints)
        if (IsAnswerable(example, cp))
            return true;
    return false;
}

bool TExerciseSession::FormKeyDown(WORD key) {
    KeyHandled = !(ExampleDone || IntroShowing || ResultsShowing);
    if (!KeyHandled)
        return false;
    switch (key) {
    case VK_BACK:
        CancelAnswer();
        break;
    case VK_ESCAPE:
        View.CloseForm();
        break;
    case VK_DELETE: {
        int a = 0;
        if (RightChar == '@')
            a = 1;
        else if (CurrentCheckPoint.Alternative1 == '@')
            a = 2;
        else if (CurrentCheckPoint.Alternative2 == '@')
            a = 3;
        if (a != 0)
            for (int i = 1; i <= 3; ++i)
                if (ButtonAnswer[static_cast<std::size_t>(i - 1)] == a)
                    ChooseButton(i);
        break;
    }
    case VK_F1:
        if (Answering)
            View.ShowHelp();
        break;
    case VK_F2:
        if (Answering)
            ShowCheckPointRule(true);
        break;
    case VK_F5:
        ChooseButton(1);
        break;
    case VK_F6:
        ChooseButton(2);
        break;
    case VK_F7:
        ChooseButton(3);
        break;
    default:
        KeyHandled = false;
    }
    return KeyHandled;
}

void TExerciseSession::FormKeyPress(char ch) {
    if (IntroShowing) {
        IntroShowing = false;
        View.CloseSplash();
    } else if (ResultsShowing || (!Answering && !ExampleDone)) {
        // BackSpace, Esc and Delete type control characters; on these screens they do nothing.
        if (ch != '\b' && ch != '\x1b' && ch != '\x7f')
            BackToSelection();
    } else {
        if (!KeyHandled) {
            if (ch == '\r') {
                if (ExampleDone)
                    DoFurther();
                else
                    DoAccept();
            } else if (!ExampleDone && ChosenAnswer == 0 && Answering) {
                const TSessionExample& example = Variant[static_cast<std::size_t>(ExampleIndex)];
                const int answer =
                    TypedAnswer(ch, example.Text, CurrentCheckPoint.Position,
                                CurrentCheckPoint.Alternative1, CurrentCheckPoint.Alternative2);
                if (answer == 0)
                    View.ShowSlip();
                ChosenAnswer = answer;
            }
        }
        if (ChosenAnswer != 0) {
            View.ShowConfirmButtons();
            DrawExample();
        }
    }
    KeyHandled = false;
    RaisePending();
}

void TExerciseSession::RaisePending() {
    if (PendingFault.empty())
        return;
    const std::string message = std::move(PendingFault);
    PendingFault.clear();
    throw EWrongButtonSymbol(message);
}
