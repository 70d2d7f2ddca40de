#pragma once

#include <QObject>
#include <QStringList>

class QKeyEvent;
class QPlainTextEdit;

// Keeps a memo at no more than a given number of lines, as the printed boxes that it fills have
// room for: Enter is refused once the memo holds that many lines, lines beyond the last allowed
// one (pasted, or restored from a hand-edited file) are removed after every change, and the
// caret cannot be moved past the last allowed line by Page Down, Down or Right.
//
//     new MemoLineLimit(memoAddress, 6); // owned by the memo
class MemoLineLimit : public QObject
{
    Q_OBJECT

public:
    MemoLineLimit(QPlainTextEdit *memo, int maxLines);

    int maxLines() const { return m_maxLines; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool refusesKey(const QKeyEvent *event) const;
    void removeExcessLines();

    QPlainTextEdit *m_memo;
    int m_maxLines;
};

// The memo's lines as they are stored and printed: one per text block, none for an empty memo.
QStringList memoLines(const QPlainTextEdit *memo);
