#include "settings/formsetupsolar.h"

#include "core/clock.h"
#include "data/table.h"
#include "data/tablemodel.h"
#include "desk/databasesaver.h"
#include "desk/salonrecords.h"
#include "desk/salonschema.h"
#include "desk/settings/solarsettingsstore.h"
#include "desk/transactionlog.h"
#include "portio/portaddress.h"
#include "portio/unitswitch.h"
#include "settings/formsetupsolaredit.h"
#include "ui/common/integeredit.h"
#include "ui/common/messagedialogs.h"
#include "ui/common/recordgrid.h"
#include "ui/common/uifonts.h"
#include "ui/common/windowhelpers.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValidator>

#include <algorithm>

namespace {

const QString TransactionName = QStringLiteral("Nastavení solárka");

constexpr int VisibleSolars = 8;
constexpr int ButtonWidth = 80;
constexpr int SmallFieldWidth = 48;

// The port address: up to four hexadecimal digits, letters turned to upper case as typed.
class HexPortValidator : public QValidator
{
public:
    using QValidator::QValidator;

    State validate(QString &input, int &) const override
    {
        input = input.toUpper();
        for (const QChar ch : std::as_const(input)) {
            if (!(ch >= u'0' && ch <= u'9') && !(ch >= u'A' && ch <= u'F'))
                return Invalid;
        }
        return Acceptable;
    }
};

QPushButton *makeButton(const QString &caption, const QString &name, QWidget *parent)
{
    QPushButton *button = namedButton(caption, name, parent);
    button->setMinimumWidth(ButtonWidth);
    return button;
}

} // namespace

