#include "ui/common/calculatorpopup.h"

#include "ui/common/uifonts.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace {

constexpr int ButtonSide = 26;

} // namespace

CalculatorPopup::CalculatorPopup(double startValue, std::function<bool(double)> takeResult,
                                 QWidget *parent)
    : QFrame(parent, Qt::Popup), m_takeResult(std::move(takeResult))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    m_calculator.start(startValue);

    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(2);
    m_display = new QLabel(this);
    m_display->setObjectName(QStringLiteral("CalculatorDisplay"));
    m_display->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_display->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_display->setFont(UiFonts::sansSerif(13, true));
    m_display->setMinimumHeight(ButtonSide);
    m_display->setAutoFillBackground(true);
    m_display->setBackgroundRole(QPalette::Base);
    layout->addWidget(m_display, 0, 0, 1, 4);

    using Operation = Calculator::Operation;
    const auto digit = [this](int d) { return [this, d] { m_calculator.inputDigit(d); }; };
    const auto operation = [this](Operation o) {
        return [this, o] { m_calculator.setOperation(o); };
    };
    addButton(
        QStringLiteral("C"), QStringLiteral("ButtonClear"), 1, 0, [this] { m_calculator.clear(); },
        3);
    addButton(QStringLiteral("÷"), QStringLiteral("ButtonDivide"), 1, 3,
              operation(Operation::Divide));
    for (int d = 1; d <= 9; ++d)
        addButton(QString::number(d), QStringLiteral("Button%1").arg(d), 4 - (d - 1) / 3,
                  (d - 1) % 3, digit(d));
    addButton(QStringLiteral("×"), QStringLiteral("ButtonMultiply"), 2, 3,
              operation(Operation::Multiply));
    addButton(QStringLiteral("−"), QStringLiteral("ButtonSubtract"), 3, 3,
              operation(Operation::Subtract));
    addButton(QStringLiteral("+"), QStringLiteral("ButtonAdd"), 4, 3, operation(Operation::Add));
    addButton(QStringLiteral("0"), QStringLiteral("Button0"), 5, 0, digit(0));
    addButton(QStringLiteral(","), QStringLiteral("ButtonComma"), 5, 1,
              [this] { m_calculator.inputComma(); });
    addButton(
        QStringLiteral("="), QStringLiteral("ButtonEquals"), 5, 2, [this] { equalsClick(); }, 2);
    m_display->setText(m_calculator.display());
}

QString CalculatorPopup::displayText() const
{
    return m_display->text();
}

void CalculatorPopup::addButton(const QString &caption, const QString &name, int row, int column,
                                const std::function<void()> &action, int columnSpan)
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setFocusPolicy(Qt::NoFocus); // the keys go to the popup itself
    button->setAutoDefault(false);
    // Square keys: a push button's own size hint would make every key as wide as "Storno".
    button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    button->setMinimumWidth(ButtonSide + 6);
    button->setFixedHeight(ButtonSide);
    static_cast<QGridLayout *>(layout())->addWidget(button, row, column, 1, columnSpan);
    connect(button, &QPushButton::clicked, this, [this, action] { run(action); });
}

void CalculatorPopup::run(const std::function<void()> &action)
{
    action();
    m_display->setText(m_calculator.display()); // closing deletes the popup later, not now
}

void CalculatorPopup::equalsClick()
{
    m_calculator.equals();
    if (m_calculator.hasError())
        return;
    if (!m_takeResult(m_calculator.value())) {
        m_calculator.markError();
        return;
    }
    close();
}

void CalculatorPopup::keyPressEvent(QKeyEvent *event)
{
    using Operation = Calculator::Operation;
    const QString text = event->text();
    const QChar typed = text.size() == 1 ? text.at(0) : QChar();
    std::function<void()> action;
    if (typed.isDigit() && typed.unicode() < 0x80)
        action = [this, typed] { m_calculator.inputDigit(typed.digitValue()); };
    else if (typed == u',' || typed == u'.')
        action = [this] { m_calculator.inputComma(); };
    else if (typed == u'+')
        action = [this] { m_calculator.setOperation(Operation::Add); };
    else if (typed == u'-')
        action = [this] { m_calculator.setOperation(Operation::Subtract); };
    else if (typed == u'*')
        action = [this] { m_calculator.setOperation(Operation::Multiply); };
    else if (typed == u'/')
        action = [this] { m_calculator.setOperation(Operation::Divide); };
    else if (typed == u'=' || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        action = [this] { equalsClick(); };
    else if (event->key() == Qt::Key_Backspace)
        action = [this] { m_calculator.removeLastCharacter(); };
    else if (event->key() == Qt::Key_Delete || typed == u'c' || typed == u'C')
        action = [this] { m_calculator.clear(); };
    if (action) {
        run(action);
        event->accept();
        return;
    }
    QFrame::keyPressEvent(event); // Escape closes the popup
}
