#pragma once

#include <QString>

class QGroupBox;
class QBoxLayout;
class QFileDialog;
class QKeyEvent;
class QPushButton;
class QWidget;

// Moves a top-level window to the middle of its screen's available area.
void centreOnScreen(QWidget *window);

// For windows whose cancel button gives a result of its own: a plain Escape clicks that button.
// True when the key was taken.
bool escapeClicksButton(QKeyEvent *event, QPushButton *button);

// Inverts the default-button flag of the group's first push button, its children taken in
// creation order; a group without a push button is left alone. Called as the keyboard focus
// enters the group and again as it leaves, so that Enter inside the group presses that button.
void SwitchDefaultButton(QGroupBox *group);

// Follows the keyboard focus for the group's lifetime: while the focus is inside the group its
// first push button is the window's default button, outside it is not. A push button that holds
// the focus stays the one that Enter presses.
void switchDefaultButtonWithFocus(QGroupBox *group);

// A control with the object name that the settings and tests know it by.
template <typename Control> Control *named(Control *control, const QString &name)
{
    control->setObjectName(name);
    return control;
}

// A push button with the object name that the settings and tests know it by.
QPushButton *namedButton(const QString &caption, const QString &name, QWidget *parent);

// "Ok" (ButtonOk) and "Storno" (ButtonCancel) at the right end of a new row of the layout.
struct OkCancelButtons
{
    QPushButton *ok;
    QPushButton *cancel;
};
OkCancelButtons addOkCancelRow(QBoxLayout *layout, QWidget *parent);

// Runs the file dialog and gives its one chosen file, or nothing after "Storno". The dialog must
// outlive the call (not deleted on closing), since the choice is read from it afterwards.
QString chosenFile(QFileDialog &dialog);
