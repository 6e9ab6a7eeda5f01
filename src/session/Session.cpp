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
    Pupil = &pupil;
    FInRound = false;
    Begin(std::move(examples));
}

bool TExerciseSession::RoundOffered() const {
    if (!ResultsShowing() || Pupil == nullptr)
        return false;
    for (int m : ExampleMistakes)
        if (m > 0)
            return true;
    return false;
}

std::vector<TSessionExample> TExerciseSession::MistakenExamples() const {
    std::vector<TSessionExample> out;
    for (std::size_t i = 0; i < Variant.size() && i < ExampleMistakes.size(); ++i)
        if (ExampleMistakes[i] > 0)
            out.push_back(Variant[i]);
    return out;
}

bool TExerciseSession::StartRound() {
    if (!RoundOffered())
        return false;
    std::vector<TSessionExample> examples = MistakenExamples();
    // Every round names the variant the pupil chose, not the round before it.
    const std::string variant =
        FInRound ? Pupil->GetVariant() : RoundVariantName(Pupil->GetVariant());
    Pupil->Init(Pupil->GetName(), Pupil->GetClass(), Pupil->GetTheme(), variant);
    FInRound = true;
    Begin(std::move(examples));
    return true;
}

void TExerciseSession::Begin(std::vector<TSessionExample> examples) {
    Variant = std::move(examples);
    ExampleMistakes.assign(Variant.size(), 0);
    View.ShowExerciseScreen();
    // An interrupted session must not leave its check point's state to the new one.
    FState = TSessionState::Choosing;
    FExampleIndex = -1;
    FChosenAnswer = 0;
    FCheckPointMistakes = 0;
    HaveCheckPoint = false;
    NextExample();
    RaisePending();
}

void TExerciseSession::ShowIntro() {
    FState = TSessionState::Intro;
    FKeyHandled = false;
}

void TExerciseSession::BackToSelection() {
    // The intro that handed over stays the intro until a session starts.
    if (FState == TSessionState::Results)
        FState = TSessionState::Idle;
    View.RunSelection();
}

void TExerciseSession::SetChosen(int answer) {
    FChosenAnswer = answer;
    if (Answering())
        FState = answer != 0 ? TSessionState::Confirming : TSessionState::Choosing;
}

void TExerciseSession::DrawExample() {
    View.DrawExample({FDisplay, ShownCheckPoints(), FCheckPointMistakes});
}

void TExerciseSession::NextExample() {
    if (FState == TSessionState::ExampleDone)
        FState = TSessionState::Idle;
    FDisplay.MistakeMarks.clear();
    if (FExampleIndex + 1 >= static_cast<int>(Variant.size())) {
        FState = TSessionState::Results;
        View.HideRule();
        View.ShowResults();
        return;
    }
    ++FExampleIndex;
    // Praise for a finished example without a new mistake; an example about to be passed over
    // (nothing to answer, reached through Further) is not praised before.
    if (FExampleIndex > 0 && Pupil->MistakesCount() == FExampleStartMistakes &&
        (Answering() ||
         HasAnswerableCheckPoint(Variant[static_cast<std::size_t>(FExampleIndex)]))) {
        View.HideRule();
        View.ShowPraise();
    }
    LayOutExample();
    FCheckPointIndex = -1;
    NextCheckPoint();
    if (ResultsShowing())
        return;
    FExampleStartMistakes = Pupil->MistakesCount();
    View.ShowExample();
}

void TExerciseSession::LayOutExample() {
    View.HideExample();
    const TSessionExample& example = Variant[static_cast<std::size_t>(FExampleIndex)];
    FDisplay.LayOut(example.Text, View.Geometry().Box);
    View.PlaceExample(FDisplay);
}

void TExerciseSession::NextCheckPoint() {
    const TSessionExample& example = Variant[static_cast<std::size_t>(FExampleIndex)];
    for (;;) {
        View.HideRule();
        Pupil->AddQuestion();
        SetChosen(0);
        if (FCheckPointMistakes > 0)
            FDisplay.MistakeMarks.push_back(
                {FDisplay.CellX, FDisplay.CellY, FCheckPointMistakes, FDisplay.CellAt});
        FCheckPointMistakes = 0;
        if (FCheckPointIndex + 1 >= static_cast<int>(example.CheckPoints.size())) {
            if (Answering())
                FinishExample();
            else
                NextExample();
            return;
        }
        ++FCheckPointIndex;
        FCurrentCheckPoint = example.CheckPoints[static_cast<std::size_t>(FCheckPointIndex)];
        const int position = FCurrentCheckPoint.Position;
        const bool inText = position >= 1 && position <= static_cast<int>(example.Text.size());
        FRightChar = inText ? example.Text[static_cast<std::size_t>(position - 1)] : 0;
        const TDistinctAnswers d = DistinctAnswers(FRightChar, FCurrentCheckPoint.Alternative1,
                                                   FCurrentCheckPoint.Alternative2);
        FCurrentCheckPoint.Alternative1 = d.Alternative1;
        FCurrentCheckPoint.Alternative2 = d.Alternative2;
        FAlternativeCount = d.AlternativeCount;
        // Nothing to choose, or a place the text does not have (a damaged library): skipped.
        if (FAlternativeCount == 0 || !inText)
            continue;
        HaveCheckPoint = true;
        PrepareButtons();
        FDisplay.Locate(position, View.Geometry().Box);
        View.PlaceExample(FDisplay);
        if (FState == TSessionState::ExampleDone)
            FState = TSessionState::Idle;
        ShowAnswerButtons();
        DrawExample();
        return;
    }
}

