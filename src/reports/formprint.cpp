#include "reports/formprint.h"

#include "ui/common/windowhelpers.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr int MaxNumber = 9999;
}

TFormPrint::TFormPrint(const QStringList &printers, const QString &currentPrinter, int pageCount,
                       QWidget *parent)
    : QDialog(parent), m_pageCount(qMax(1, pageCount))
{
    setObjectName(QStringLiteral("FormPrint"));
    setWindowTitle(QStringLiteral("  Tisk"));
    auto *layout = new QVBoxLayout(this);

    auto *printerRow = new QHBoxLayout;
    printerRow->addWidget(new QLabel(QStringLiteral("Tiskárna:"), this));
    m_comboBoxPrinter = new QComboBox(this);
    m_comboBoxPrinter->setObjectName(QStringLiteral("ComboBoxPrinter"));
    m_comboBoxPrinter->addItems(printers);
    m_comboBoxPrinter->setCurrentIndex(qMax(0, printers.indexOf(currentPrinter)));
    m_comboBoxPrinter->setMinimumWidth(260);
    printerRow->addWidget(m_comboBoxPrinter, 1);
    layout->addLayout(printerRow);

    layout->addWidget(buildPagesGroup());
    layout->addWidget(buildCopiesGroup());
    const OkCancelButtons buttons = addOkCancelRow(layout, this);
    buttons.ok->setDefault(true);
    connect(buttons.ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(buttons.cancel, &QPushButton::clicked, this, &QDialog::reject);
    // Fixed: a window manager offers no maximise button that would only stretch the form.
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QWidget *TFormPrint::buildPagesGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Stránky"), this);
    auto *grid = new QGridLayout(group);
    m_radioButtonAll = new QRadioButton(QStringLiteral("Všechny stránky"), group);
    m_radioButtonAll->setObjectName(QStringLiteral("RadioButtonAll"));
    m_radioButtonAll->setChecked(true);
    m_radioButtonRange = new QRadioButton(QStringLiteral("Stránky"), group);
    m_radioButtonRange->setObjectName(QStringLiteral("RadioButtonRange"));
    m_rxSpinEditFrom = numberField(QStringLiteral("RxSpinEditFrom"), MaxNumber, 1);
    m_rxSpinEditTo = numberField(QStringLiteral("RxSpinEditTo"), m_pageCount, m_pageCount);
    grid->addWidget(m_radioButtonAll, 0, 0, 1, 5);
    grid->addWidget(m_radioButtonRange, 1, 0);
    grid->addWidget(new QLabel(QStringLiteral("Od:"), group), 1, 1);
    grid->addWidget(m_rxSpinEditFrom, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Do:"), group), 1, 3);
    grid->addWidget(m_rxSpinEditTo, 1, 4);
    for (QSpinBox *field : {m_rxSpinEditFrom, m_rxSpinEditTo})
        connect(field, &QSpinBox::valueChanged, m_radioButtonRange,
                [this] { m_radioButtonRange->setChecked(true); });
    return group;
}

QWidget *TFormPrint::buildCopiesGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Kopie"), this);
    auto *row = new QHBoxLayout(group);
    row->addWidget(new QLabel(QStringLiteral("Počet kopií:"), group));
    m_rxSpinEditCopy = numberField(QStringLiteral("RxSpinEditCopy"), MaxNumber, 1);
    row->addWidget(m_rxSpinEditCopy);
    row->addStretch();
    return group;
}

QSpinBox *TFormPrint::numberField(const QString &name, int maximum, int value)
{
    auto *field = new QSpinBox(this);
    field->setObjectName(name);
    field->setRange(1, maximum);
    field->setValue(value);
    field->setMinimumWidth(70);
    field->findChild<QLineEdit *>()->installEventFilter(this);
    return field;
}

bool TFormPrint::eventFilter(QObject *watched, QEvent *event)
{
    // A click into a number field selects its whole text, ready to be typed over; selected after
    // the click has placed the caret.
    if (event->type() == QEvent::MouseButtonRelease || event->type() == QEvent::FocusIn) {
        if (auto *text = qobject_cast<QLineEdit *>(watched))
            QTimer::singleShot(0, text, &QLineEdit::selectAll);
    }
    return QDialog::eventFilter(watched, event);
}

QString TFormPrint::printer() const
{
    return m_comboBoxPrinter->currentText();
}

int TFormPrint::from() const
{
    if (m_radioButtonAll->isChecked())
        return 1;
    return qMin(m_rxSpinEditFrom->value(), m_rxSpinEditTo->value());
}

int TFormPrint::to() const
{
    if (m_radioButtonAll->isChecked())
        return m_pageCount;
    return qMax(m_rxSpinEditFrom->value(), m_rxSpinEditTo->value());
}

int TFormPrint::copies() const
{
    return m_rxSpinEditCopy->value();
}
