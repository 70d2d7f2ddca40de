#include "console/digitfieldfilter.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

bool DigitFieldFilter::eventFilter(QObject *watched, QEvent *event)
{
    auto *edit = qobject_cast<QLineEdit *>(watched);
    if (!edit)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto *key = static_cast<QKeyEvent *>(event);
        const QString text = key->text();
        // Control keys (Tab, Enter, Escape, arrows, Delete) keep their usual meaning.
        const bool character = !text.isEmpty() && text.at(0).isPrint();
        return character && !text.at(0).isDigit();
    }
    case QEvent::FocusIn:
    case QEvent::MouseButtonRelease:
        // After the click has placed the caret, so that the selection survives it.
        QTimer::singleShot(0, edit, &QLineEdit::selectAll);
        return false;
    default:
        return false;
    }
}
