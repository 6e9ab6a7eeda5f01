#include "Wording.h"

namespace art {

namespace {

TWording MakeRussian() {
    TWording w;
    w.Folder = "RFPF";
    w.Name = "Зарво";
    w.Subtitle1 = "Тренажёр по русскому языку";
    w.Subtitle2 = "пунктуация и орфография";
    w.Motto = "Повторение — мать учения.";
    w.MottoRedFrom = 11;
    w.MottoRedLength = 1;
    w.PressAnyKey = "Нажмите любую клавишу или щёлкните мышью";
    w.PressAnyKeyShort = "Нажмите любую клавишу";
    w.ChooseTitle = "Выберите класс, тему и вариант";
    w.ResultsTitle = "Результаты";
    w.ResultsContinue = "Нажмите любую клавишу, чтобы продолжить";
    w.PraiseTitle = "Молодец!";
    w.PraiseText = "Пример решён без ошибок.";
    w.RightTitle = "Запомните правильный ответ!";
    w.RightText = "Он вставлен в предложение выше.";
    w.SlipTitle = "Такого ответа нет!";
    w.SlipText = "Выберите один из предложенных ответов.";
    w.ArrowText = "Выберите ответ";
    w.Merge = "слитно";
    w.Apart = "раздельно";
    w.NoSign = "без знака";
    w.Accept = "Принять";
    w.Cancel = "Отменить";
    w.Further = "Дальше";
    w.Help = "Справка";
    w.Hint = "Подсказка";
    w.Exit = "Выход";
    return w;
}

TWording MakeEnglish() {
    TWording w;
    w.Folder = "EFPF";
    w.Name = "Zarvo";
    w.Subtitle1 = "Russian language trainer";
    w.Subtitle2 = "punctuation and spelling";
    w.Motto = "Practice makes perfect.";
    w.MottoRedFrom = 22;
    w.MottoRedLength = 1;
    w.PressAnyKey = "Press any key or click the mouse";
    w.PressAnyKeyShort = "Press any key";
    w.ChooseTitle = "Choose your class, theme and variant";
    w.ResultsTitle = "Results";
    w.ResultsContinue = "Press any key to continue";
    w.PraiseTitle = "Well done!";
    w.PraiseText = "No mistakes in this example.";
    w.RightTitle = "Remember the right answer!";
    w.RightText = "It is now written in the sentence above.";
    w.SlipTitle = "There is no such answer!";
    w.SlipText = "Choose one of the answers offered.";
    w.ArrowText = "Choose an answer";
    w.Merge = "together";
    w.Apart = "apart";
    w.NoSign = "no sign";
    w.Accept = "Accept";
    w.Cancel = "Cancel";
    w.Further = "Further";
    w.Help = "Help";
    w.Hint = "Hint";
    w.Exit = "Exit";
    return w;
}

} // namespace

const TWording& WordingFor(TLanguage language) {
    static const TWording russian = MakeRussian();
    static const TWording english = MakeEnglish();
    return language == TLanguage::Russian ? russian : english;
}

} // namespace art
