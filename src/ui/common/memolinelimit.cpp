#include "ui/common/memolinelimit.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>

MemoLineLimit::MemoLineLimit(QPlainTextEdit *memo, int maxLines)
    : QObject(memo), m_memo(memo), m_maxLines(maxLines)
{
    memo->installEventFilter(this);
    connect(memo, &QPlainTextEdit::textChanged, this, &MemoLineLimit::removeExcessLines);
}

bool MemoLineLimit::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_memo || event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    if (refusesKey(key))
        return true;
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (enter && key->modifiers().testFlag(Qt::ShiftModifier)) {
        // Shift+Enter would break the line inside one block, a line that the limit could not
        // see and the stored and printed lines would not show: every Enter starts a new line.
        QTextCursor cursor = m_memo->textCursor();
        cursor.insertBlock();
        m_memo->setTextCursor(cursor);
        return true;
    }
    return false;
}

bool MemoLineLimit::refusesKey(const QKeyEvent *event) const
{
    const QTextCursor cursor = m_memo->textCursor();
    const bool onLastAllowedLine = cursor.blockNumber() == m_maxLines - 1;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return m_memo->blockCount() >= m_maxLines;
    case Qt::Key_PageDown:
        return true;
    case Qt::Key_Down:
        return onLastAllowedLine;
    case Qt::Key_Right:
        return onLastAllowedLine && cursor.atBlockEnd();
    default:
        return false;
    }
}

void MemoLineLimit::removeExcessLines()
{
    QTextDocument *document = m_memo->document();
    if (document->blockCount() <= m_maxLines)
        return; // also the change that the removal below makes
    const QTextBlock last = document->findBlockByNumber(m_maxLines - 1);
    QTextCursor cursor(document);
    // One undo step with the change that brought the lines, so that undo does not bring them back.
    cursor.joinPreviousEditBlock();
    cursor.setPosition(last.position() + last.length() - 1);
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    cursor.endEditBlock();
}

QStringList memoLines(const QPlainTextEdit *memo)
{
    QStringList lines;
    const QTextDocument *document = memo->document();
    if (document->isEmpty())
        return lines;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        lines.append(block.text());
    return lines;
}
