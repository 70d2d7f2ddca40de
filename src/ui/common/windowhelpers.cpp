#include "ui/common/windowhelpers.h"

#include <QApplication>
#include <QBoxLayout>
#include <QFileDialog>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QWidget>

namespace {

QPushButton *firstPushButton(QGroupBox *group)
{
    for (QObject *child : group->children()) {
        if (auto *button = qobject_cast<QPushButton *>(child))
            return button;
    }
    return nullptr;
}

} // namespace

void centreOnScreen(QWidget *window)
{
    QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

bool escapeClicksButton(QKeyEvent *event, QPushButton *button)
{
    if (!button || event->key() != Qt::Key_Escape || event->modifiers() != Qt::NoModifier)
        return false;
    button->click();
    return true;
}

void SwitchDefaultButton(QGroupBox *group)
{
    if (QPushButton *button = firstPushButton(group))
        button->setDefault(!button->isDefault());
}

void switchDefaultButtonWithFocus(QGroupBox *group)
{
    QObject::connect(qApp, &QApplication::focusChanged, group, [group](QWidget *, QWidget *now) {
        const QPushButton *button = firstPushButton(group);
        if (!button)
            return;
        const bool inside = now && group->isAncestorOf(now);
        // A focused push button of a dialog is the default itself until it loses the focus.
        const auto *focusedButton = qobject_cast<QPushButton *>(now);
        if (inside && focusedButton && focusedButton->autoDefault())
            return;
        // Compared rather than merely inverted on every crossing: a dialog hands its default back
        // to the last button made default whenever a focused button loses the focus.
        if (button->isDefault() != inside)
            SwitchDefaultButton(group);
    });
}

QPushButton *namedButton(const QString &caption, const QString &name, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

OkCancelButtons addOkCancelRow(QBoxLayout *layout, QWidget *parent)
{
    const OkCancelButtons buttons{
        namedButton(QStringLiteral("Ok"), QStringLiteral("ButtonOk"), parent),
        namedButton(QStringLiteral("Storno"), QStringLiteral("ButtonCancel"), parent)};
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(buttons.ok);
    row->addWidget(buttons.cancel);
    layout->addLayout(row);
    return buttons;
}

QString chosenFile(QFileDialog &dialog)
{
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}
