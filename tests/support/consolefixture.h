#pragma once

#include "deskfixture.h"

#include "users/userregister.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

class TFormVelmora;

// The console on a fresh installation, logged in as the built-in administrator (or the given
// user), with fake settings and scripted run dialogs; shown unless asked not to.
class ConsoleFixture
{
public:
    explicit ConsoleFixture(const QList<User> &users = {}, const QString &user = {},
                            bool show = true);
    ~ConsoleFixture();

    TFormVelmora &console() { return *m_console; }
    // The unit's countdown timer ticks that many times, a second apart on the fake clock.
    void countDown(int unit, int seconds);
    void show();
    qint64 receiptCount();
    QVariant solarsValue(int unit, const QString &field);
    double money();

    DeskFixture m_desk;
    FakeSolarSettings m_settings;
    ScriptedRunDialogs m_dialogs;

private:
    std::unique_ptr<TFormVelmora> m_console;
};

// Runs action on the next modal dialog of type T as soon as it shows (for exec() loops).
template <typename T> void whenModal(std::function<void(T *)> action)
{
    auto *poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, action] {
        if (auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            action(dialog);
        }
    });
    poll->start();
}
