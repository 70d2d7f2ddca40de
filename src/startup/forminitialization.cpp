#include "startup/forminitialization.h"

#include "ui/common/uifonts.h"
#include "ui/common/windowhelpers.h"

#include <QCloseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextBlock>
#include <QTextCursor>

namespace {

QPointer<TFormInitialization> &currentWindow()
{
    static QPointer<TFormInitialization> window;
    return window;
}

} // namespace

TFormInitialization::TFormInitialization()
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::MSWindowsFixedSizeDialogHint)
{
    setWindowTitle(QStringLiteral(" Inicializace"));
    setFont(UiFonts::sansSerif(11));
    setFixedSize(378, 573);
    setFocusPolicy(Qt::NoFocus);

    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("Memo"));
    m_memo->setReadOnly(true);
    m_memo->setFocusPolicy(Qt::NoFocus);
    m_memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_memo->setGeometry(rect());

    currentWindow() = this;
}

TFormInitialization::~TFormInitialization()
{
    if (currentWindow() == this)
        currentWindow() = nullptr;
}

QStringList TFormInitialization::lines() const
{
    if (!m_hasLines)
        return {};
    QStringList result;
    for (QTextBlock block = m_memo->document()->begin(); block.isValid(); block = block.next())
        result.append(block.text());
    return result;
}

void TFormInitialization::addLine(const QString &text)
{
    QTextCursor cursor(m_memo->document());
    cursor.movePosition(QTextCursor::End);
    if (m_hasLines)
        cursor.insertBlock();
    cursor.insertText(text);
    m_hasLines = true;
    showCursor(cursor);
}

void TFormInitialization::replaceLastLine(const QString &text)
{
    if (!m_hasLines) {
        addLine(text);
        return;
    }
    QTextCursor cursor(m_memo->document()->lastBlock());
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(text);
    showCursor(cursor);
}

void TFormInitialization::showCursor(const QTextCursor &cursor)
{
    m_memo->setTextCursor(cursor);
    m_memo->ensureCursorVisible();
}

void TFormInitialization::closeEvent(QCloseEvent *event)
{
    // Only the start-up ends this window, by destroying it.
    event->ignore();
}

void TFormInitialization::showEvent(QShowEvent *event)
{
    centreOnScreen(this);
    QWidget::showEvent(event);
}

TFormInitialization *FormInitialization()
{
    return currentWindow();
}

void AddProgress(const QString &text)
{
    if (TFormInitialization *window = FormInitialization())
        window->addLine(text);
}

void ReplaceProgress(const QString &text)
{
    if (TFormInitialization *window = FormInitialization())
        window->replaceLastLine(text);
}

void ProgressOk()
{
    AddProgress(QStringLiteral("Ok"));
}

void ProgressError()
{
    AddProgress(QStringLiteral("Error"));
}

void ProgressResult(bool ok)
{
    if (ok)
        ProgressOk();
    else
        ProgressError();
}
