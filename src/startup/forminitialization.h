#pragma once

#include <QStringList>
#include <QWidget>

class QPlainTextEdit;
class QTextCursor;

// The start-up progress window: one read-only field listing the start-up's steps and their
// outcomes. It cannot be closed by the user and never takes the keyboard focus. While it exists it
// is the window that the progress operations below write into.
class TFormInitialization : public QWidget
{
    Q_OBJECT

public:
    TFormInitialization();
    ~TFormInitialization() override;

    QPlainTextEdit *Memo() const { return m_memo; }
    // The progress log, one entry per line.
    QStringList lines() const;

    void addLine(const QString &text);
    // Replaces the last line; with no line yet, the text becomes the first one.
    void replaceLastLine(const QString &text);

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void showCursor(const QTextCursor &cursor);

    QPlainTextEdit *m_memo;
    // An empty document cannot tell no line from one empty line.
    bool m_hasLines = false;
};

// The one progress window while it exists, else null.
TFormInitialization *FormInitialization();

// The progress operations. They act on the existing progress window and do nothing without one,
// so the routines that report through them also run where no window is shown.
void AddProgress(const QString &text);
void ReplaceProgress(const QString &text);
void ProgressOk();    // adds the line "Ok"
void ProgressError(); // adds the line "Error"
void ProgressResult(bool ok);