void TExerciseSession::PrepareButtons() {
    FButtonAnswer = DealButtonAnswers(FAlternativeCount, Random);
    PlaceButtons();
}

void TExerciseSession::PlaceButtons() {
    const TSessionGeometry geometry = View.Geometry();
    const std::array<int, 3> lefts = AnswerButtonLefts(
        FAlternativeCount, geometry.HelpButtonLeft / 2, geometry.AnswerButtonWidths);
    const std::string& text = Variant[static_cast<std::size_t>(FExampleIndex)].Text;
    const char a1 = FCurrentCheckPoint.Alternative1, a2 = FCurrentCheckPoint.Alternative2;
    const bool standalone = IsStandalone(text, FCurrentCheckPoint.Position, FRightChar, a1, a2);
    const char answers[3] = {FRightChar, a1, a2};
    std::array<TAnswerButton, 3> buttons{};
    for (int i = 0; i < 3; ++i) {
        const int a = FButtonAnswer[static_cast<std::size_t>(i)];
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
    View.SetAnswers(buttons);
}

void TExerciseSession::Resized() {
    if (FExampleIndex < 0 || FState == TSessionState::Intro || FState == TSessionState::Results)
        return;
    const TBoxGeometry box = View.Geometry().Box;
    FDisplay.Reflow(box);
    if (HaveCheckPoint)
        FDisplay.Locate(FCurrentCheckPoint.Position, box);
    View.PlaceExample(FDisplay);
    if (Answering())
        PlaceButtons();
    DrawExample();
}

void TExerciseSession::PassCheckPoint() {
    if (FRightChar == '@')
        FDisplay.RemoveAt(FCurrentCheckPoint.Position);
    NextCheckPoint();
}

void TExerciseSession::FinishExample() {
    View.HideRule();
    FState = TSessionState::ExampleDone;
    View.OfferFurther();
}

void TExerciseSession::Further() {
    DoFurther();
    RaisePending();
}

void TExerciseSession::DoFurther() {
    if (!ExampleDone())
        return;
    View.WithdrawFurther();
    // Moving on: nothing is answered until the next check point is up.
    FState = TSessionState::Idle;
    NextCheckPoint();
    if (!ResultsShowing())
        FState = FChosenAnswer != 0 ? TSessionState::Confirming : TSessionState::Choosing;
}

void TExerciseSession::ShowAnswerButtons() {
    if (ExampleDone())
        return;
    View.OfferAnswers(FAlternativeCount > 1);
}

void TExerciseSession::ChooseButton(int button) {
    if (!Answering() || FChosenAnswer != 0 || button < 1 || button > 3)
        return;
    if (button == 3 && FAlternativeCount != 2)
        return;
    const int answer = FButtonAnswer[static_cast<std::size_t>(button - 1)];
    if (answer == 0)
        return;
    SetChosen(answer);
    View.AskToConfirm();
    DrawExample();
}

void TExerciseSession::CancelAnswer() {
    if (!Answering())
        return;
    SetChosen(0);
    ShowAnswerButtons();
    DrawExample();
}

void TExerciseSession::AcceptAnswer() {
    DoAccept();
    RaisePending();
}

void TExerciseSession::DoAccept() {
    if (FChosenAnswer == 0)
        return;
    if (FChosenAnswer == 1)
        PassCheckPoint();
    else
        WrongAnswer();
    ShowAnswerButtons();
}

void TExerciseSession::WrongAnswer() {
    ++FCheckPointMistakes;
    if (FExampleIndex >= 0 && FExampleIndex < static_cast<int>(ExampleMistakes.size()))
        ++ExampleMistakes[static_cast<std::size_t>(FExampleIndex)];
    if (FCurrentCheckPoint.Kind == 1 || FCurrentCheckPoint.Kind == 3)
        Pupil->AddSpellingMistake(FCurrentCheckPoint.Rule);
    else
        Pupil->AddPunctuationMistake(FCurrentCheckPoint.Rule);
    if (FCheckPointMistakes >= 2) {
        SetChosen(1);
        DrawExample();
        View.OfferNothing();
        View.ShowRightAnswer();
        PassCheckPoint();
    } else {
        SetChosen(0);
        DrawExample();
        ShowCheckPointRule(false);
    }
}

void TExerciseSession::ShowCheckPointRule(bool countPrompt) {
    if (!HaveCheckPoint)
        return;
    View.ShowRule(FCurrentCheckPoint.Rule, FDisplay.CellX, FDisplay.CellY);
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
    View.AskToLeave();
}

char TExerciseSession::AnswerChar(int answer) const {
    switch (answer) {
    case 1:
        return FRightChar;
    case 2:
        return FCurrentCheckPoint.Alternative1;
    case 3:
        return FCurrentCheckPoint.Alternative2;
    default:
        return '_';
    }
}

TShownCheckPoints TExerciseSession::ShownCheckPoints() const {
    TShownCheckPoints s;
    if (FExampleIndex < 0 || FExampleIndex >= static_cast<int>(Variant.size()) ||
        FCheckPointIndex < 0)
        return s;
    const TSessionExample& example = Variant[static_cast<std::size_t>(FExampleIndex)];
    s.Current = FCurrentCheckPoint.Position;
    s.Shown = AnswerChar(FChosenAnswer);
    // A later check point that will be skipped gets no placeholder: nothing would ever be asked
    // there.
    for (std::size_t i = static_cast<std::size_t>(FCheckPointIndex) + 1;
         i < example.CheckPoints.size(); ++i)
        if (IsAnswerable(example, example.CheckPoints[i]))
            s.Later.push_back(example.CheckPoints[i].Position);
    // Once the example is done its last check point shows its answer, as the text holds it.
    if (ExampleDone())
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

bool TExerciseSession::FormKeyDown(WORD key, bool pressFollows) {
    if (key == VK_F3 && StartRound()) {
        FKeyHandled = pressFollows;
        RaisePending();
        return true;
    }
    FKeyHandled = !(ExampleDone() || IntroShowing() || ResultsShowing());
    if (!FKeyHandled)
        return false;
    switch (key) {
    case VK_BACK:
        CancelAnswer();
        break;
    case VK_ESCAPE:
        View.AskToLeave();
        break;
    case VK_DELETE: {
        int a = 0;
        if (FRightChar == '@')
            a = 1;
        else if (FCurrentCheckPoint.Alternative1 == '@')
            a = 2;
        else if (FCurrentCheckPoint.Alternative2 == '@')
            a = 3;
        if (a != 0)
            for (int i = 1; i <= 3; ++i)
                if (FButtonAnswer[static_cast<std::size_t>(i - 1)] == a)
                    ChooseButton(i);
        break;
    }
    case VK_F1:
        if (Answering())
            View.ShowHelp();
        break;
    case VK_F2:
        if (Answering())
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
        FKeyHandled = false;
    }
    const bool consumed = FKeyHandled;
    if (consumed && !pressFollows)
        FKeyHandled = false;
    return consumed;
}

void TExerciseSession::FormKeyPress(char ch) {
    if (IntroShowing()) {
        FState = TSessionState::Idle;
        View.CloseIntro();
    } else if (ResultsShowing() || (!Answering() && !ExampleDone())) {
        // BackSpace, Esc and Delete type control characters; on these screens they do nothing.
        if (ch != '\b' && ch != '\x1b' && ch != '\x7f')
            BackToSelection();
    } else {
        if (!FKeyHandled) {
            if (ch == '\r') {
                if (ExampleDone())
                    DoFurther();
                else
                    DoAccept();
            } else if (!ExampleDone() && FChosenAnswer == 0 && Answering()) {
                const TSessionExample& example = Variant[static_cast<std::size_t>(FExampleIndex)];
                const int answer =
                    TypedAnswer(ch, example.Text, FCurrentCheckPoint.Position,
                                FCurrentCheckPoint.Alternative1, FCurrentCheckPoint.Alternative2);
                if (answer == 0)
                    View.ShowSlip();
                SetChosen(answer);
            }
        }
        if (FChosenAnswer != 0) {
            View.AskToConfirm();
            DrawExample();
        }
    }
    FKeyHandled = false;
    RaisePending();
}

void TExerciseSession::RaisePending() {
    if (PendingFault.empty())
        return;
    const std::string message = std::move(PendingFault);
    PendingFault.clear();
    throw EWrongButtonSymbol(message);
}
