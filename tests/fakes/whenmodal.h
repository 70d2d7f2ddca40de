#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <utility>

// When the action may run: as soon as the dialog is the modal widget (the first look comes on
// the first pass of its exec() loop, before the window system has activated it), or only once it
// is also the active window, where keys sent to the focus widget reach it.
enum class ModalReady { Open, Active };

// Runs action on the next modal dialog of type T from inside its exec() loop.
template <typename T> void whenModal(ModalReady ready, std::function<void(T *)> action)
{
    auto *poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, action, ready] {
        poll->setInterval(5);
        auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget());
        if (!dialog || (ready == ModalReady::Active && QApplication::activeWindow() != dialog))
            return;
        poll->stop();
        poll->deleteLater();
        action(dialog);
    });
    poll->start(0);
}

template <typename T> void whenModal(std::function<void(T *)> action)
{
    whenModal<T>(ModalReady::Open, std::move(action));
}
