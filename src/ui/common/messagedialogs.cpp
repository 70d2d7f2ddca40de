#include "ui/common/messagedialogs.h"

#include "ui/common/messagewindows.h"
#include "ui/common/sounds.h"

#include <QPushButton>
#include <QWidget>

namespace {

const QString WarningSound = QStringLiteral("Warning.wav");
const QString InformationSound = QStringLiteral("Information.wav");
const QString QuestionSound = QStringLiteral("Question.wav");

// The engine hands its message through a 128-character buffer.
constexpr qsizetype EngineMessageLimit = 127;

struct TestHookState
{
    bool engaged = false;
    QList<bool> answers;
    QList<MessageDialogsTestHook::Message> messages;
    std::function<void(const MessageDialogsTestHook::Message &)> whileShown;
};

TestHookState &hook()
{
    static TestHookState state;
    return state;
}

std::function<DatabaseError()> &databaseErrorSource()
{
    static std::function<DatabaseError()> source;
    return source;
}

// Records the message when the test hook is engaged; true when it has taken the call over.
bool recordedByHook(const MessageDialogsTestHook::Message &message)
{
    TestHookState &state = hook();
    if (!state.engaged)
        return false;
    state.messages.append(message);
    if (const auto whileShown = state.whileShown)
        whileShown(message);
    return true;
}

bool nextScriptedAnswer()
{
    TestHookState &state = hook();
    return state.answers.isEmpty() ? false : state.answers.takeFirst();
}

bool askQuestion(const QString &text, const QString &detail,
                 QPushButton *(TFormQuestion::*focusButton)() const)
{
    TFormQuestion form;
    form.setMessage(text, detail);
    if (focusButton)
        (form.*focusButton)()->setFocus();
    return form.exec() == TFormQuestion::Yes;
}

} // namespace

void ShowWarning(const QString &text, const QString &detail)
{
    using namespace MessageDialogsTestHook;
    if (recordedByHook({Kind::Warning, text, detail, WarningSound}))
        return;
    playSound(WarningSound);
    TFormWarning form;
    form.setMessage(text, detail);
    form.exec();
}

void showWarningWithoutWaiting(const QString &text, const QString &detail, QWidget *owner)
{
    using namespace MessageDialogsTestHook;
    if (recordedByHook({Kind::Warning, text, detail, WarningSound, false, false, false}))
        return;
    playSound(WarningSound);
    auto *form = new TFormWarning;
    form->setParent(owner ? owner->window() : nullptr, form->windowFlags());
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->setAttribute(Qt::WA_ShowWithoutActivating);
    form->setMessage(text, detail);
    form->show();
}

void ShowInformation(const QString &text, const QString &detail, bool autoClose,
                     QWidget *focusWindow)
{
    using namespace MessageDialogsTestHook;
    if (recordedByHook({Kind::Information, text, detail, InformationSound, autoClose}))
        return;
    playSound(InformationSound);
    if (!autoClose) {
        TFormInformation form;
        form.setMessage(text, detail);
        form.exec();
        return;
    }
    auto *form = new TFormInformation; // deletes itself when its close timer fires
    form->setMessage(text, detail);
    form->setAutoClose(true);
    form->setAttribute(Qt::WA_ShowWithoutActivating);
    form->show();
    if (focusWindow) {
        // Typing goes on where it was: the window keeps its focused control.
        QWidget *window = focusWindow->window();
        window->activateWindow();
        if (focusWindow != window)
            focusWindow->setFocus(Qt::OtherFocusReason);
    }
}

bool ShowQuestion(const QString &text, const QString &detail, bool defaultYes)
{
    using namespace MessageDialogsTestHook;
    if (recordedByHook({Kind::Question, text, detail, QuestionSound, false, defaultYes}))
        return nextScriptedAnswer();
    playSound(QuestionSound);
    return askQuestion(text, detail,
                       defaultYes ? &TFormQuestion::ButtonYes : &TFormQuestion::ButtonNo);
}

bool showQuestionWithoutSound(const QString &text, const QString &detail)
{
    using namespace MessageDialogsTestHook;
    if (recordedByHook({Kind::Question, text, detail, QString(), false, true}))
        return nextScriptedAnswer();
    return askQuestion(text, detail, nullptr);
}

void setDatabaseErrorSource(std::function<DatabaseError()> source)
{
    databaseErrorSource() = std::move(source);
}

void ShowDatabaseError(bool succeeded)
{
    if (succeeded)
        return;
    const auto &source = databaseErrorSource();
    const DatabaseError error = source ? source() : DatabaseError{};
    if (error.code == 1)
        return;
    QString message = error.message;
    if (const qsizetype end = message.indexOf(QChar(u'\0')); end >= 0)
        message.truncate(end);
    message.truncate(EngineMessageLimit);
    ShowWarning(QStringLiteral("Error [%1]").arg(error.code), message);
}

namespace MessageDialogsTestHook {

void engage()
{
    hook().engaged = true;
}

void release()
{
    hook() = TestHookState{};
}

bool isEngaged()
{
    return hook().engaged;
}

void queueAnswers(const QList<bool> &answers)
{
    hook().answers.append(answers);
}

void setWhileShown(std::function<void(const Message &)> action)
{
    hook().whileShown = std::move(action);
}

QList<Message> takeMessages()
{
    return std::exchange(hook().messages, {});
}

} // namespace MessageDialogsTestHook
