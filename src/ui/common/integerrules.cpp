#include "ui/common/integerrules.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>

#include <algorithm>
#include <optional>

namespace {

std::optional<int> parseInteger(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? std::optional<int>(value) : std::nullopt;
}

enum class Removal { Backward, Forward };

QString textAfterInsert(const QLineEdit &edit, const QString &typed)
{
    QString text = edit.text();
    if (edit.hasSelectedText())
        return text.replace(edit.selectionStart(), edit.selectionLength(), typed);
    return text.insert(edit.cursorPosition(), typed);
}

QString textAfterRemoval(const QLineEdit &edit, Removal removal)
{
    QString text = edit.text();
    if (edit.hasSelectedText())
        return text.remove(edit.selectionStart(), edit.selectionLength());
    const int caret = edit.cursorPosition();
    if (removal == Removal::Backward && caret > 0)
        return text.remove(caret - 1, 1);
    if (removal == Removal::Forward && caret < text.size())
        return text.remove(caret, 1);
    return text;
}

// Whatever the modifiers: the line edit inserts the text of Alt and AltGr chords too.
bool isTypedCharacter(const QKeyEvent &event)
{
    const QString text = event.text();
    return !text.isEmpty() && text.at(0).isPrint();
}

bool isDigits(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(),
                       [](QChar ch) { return ch >= u'0' && ch <= u'9'; });
}

// The editing shortcuts pass to the field; what they put in is judged by DigitsValidator.
bool isEditingShortcut(const QKeyEvent &event)
{
    for (const auto key : {QKeySequence::Paste, QKeySequence::Cut, QKeySequence::Copy,
                           QKeySequence::Undo, QKeySequence::Redo, QKeySequence::SelectAll}) {
        if (event.matches(key))
            return true;
    }
    return false;
}

bool isPlainDeletion(const QKeyEvent &event)
{
    const auto modifiers = event.modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    return modifiers == Qt::NoModifier;
}

} // namespace

bool IntegerRules::setMin(int min)
{
    if (min == m_min || min > m_max)
        return false;
    m_min = min;
    return true;
}

bool IntegerRules::setMax(int max)
{
    if (max == m_max || max < m_min)
        return false;
    m_max = max;
    return true;
}

IntegerRules::Reading IntegerRules::read(const QString &text) const
{
    if (text.isEmpty())
        return {0, false};
    const int value = parseInteger(text).value_or(0);
    if (value < m_min)
        return {m_min, true};
    if (m_max != 0 && value > m_max)
        return {m_max, true};
    return {value, false};
}

bool IntegerRules::refusesKey(QLineEdit *edit, QKeyEvent *event) const
{
    if (isEditingShortcut(*event))
        return false;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        edit->selectAll();
        return false;
    case Qt::Key_Backspace:
        return !isPlainDeletion(*event) ||
               refusesDeletionResult(textAfterRemoval(*edit, Removal::Backward));
    case Qt::Key_Delete:
        return !isPlainDeletion(*event) ||
               refusesDeletionResult(textAfterRemoval(*edit, Removal::Forward));
    default:
        break;
    }
    if (!isTypedCharacter(*event))
        return false; // caret movement, Tab, Escape and other keys that type nothing
    const QString typed = event->text();
    return typed.size() != 1 || !isDigits(typed) ||
           refusesDigitResult(textAfterInsert(*edit, typed));
}

bool IntegerRules::refusesDigitResult(const QString &prospective) const
{
    const std::optional<int> value = parseInteger(prospective);
    return !value || *value < m_min || (m_max != 0 && *value > m_max);
}

bool IntegerRules::refusesDeletionResult(const QString &prospective) const
{
    if (prospective.isEmpty())
        return m_min != 0;
    const std::optional<int> value = parseInteger(prospective);
    return !value || (m_min != 0 && *value < m_min);
}

QValidator::State DigitsValidator::validate(QString &input, int &) const
{
    return isDigits(input) ? Acceptable : Invalid;
}
