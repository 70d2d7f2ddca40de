#pragma once

#include <QList>
#include <QString>

#include <functional>

class QWidget;

// The program's message operations: each plays its sound, then shows its own window.

// Modal warning with "Warning.wav".
void ShowWarning(const QString &text, const QString &detail);

// The same warning without waiting for the user: it stays open over the owner's window until
// "Ok" while the program goes on, and takes no keyboard focus from it; it goes with the owner.
void showWarningWithoutWaiting(const QString &text, const QString &detail, QWidget *owner);

// Information with "Information.wav". Modal unless autoClose: then it stays on top without
// blocking, the keyboard focus goes back to focusWindow, the call returns at once and the window
// goes away by itself 2000 ms later.
void ShowInformation(const QString &text, const QString &detail, bool autoClose = false,
                     QWidget *focusWindow = nullptr);

// Modal question with "Question.wav"; the focus starts on "&Ano" when defaultYes, else on "&Ne".
// True only for "&Ano".
bool ShowQuestion(const QString &text, const QString &detail, bool defaultYes);

// The question window filled and shown directly, without the sound, the focus on "&Ano" by the
// tab order (the start-up's wait question). True only for "&Ano".
bool showQuestionWithoutSound(const QString &text, const QString &detail);

// The table engine's last error: its code and its message text.
struct DatabaseError
{
    quint16 code = 0;
    QString message;
};

// Where ShowDatabaseError reads the engine's last error; the start-up connects the table engine.
// Until then (or with an empty function) the last error reads as code 0 without a message.
void setDatabaseErrorSource(std::function<DatabaseError()> source);

// Nothing when succeeded. Otherwise the engine's last error as the warning "Error [code]" with the
// engine's message (at most 127 characters); code 1 shows nothing.
void ShowDatabaseError(bool succeeded);

// Test-only: lets headless tests answer the dialogs and see what would have been shown. While
// engaged, no window opens and no sound plays; every message is recorded instead.
namespace MessageDialogsTestHook {

enum class Kind { Warning, Information, Question };

struct Message
{
    Kind kind;
    QString text;
    QString detail;
    QString sound;           // the sound that would have played; empty for none
    bool autoClose = false;  // information only
    bool defaultYes = false; // question only: where the focus would have started
    bool waits = true;       // warning only: false for one shown without waiting
};

void engage();
// Back to real windows; forgets queued answers and recorded messages.
void release();
bool isEngaged();
// Answers for the coming questions in order; a question with none left is answered No.
void queueAnswers(const QList<bool> &answers);
// Runs while each recorded message would be open, as a window's modal loop runs timers.
void setWhileShown(std::function<void(const Message &)> action);
// What was recorded since the last take, oldest first.
QList<Message> takeMessages();

} // namespace MessageDialogsTestHook