TFormSetupSolar::TFormSetupSolar(SolarSettingsStore &store, Table &tableSolars, EventLog &log,
                                 DatabaseSaver &saver, QWidget *parent)
    : QDialog(parent), m_store(store), m_tableSolars(tableSolars), m_log(log), m_saver(saver)
{
    setObjectName(QStringLiteral("FormSetupSolar"));
    setWindowTitle(QStringLiteral(" Nastavení"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto *layout = new QVBoxLayout(this);
    buildSolarsGroup(layout);

    auto *middle = new QHBoxLayout;
    middle->addWidget(buildDiscountGroup());
    auto *right = new QVBoxLayout;
    right->addWidget(buildTaxGroup());
    right->addWidget(buildPortGroup());
    m_checkBoxSaleSalesAll = addCheckBoxGroup(right, QStringLiteral("Evidence dokladů"),
                                              QStringLiteral("Evidovat všechny doklady"),
                                              QStringLiteral("CheckBoxSaleSalesAll"));
    m_checkBoxUseDialogs =
        addCheckBoxGroup(right, QStringLiteral("Spouštění solárek"), QStringLiteral("Dialog okny"),
                         QStringLiteral("CheckBoxUseDialogs"));
    right->addStretch();
    middle->addLayout(right, 1);
    layout->addLayout(middle);

    const OkCancelButtons buttons = addOkCancelRow(layout, this);
    m_buttonOk = buttons.ok;
    m_buttonCancel = buttons.cancel;
    for (QPushButton *button : {m_buttonOk, m_buttonCancel})
        button->setMinimumWidth(ButtonWidth);

    connect(m_buttonOk, &QPushButton::clicked, this, &TFormSetupSolar::accept);
    connect(m_buttonCancel, &QPushButton::clicked, this, &TFormSetupSolar::ButtonCancelClick);
    connect(m_integerEditTax, &QLineEdit::textChanged, this, &TFormSetupSolar::EditsChange);
    connect(m_editPort, &QLineEdit::textChanged, this, &TFormSetupSolar::EditsChange);
    setFixedSize(sizeHint());
}

void TFormSetupSolar::buildSolarsGroup(QLayout *layout)
{
    auto *group = new QGroupBox(QStringLiteral("Solárka"), this);
    auto *groupLayout = new QHBoxLayout(group);
    m_modelSolars = new TableModel(&m_tableSolars, solarsTable().visibleColumns(), this);
    m_gridSolars = named(new RecordGrid(m_modelSolars, group), QStringLiteral("DBGridSolars"));
    const int rowHeight = m_gridSolars->rowHeight();
    QHeaderView *titles = m_gridSolars->horizontalHeader();
    titles->setSectionsClickable(false);
    titles->setSectionResizeMode(QHeaderView::ResizeToContents);
    const int description = m_modelSolars->columnOfField(SolarsField::Description);
    titles->setSectionResizeMode(description, QHeaderView::Stretch);
    const int frame = 2 * m_gridSolars->frameWidth();
    m_gridSolars->setFixedHeight(titles->sizeHint().height() + VisibleSolars * rowHeight + frame);
    m_gridSolars->setMinimumWidth(520);
    groupLayout->addWidget(m_gridSolars);

    m_buttonSolarsEdit =
        makeButton(QStringLiteral("Editovat..."), QStringLiteral("ButtonSolarsEdit"), group);
    auto *side = new QVBoxLayout;
    side->addWidget(m_buttonSolarsEdit);
    side->addStretch();
    groupLayout->addLayout(side);
    layout->addWidget(group);
    switchDefaultButtonWithFocus(group);

    connect(m_gridSolars, &QTableView::doubleClicked, this, &TFormSetupSolar::DBGridSolarsDblClick);
    connect(m_buttonSolarsEdit, &QPushButton::clicked, this,
            &TFormSetupSolar::ButtonSolarsEditClick);
}

QWidget *TFormSetupSolar::buildDiscountGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Slevy:"), this);
    auto *grid = new QGridLayout(group);
    grid->addWidget(new QLabel(QStringLiteral("Výchozí:"), group), 0, 0);
    m_editOffDefault = named(new QLineEdit(group), QStringLiteral("EditOffDefault"));
    m_editOffDefault->setMaxLength(3);
    m_editOffDefault->setEnabled(false); // set by "Výchozí", never typed
    m_editOffDefault->setFixedWidth(SmallFieldWidth);
    grid->addWidget(m_editOffDefault, 0, 1, Qt::AlignLeft);

    m_listBoxOff = named(new QListWidget(group), QStringLiteral("ListBoxOff"));
    m_listBoxOff->setSelectionMode(QAbstractItemView::SingleSelection);
    m_listBoxOff->setFixedWidth(2 * SmallFieldWidth + grid->horizontalSpacing());
    grid->addWidget(m_listBoxOff, 1, 0, 4, 2);

    m_integerEditOff = named(new TIntegerEdit(group), QStringLiteral("IntegerEditOff"));
    m_integerEditOff->setMax(SolarSettingsStore::MaxDiscount);
    m_integerEditOff->setFixedWidth(ButtonWidth);
    grid->addWidget(m_integerEditOff, 1, 2);
    m_buttonOffAdd = makeButton(QStringLiteral("Přidat"), QStringLiteral("ButtonOffAdd"), group);
    m_buttonOffDelete =
        makeButton(QStringLiteral("Odebrat"), QStringLiteral("ButtonOffDelete"), group);
    m_buttonOffDefault =
        makeButton(QStringLiteral("Výchozí"), QStringLiteral("ButtonOffDefault"), group);
    grid->addWidget(m_buttonOffAdd, 2, 2);
    grid->addWidget(m_buttonOffDelete, 3, 2);
    grid->addWidget(m_buttonOffDefault, 4, 2, Qt::AlignTop);
    grid->setRowStretch(4, 1);
    switchDefaultButtonWithFocus(group);

    connect(m_integerEditOff, &QLineEdit::textChanged, this,
            [this](const QString &text) { m_buttonOffAdd->setEnabled(!text.isEmpty()); });
    connect(m_buttonOffAdd, &QPushButton::clicked, this, &TFormSetupSolar::ButtonOffAddClick);
    connect(m_buttonOffDelete, &QPushButton::clicked, this, &TFormSetupSolar::ButtonOffDeleteClick);
    connect(m_buttonOffDefault, &QPushButton::clicked, this,
            &TFormSetupSolar::ButtonOffDefaultClick);
    return group;
}

QCheckBox *TFormSetupSolar::addCheckBoxGroup(QBoxLayout *layout, const QString &title,
                                             const QString &caption, const QString &name)
{
    auto *group = new QGroupBox(title, this);
    auto *checkBox = named(new QCheckBox(caption, group), name);
    (new QVBoxLayout(group))->addWidget(checkBox);
    layout->addWidget(group);
    return checkBox;
}

QWidget *TFormSetupSolar::buildTaxGroup()
{
    auto *group = new QGroupBox(QStringLiteral("DPH"), this);
    auto *row = new QHBoxLayout(group);
    row->addWidget(new QLabel(QStringLiteral("Sazba DPH:"), group));
    m_integerEditTax = named(new TIntegerEdit(group), QStringLiteral("IntegerEditTax"));
    m_integerEditTax->setMax(MaxTaxRate);
    m_integerEditTax->setAlignment(Qt::AlignRight);
    m_integerEditTax->setFixedWidth(SmallFieldWidth);
    row->addWidget(m_integerEditTax);
    row->addWidget(new QLabel(QStringLiteral("%"), group));
    row->addStretch();
    return group;
}

QWidget *TFormSetupSolar::buildPortGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Port"), this);
    auto *row = new QHBoxLayout(group);
    row->addWidget(new QLabel(QStringLiteral("Port [Hex]:"), group));
    m_editPort = named(new QLineEdit(group), QStringLiteral("EditPort"));
    m_editPort->setMaxLength(SolarSettingsStore::PortDigits);
    m_editPort->setValidator(new HexPortValidator(m_editPort));
    m_editPort->setAttribute(Qt::WA_InputMethodEnabled, false);
    m_editPort->setFixedWidth(SmallFieldWidth);
    row->addWidget(m_editPort);
    row->addStretch();
    return group;
}

