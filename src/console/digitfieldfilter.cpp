#include "console/digitfieldfilter.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QTimer>

namespace {

// Other scripts' digits (Arabic-Indic, fullwidth) are digits to Qt, not to the run's time.
bool isPlainDigit(QChar character)
{
    return character >= u'0' && character <= u'9';
}

} // namespace

void DigitFieldFilter::watch(QLineEdit *edit)
{
    static const QRegularExpression plainDigits(QStringLiteral("[0-9]*"));
    edit->setValidator(new QRegularExpressionValidator(plainDigits, edit));
    edit->installEventFilter(this);
}

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
        return character && !isPlainDigit(text.at(0));
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
