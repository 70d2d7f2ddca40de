#pragma once

#include "core/printedlines.h"

#include <QObject>
#include <QStringList>

#include <functional>

class QKeyEvent;
class QPlainTextEdit;

// Keeps a memo at no more than a given number of lines as they print, as the printed box that
// it fills has room for: a key that would make the memo print more lines (Enter, or a character
// that wraps onto one line too many) is refused, lines beyond the last allowed one (pasted, or
// restored from a hand-edited file) are removed after every change, and the caret cannot be
// moved past the last allowed line by Page Down, Down or Right.
//
//     new MemoLineLimit(memoAddress, 6, wrapAtBoxWidth); // owned by the memo
class MemoLineLimit : public QObject
{
    Q_OBJECT

public:
    MemoLineLimit(QPlainTextEdit *memo, int maxLines, PrintedLines printedLines);

    int maxLines() const { return m_maxLines; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QStringList printed(const QString &typedLine) const;
    bool refusesKey(const QKeyEvent *event) const;
    // Whether the memo would print too many lines with the text typed at the caret.
    bool overflowsWith(const QString &typed) const;
    int caretLine() const; // counted from 0 in printed lines
    void removeExcessLines();

    QPlainTextEdit *m_memo;
    int m_maxLines;
    PrintedLines m_printedLines;
};

// The memo's lines as they are stored and printed: one per text block, none for an empty memo.
QStringList memoLines(const QPlainTextEdit *memo);
