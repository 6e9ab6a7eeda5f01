#include "Highlighter.h"

#include <QRegularExpression>

void TSourceHighlighter::highlightBlock(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.startsWith("//")) {
        setFormat(0, static_cast<int>(text.size()), QColor(120, 120, 120));
        return;
    }
    static const QRegularExpression header("^\\s*(Класс|Тема|Вариант\\s*\\d*|Правило)\\s*:",
                                           QRegularExpression::CaseInsensitiveOption);
    if (header.match(text).hasMatch()) {
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        bold.setForeground(QColor(0, 0, 120));
        setFormat(0, static_cast<int>(text.size()), bold);
        return;
    }
    static const QRegularExpression point("(\\[[^\\]]*\\])|(\\{[^}]*\\})");
    for (auto it = point.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        QTextCharFormat f;
        f.setFontWeight(QFont::Bold);
        f.setForeground(m.capturedStart(1) >= 0 ? QColor(0, 70, 200) : QColor(0, 130, 60));
        f.setBackground(QColor(240, 244, 255));
        setFormat(static_cast<int>(m.capturedStart()), static_cast<int>(m.capturedLength()), f);
        // The rule identifier after the last blank inside the brackets.
        const QString inside = m.captured().mid(1, m.capturedLength() - 2);
        const qsizetype blank = inside.lastIndexOf(' ');
        if (blank >= 0) {
            QTextCharFormat rule = f;
            rule.setForeground(QColor(170, 0, 0));
            setFormat(static_cast<int>(m.capturedStart() + 1 + blank + 1),
                      static_cast<int>(inside.size() - blank - 1), rule);
        }
    }
    // Rule marks: &root& and the digit marks of the rule window.
    static const QRegularExpression mark("&[^&]*&");
    for (auto it = mark.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        QTextCharFormat f;
        f.setForeground(QColor(140, 0, 140));
        setFormat(static_cast<int>(m.capturedStart()), static_cast<int>(m.capturedLength()), f);
    }
}
