#pragma once

#include <QWidget>

// A window's control by its object name; a missing one ends the test at once.
template <typename Control> Control *child(QWidget &window, const QString &name)
{
    auto *control = window.findChild<Control *>(name);
    if (!control)
        qFatal("no control %s", qPrintable(name));
    return control;
}
