#pragma once
// Colours in a source the things a teacher must get right: check points (signs blue, letters
// green), their rule identifiers, the class/theme/variant and rule headers, and comments.

#include <QSyntaxHighlighter>

class TSourceHighlighter : public QSyntaxHighlighter {
public:
    using QSyntaxHighlighter::QSyntaxHighlighter;

protected:
    void highlightBlock(const QString& text) override;
};
