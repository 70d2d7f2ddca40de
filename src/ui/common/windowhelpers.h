#pragma once

class QKeyEvent;
class QPushButton;
class QWidget;

// Moves a top-level window to the middle of its screen's available area.
void CentreOnScreen(QWidget *window);

// For windows whose cancel button gives a result of its own: a plain Escape clicks that button.
// True when the key was taken.
bool EscapeClicksButton(QKeyEvent *event, QPushButton *button);