QStringList TFormSetupSolar::discounts() const
{
    QStringList texts;
    for (int row = 0; row < m_listBoxOff->count(); ++row)
        texts.append(m_listBoxOff->item(row)->text());
    return texts;
}

void TFormSetupSolar::showStore()
{
    setDiscounts(m_store.discounts());
    m_editOffDefault->setText(m_store.defaultDiscount());
    m_integerEditTax->setValue(m_store.taxRate());
    m_editPort->setText(m_store.portText());
    m_checkBoxSaleSalesAll->setChecked(m_store.recordAllReceipts());
    m_checkBoxUseDialogs->setChecked(m_store.useDialogs());
}

void TFormSetupSolar::takeIntoStore()
{
    m_store.setLines(SolarSettingsStore::ListBoxOff, discounts());
    m_store.setText(SolarSettingsStore::EditOffDefault, m_editOffDefault->text());
    m_store.setTaxRate(m_integerEditTax->value());
    m_store.setText(SolarSettingsStore::EditPort, m_editPort->text());
    m_store.setChecked(SolarSettingsStore::CheckBoxSaleSalesAll,
                       m_checkBoxSaleSalesAll->isChecked());
    m_store.setChecked(SolarSettingsStore::CheckBoxUseDialogs, m_checkBoxUseDialogs->isChecked());
}

void TFormSetupSolar::tidyDiscounts()
{
    const SolarSettingsStore::Discounts tidy =
        SolarSettingsStore::tidy(discounts(), m_editOffDefault->text());
    setDiscounts(tidy.list);
    m_editOffDefault->setText(tidy.defaultDiscount);
}

void TFormSetupSolar::setDiscounts(const QStringList &discounts)
{
    if (discounts == this->discounts())
        return;
    m_listBoxOff->clear();
    m_listBoxOff->addItems(discounts);
}

void TFormSetupSolar::selectDiscount(int row)
{
    if (row >= 0 && row < m_listBoxOff->count())
        m_listBoxOff->setCurrentRow(row);
}

void TFormSetupSolar::SetButtonsOff()
{
    const bool any = m_listBoxOff->count() > 0;
    m_buttonOffDelete->setEnabled(any);
    m_buttonOffDefault->setEnabled(any);
}

void TFormSetupSolar::ButtonOffAddClick()
{
    const QString text = QString::number(m_integerEditOff->value());
    if (!discounts().contains(text)) {
        setDiscounts(SolarSettingsStore::SortStringList(discounts() << text));
        selectDiscount(int(discounts().indexOf(text)));
        if (m_listBoxOff->count() == 1)
            m_editOffDefault->setText(text);
        m_integerEditOff->clear();
        SetButtonsOff();
    }
    m_integerEditOff->setFocus();
}

int TFormSetupSolar::selectedDiscountRow() const
{
    const QList<QListWidgetItem *> selected = m_listBoxOff->selectedItems();
    return selected.isEmpty() ? -1 : m_listBoxOff->row(selected.constFirst());
}

void TFormSetupSolar::ButtonOffDeleteClick()
{
    const int row = selectedDiscountRow();
    if (row < 0)
        return;
    delete m_listBoxOff->takeItem(row);
    m_integerEditOff->clear();
    const int count = m_listBoxOff->count();
    if (count > 0) {
        selectDiscount(std::min(row, count - 1));
        if (!discounts().contains(m_editOffDefault->text()))
            m_editOffDefault->setText(m_listBoxOff->item(selectedDiscountRow())->text());
    } else {
        m_editOffDefault->clear();
    }
    SetButtonsOff();
}

