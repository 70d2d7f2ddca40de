#include "ui/common/currencyedit.h"

#include "core/czechformat.h"
#include "core/pricing.h"
#include "ui/common/calculatorpopup.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QScreen>
#include <QStyle>
#include <QToolButton>
#include <QValidator>

namespace {

constexpr int ButtonWidth = 16;

QString plainForm(double value)
{
    return CzechFormat::fixed2(value);
}

} // namespace

// Judges every edit of the plain form: typing, deleting and pasting alike.
class CurrencyEdit::PlainAmountValidator : public QValidator
{
public:
    using QValidator::QValidator;

    void setAllowNegative(bool allow) { m_allowNegative = allow; }

    State validate(QString &input, int &) const override
    {
        static const QRegularExpression signedAmount(QStringLiteral("^-?[0-9]*(,[0-9]{0,2})?$"));
        static const QRegularExpression amount(QStringLiteral("^[0-9]*(,[0-9]{0,2})?$"));
        if (input.size() > CurrencyEdit::MaxLength)
            return Invalid;
        const QRegularExpression &pattern = m_allowNegative ? signedAmount : amount;
        return pattern.match(input).hasMatch() ? Acceptable : Invalid;
    }

private:
    bool m_allowNegative = false;
};

CurrencyEdit::CurrencyEdit(QWidget *parent) : QLineEdit(parent)
{
    setAttribute(Qt::WA_InputMethodEnabled, false); // composed text would bypass the filter
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_validator = new PlainAmountValidator(this);
    setValidator(m_validator);
    setText(CzechFormat::amount(0.0));

    m_calculatorButton = new QToolButton(this);
    m_calculatorButton->setObjectName(QStringLiteral("ButtonCalculator"));
    m_calculatorButton->setArrowType(Qt::DownArrow);
    m_calculatorButton->setFocusPolicy(Qt::NoFocus);
    m_calculatorButton->setCursor(Qt::ArrowCursor);
    m_calculatorButton->setAutoRaise(true);
    m_calculatorButton->setToolTip(QStringLiteral("Kalkulačka"));
    setTextMargins(0, 0, ButtonWidth, 0);
    connect(m_calculatorButton, &QToolButton::clicked, this, &CurrencyEdit::showCalculator);
    connect(this, &QLineEdit::textChanged, this, &CurrencyEdit::followText);
}

double CurrencyEdit::value() const
{
    double amount = 0.0;
    return CzechFormat::parseAmount(text(), &amount) ? amount : 0.0;
}

void CurrencyEdit::setValue(double value)
{
    const double rounded = roundToCents(value);
    setText(hasFocus() ? plainForm(rounded) : CzechFormat::amount(rounded));
}

void CurrencyEdit::setAllowNegative(bool allow)
{
    m_allowNegative = allow;
    m_validator->setAllowNegative(allow);
}

bool CurrencyEdit::canHold(double value) const
{
    const double rounded = roundToCents(value);
    return (m_allowNegative || rounded >= 0.0) && plainForm(rounded).size() <= MaxLength;
}

void CurrencyEdit::followText()
{
    const double current = value();
    if (current == m_lastValue)
        return;
    m_lastValue = current;
    emit valueChanged(current);
}

void CurrencyEdit::showCalculator()
{
    if (isReadOnly() || !isEnabled())
        return;
    auto *popup = new CalculatorPopup(
        value(),
        [this](double result) {
            if (!canHold(result))
                return false;
            setValue(result);
            return true;
        },
        this);
    popup->adjustSize();
    QPoint position = mapToGlobal(QPoint(width() - popup->width(), height()));
    if (const QScreen *shown = screen()) {
        const QRect available = shown->availableGeometry();
        if (position.y() + popup->height() > available.bottom())
            position.setY(mapToGlobal(QPoint(0, 0)).y() - popup->height());
        position.setX(qBound(available.left(), position.x(), available.right() - popup->width()));
    }
    popup->move(position);
    popup->show();
}

void CurrencyEdit::keyPressEvent(QKeyEvent *event)
{
    const bool opensCalculator =
        event->key() == Qt::Key_F4 ||
        (event->key() == Qt::Key_Down && event->modifiers().testFlag(Qt::AltModifier));
    if (opensCalculator) {
        showCalculator();
        event->accept();
        return;
    }
    if (event->text() == QLatin1String(".")) {
        // The decimal separator is a comma whichever key typed it.
        QKeyEvent comma(event->type(), Qt::Key_Comma, event->modifiers(), QStringLiteral(","),
                        event->isAutoRepeat(), ushort(event->count()));
        QLineEdit::keyPressEvent(&comma);
        event->setAccepted(comma.isAccepted());
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void CurrencyEdit::focusInEvent(QFocusEvent *event)
{
    if (event->reason() != Qt::PopupFocusReason)
        setText(plainForm(value()));
    QLineEdit::focusInEvent(event);
}

void CurrencyEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason)
        setText(CzechFormat::amount(value()));
}

void CurrencyEdit::resizeEvent(QResizeEvent *event)
{
    QLineEdit::resizeEvent(event);
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    m_calculatorButton->setGeometry(width() - frame - ButtonWidth, frame, ButtonWidth,
                                    height() - 2 * frame);
}
