#include "settings/formsetupsolaredit.h"

#include "core/pricing.h"
#include "data/table.h"
#include "desk/salonrecords.h"
#include "desk/salonschema.h"
#include "ui/common/currencyedit.h"
#include "ui/common/integeredit.h"
#include "ui/common/storabletextvalidator.h"
#include "ui/common/windowhelpers.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int FieldWidth = 110;
constexpr int MaxStartup = 32767; // a Short field

int descriptionLength()
{
    return solarsTable().field(SolarsField::Description)->size;
}

} // namespace

TFormSetupSolarEdit::TFormSetupSolarEdit(const Record &record, QWidget *parent)
    : QDialog(parent), m_original(UnitRecord::of(record)), m_counter(m_original.counter)
{
    setWindowTitle(QStringLiteral(" Editace solárka"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto *layout = new QVBoxLayout(this);

    auto *fields = new QGridLayout;
    fields->setColumnMinimumWidth(1, FieldWidth);
    m_textSolar = new QLabel(QString::number(unit()), this);
    m_textSolar->setObjectName(QStringLiteral("TextSolar"));
    QFont bold = m_textSolar->font();
    bold.setBold(true);
    m_textSolar->setFont(bold);
    fields->addWidget(new QLabel(QStringLiteral("Solárko:"), this), 0, 0);
    fields->addWidget(m_textSolar, 0, 1);

    m_editDescription = new QLineEdit(m_original.description, this);
    m_editDescription->setObjectName(QStringLiteral("EditDescription"));
    m_editDescription->setMaxLength(descriptionLength());
    m_editDescription->setValidator(new StorableTextValidator(m_editDescription));
    m_editDescription->setMinimumWidth(2 * FieldWidth);
    fields->addWidget(new QLabel(QStringLiteral("Popis:"), this), 1, 0);
    fields->addWidget(m_editDescription, 1, 1, 1, 2);

    m_currencyEditPrice = new CurrencyEdit(this);
    m_currencyEditPrice->setObjectName(QStringLiteral("CurrencyEditPrice"));
    m_currencyEditPrice->setValue(m_original.price);
    m_currencyEditPrice->setFixedWidth(FieldWidth);
    auto *price = new QHBoxLayout;
    price->addWidget(m_currencyEditPrice);
    price->addWidget(new QLabel(QStringLiteral("Kč"), this));
    price->addStretch();
    fields->addWidget(new QLabel(QStringLiteral("Cena [Kč/min]:"), this), 2, 0);
    fields->addLayout(price, 2, 1, 1, 2);
    layout->addLayout(fields);

    auto *group = new QGroupBox(QStringLiteral("Provoz solárka"), this);
    auto *counters = new QGridLayout(group);
    m_textCounterHours = new QLabel(group);
    m_textCounterHours->setObjectName(QStringLiteral("TextCounterHours"));
    m_textCounterHours->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_textCounterHours->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_textCounterHours->setFixedWidth(FieldWidth);
    auto *counterReset =
        namedButton(QStringLiteral("Vynulovat"), QStringLiteral("ButtonCounterReset"), group);
    counters->addWidget(new QLabel(QStringLiteral("Doba provozu [H]:"), group), 0, 0);
    counters->addWidget(m_textCounterHours, 0, 1);
    counters->addWidget(counterReset, 0, 2);

    m_integerEditStartup = new TIntegerEdit(group);
    m_integerEditStartup->setObjectName(QStringLiteral("IntegerEditStartup"));
    m_integerEditStartup->setMax(MaxStartup);
    m_integerEditStartup->setAlignment(Qt::AlignRight);
    m_integerEditStartup->setValue(m_original.startup);
    m_integerEditStartup->setFixedWidth(FieldWidth);
    auto *startupReset =
        namedButton(QStringLiteral("Vynulovat"), QStringLiteral("ButtonStartupReset"), group);
    counters->addWidget(new QLabel(QStringLiteral("Počet startů:"), group), 1, 0);
    counters->addWidget(m_integerEditStartup, 1, 1);
    counters->addWidget(startupReset, 1, 2);
    counters->setColumnStretch(3, 1);
    layout->addWidget(group);

    m_checkBoxActive = new QCheckBox(QStringLiteral("Solárko je aktivní"), this);
    m_checkBoxActive->setObjectName(QStringLiteral("CheckBoxActive"));
    m_checkBoxActive->setChecked(m_original.active);
    layout->addWidget(m_checkBoxActive);

    const auto [ok, cancel] = addOkCancelRow(layout, this);
    ok->setDefault(true);

    connect(counterReset, &QPushButton::clicked, this,
            &TFormSetupSolarEdit::ButtonCounterResetClick);
    connect(startupReset, &QPushButton::clicked, this,
            &TFormSetupSolarEdit::ButtonStartupResetClick);
    connect(ok, &QPushButton::clicked, this, &TFormSetupSolarEdit::accept);
    connect(cancel, &QPushButton::clicked, this, &TFormSetupSolarEdit::reject);
    showCounterHours();
    m_editDescription->setFocus();
    setFixedSize(sizeHint());
}

int TFormSetupSolarEdit::unit() const
{
    return m_original.solar;
}

void TFormSetupSolarEdit::showCounterHours()
{
    const FieldDisplay *display = solarsTable().display(SolarsField::CounterHours);
    m_textCounterHours->setText(display->text(FieldType::Float, counterHours(m_counter)));
}

void TFormSetupSolarEdit::ButtonCounterResetClick()
{
    m_counter = 0;
    showCounterHours();
}

void TFormSetupSolarEdit::ButtonStartupResetClick()
{
    m_integerEditStartup->setValue(0);
}

bool TFormSetupSolarEdit::writeChanges(Table &table) const
{
    // The price field shows the stored price in cents: only a price typed anew is written.
    UnitRecord shown = m_original;
    shown.price = roundToCents(m_original.price);
    UnitRecord edited = shown;
    edited.description = m_editDescription->text();
    edited.price = m_currencyEditPrice->value();
    edited.counter = m_counter;
    edited.startup = m_integerEditStartup->value();
    edited.active = m_checkBoxActive->isChecked();
    return edited.writeChanges(table, shown);
}
