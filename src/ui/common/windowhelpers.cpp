#include "ui/common/windowhelpers.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QWidget>

void CentreOnScreen(QWidget *window)
{
    QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

bool EscapeClicksButton(QKeyEvent *event, QPushButton *button)
{
    if (!button || event->key() != Qt::Key_Escape || event->modifiers() != Qt::NoModifier)
        return false;
    button->click();
    return true;
}
