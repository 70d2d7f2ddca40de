#include "ui/common/memolinelimit.h"

#include "core/printedlines.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>

#include <algorithm>

namespace {

// Every block's text, one for an empty memo too.
QStringList blockTexts(const QTextDocument *document)
{
    QStringList texts;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        texts.append(block.text());
    return texts;
}

} // namespace

MemoLineLimit::MemoLineLimit(QPlainTextEdit *memo, int maxLines, PrintedLines printedLines)
    : QObject(memo), m_memo(memo), m_maxLines(maxLines), m_printedLines(std::move(printedLines))
{
    memo->installEventFilter(this);
    connect(memo, &QPlainTextEdit::textChanged, this, &MemoLineLimit::removeExcessLines);
}

QStringList MemoLineLimit::printed(const QString &typedLine) const
{
    QStringList lines = m_printedLines(typedLine);
    return lines.isEmpty() ? QStringList{typedLine} : lines; // a line takes one at least
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
    const bool onLastAllowedLine = caretLine() == m_maxLines - 1;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return overflowsWith(QStringLiteral("\n"));
    case Qt::Key_PageDown:
        return true;
    case Qt::Key_Down:
        return onLastAllowedLine;
    case Qt::Key_Right:
        return onLastAllowedLine && cursor.atBlockEnd();
    default:
        break;
    }
    // Typing past the end of the last line would wrap the word being typed onto a line that the
    // removal below would take away at once.
    const QString text = event->text();
    const bool printable = !text.isEmpty() && std::all_of(text.begin(), text.end(),
                                                          [](QChar ch) { return ch.isPrint(); });
    return printable && overflowsWith(text);
}

bool MemoLineLimit::overflowsWith(const QString &typed) const
{
    const QTextCursor cursor = m_memo->textCursor();
    const QTextDocument *document = m_memo->document();
    const QTextBlock first = document->findBlock(cursor.selectionStart());
    const QTextBlock last = document->findBlock(cursor.selectionEnd());
    const QString changed = first.text().left(cursor.selectionStart() - first.position()) + typed +
                            last.text().mid(cursor.selectionEnd() - last.position());
    QStringList lines = blockTexts(document);
    lines.remove(first.blockNumber(), last.blockNumber() - first.blockNumber() + 1);
    qsizetype count = 0;
    for (const QString &line : std::as_const(lines))
        count += printed(line).size();
    for (const QString &line : changed.split(QLatin1Char('\n')))
        count += printed(line).size();
    return count > m_maxLines;
}

int MemoLineLimit::caretLine() const
{
    const QTextCursor cursor = m_memo->textCursor();
    const QTextBlock caretBlock = cursor.block();
    qsizetype line = 0;
    for (QTextBlock block = m_memo->document()->begin(); block != caretBlock; block = block.next())
        line += printed(block.text()).size();
    // The caret at a break belongs to the line that the break ends.
    const QList<qsizetype> ends = printedLineEnds(caretBlock.text(), printed(caretBlock.text()));
    const qsizetype column = cursor.positionInBlock();
    qsizetype inBlock = 0;
    while (inBlock < ends.size() - 1 && column > ends.at(inBlock))
        ++inBlock;
    return int(line + inBlock);
}

void MemoLineLimit::removeExcessLines()
{
    QTextDocument *document = m_memo->document();
    const QStringList typed = blockTexts(document);
    const QStringList kept = linesThatFit(typed, m_maxLines, m_printedLines);
    if (kept == typed)
        return; // also the change that the removal below makes
    // From the end of the last line that has room, the block before's when none of this one has.
    const int cut = int(kept.join(QLatin1Char('\n')).size());
    QTextCursor cursor(document);
    // One undo step with the change that brought the lines, so that undo does not bring them back.
    cursor.joinPreviousEditBlock();
    cursor.setPosition(cut);
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    cursor.endEditBlock();
}

QStringList memoLines(const QPlainTextEdit *memo)
{
    const QTextDocument *document = memo->document();
    return document->isEmpty() ? QStringList() : blockTexts(document);
}