void TFormSetupSolar::ButtonOffDefaultClick()
{
    if (const int row = selectedDiscountRow(); row >= 0)
        m_editOffDefault->setText(m_listBoxOff->item(row)->text());
}

// --- Window --------------------------------------------------------------------------------

void TFormSetupSolar::FormActivate()
{
    tidyDiscounts();
    selectDiscount(0);
    SetButtonsOff();
}

void TFormSetupSolar::showEvent(QShowEvent *event)
{
    ConfigError error;
    if (!m_store.read(&error))
        SettingsStore::report(error); // the values in force stay
    showStore();
    QDialog::showEvent(event);
    FormActivate();
}

void TFormSetupSolar::EditsChange()
{
    m_buttonOk->setEnabled(!m_integerEditTax->text().isEmpty() && !m_editPort->text().isEmpty());
}

void TFormSetupSolar::keyPressEvent(QKeyEvent *event)
{
    // Escape is "Storno", which reloads the stored values; the close box does not.
    if (!escapeClicksButton(event, m_buttonCancel))
        QDialog::keyPressEvent(event);
}

void TFormSetupSolar::ButtonCancelClick()
{
    // The VAT rate is no stored value: it stays as typed.
    const int taxRate = m_integerEditTax->value();
    showStore();
    m_integerEditTax->setValue(taxRate);
    tidyDiscounts();
    reject();
}

void TFormSetupSolar::done(int result)
{
    if (!putPortInForce())
        return; // the window stays open for the address to be corrected
    m_integerEditOff->clear();
    takeIntoStore();
    ConfigError error;
    if (!m_store.write(&error))
        SettingsStore::report(error);
    QDialog::done(result);
}

bool TFormSetupSolar::putPortInForce()
{
    // A wrong address would read back as units switched on: the desk could neither start a run
    // nor close, nor open this window again to correct it.
    const QString typed = m_editPort->text();
    const QString inForce = m_store.portText();
    if (typed == inForce)
        return true;
    if (!resetPortRegister(portAddressFromText(typed))) {
        ShowWarning(QStringLiteral("Chyba při resetování portu I/O ovladačem..."),
                    QStringLiteral("Port %1 neodpovídá, platí dál port %2...").arg(typed, inForce));
        m_editPort->setFocus();
        m_editPort->selectAll();
        return false;
    }
    m_store.setText(SolarSettingsStore::EditPort, typed);
    return true;
}

// --- Units ---------------------------------------------------------------------------------

void TFormSetupSolar::DBGridSolarsDblClick(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    m_modelSolars->setCurrentRow(index.row());
    ButtonSolarsEditClick();
}

void TFormSetupSolar::ButtonSolarsEditClick()
{
    if (!editCurrentSolar()) {
        ShowDatabaseError(false);
        TransactionLog::TransactionError(m_log, TransactionName);
    }
    FormActivate(); // the window is active again
}

bool TFormSetupSolar::editCurrentSolar()
{
    if (!m_tableSolars.edit())
        return false;
    TFormSetupSolarEdit dialog(m_tableSolars.record(), this);
    if (dialog.exec() != QDialog::Accepted) {
        m_tableSolars.cancel();
        return true;
    }
    const qint64 startTick = programClock().tickCount();
    QCoreApplication::processEvents();
    if (!editUnit(dialog.unit()) || !dialog.writeChanges(m_tableSolars) || !m_tableSolars.post()) {
        m_tableSolars.cancel(); // whatever an error handler left pending
        return false;
    }
    TransactionLog::TransactionSolarOk(m_log, TransactionName, startTick, dialog.unit());
    m_saver.SaveDatabase({&m_tableSolars});
    return true;
}

bool TFormSetupSolar::editUnit(int unit)
{
    // The console's sales post this same cursor while the dialog is open; then the unit's row
    // is put into edit mode again, as it is on disk now.
    if (m_tableSolars.state() == Table::State::Edit &&
        UnitRecord::of(m_tableSolars.record()).solar == unit)
        return true;
    m_tableSolars.cancel();
    Engine::clearLastError();
    if (!locateUnit(m_tableSolars, unit)) {
        if (!Engine::lastError().isError())
            Engine::setLastError(
                EngineError(EngineErrorCode::RecordNotFound,
                            QStringLiteral("Solárko %1 již v tabulce Solars není").arg(unit)));
        return false;
    }
    return m_tableSolars.edit();
}
