#include "settings/formdatabase.h"

#include "core/programvalues.h"
#include "desk/settings/databasesettingsstore.h"
#include "desk/tablefiles.h"
#include "ui/common/integeredit.h"
#include "ui/common/windowhelpers.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QGroupBox *group(const QString &title, QWidget *parent, QBoxLayout *into)
{
    auto *box = new QGroupBox(title, parent);
    new QVBoxLayout(box);
    into->addWidget(box);
    return box;
}

} // namespace

TFormDatabase::TFormDatabase(DatabaseSettingsStore &store, QWidget *parent)
    : QDialog(parent), m_store(store)
{
    setObjectName(QStringLiteral("FormDatabase"));
    setWindowTitle(QStringLiteral(" Údržba databáze"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto *layout = new QVBoxLayout(this);

    QGroupBox *start = group(QStringLiteral("Údržba databáze při startu programu"), this, layout);
    m_checkBoxDeleteFiles = checkBox(QStringLiteral("Vymazání řídících souborů"),
                                     QStringLiteral("CheckBoxDeleteFiles"), start);
    m_checkBoxCreateIndex = checkBox(QStringLiteral("Vytvoření nových indexů databáze"),
                                     QStringLiteral("CheckBoxCreateIndex"), start);
    m_checkBoxRegenerationIndex = checkBox(QStringLiteral("Obnova indexů databáze"),
                                           QStringLiteral("CheckBoxRegenerationIndex"), start);
    m_checkBoxPackTable =
        checkBox(QStringLiteral("Komprimace databáze"), QStringLiteral("CheckBoxPackTable"), start);
    m_checkBoxWait = checkBox(QStringLiteral("Prodleva při startu programu"),
                              QStringLiteral("CheckBoxWait"), start);
    QGroupBox *running =
        group(QStringLiteral("Údržba databáze při spuštěném programu"), this, layout);
    m_checkBoxSave = checkBox(QStringLiteral("Okamžité ukládaní změn databáze"),
                              QStringLiteral("CheckBoxSave"), running);
    QGroupBox *cipher = group(QStringLiteral("Šifrování databáze"), this, layout);
    m_checkBoxSecured = checkBox(QStringLiteral("Ochrana databáze šifrováním"),
                                 QStringLiteral("CheckBoxSecured"), cipher);
    layout->addWidget(buildSalesGroup());

    auto *sizeRow = new QHBoxLayout;
    sizeRow->addWidget(new QLabel(QStringLiteral("Velikost databáze:"), this));
    m_labelSize = new QLabel(this);
    m_labelSize->setObjectName(QStringLiteral("LabelSize"));
    sizeRow->addWidget(m_labelSize);
    sizeRow->addStretch();
    layout->addLayout(sizeRow);

    const OkCancelButtons buttons = addOkCancelRow(layout, this);
    m_buttonCancel = buttons.cancel;
    buttons.ok->setDefault(true);
    connect(buttons.ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_buttonCancel, &QPushButton::clicked, this, &TFormDatabase::ButtonCancelClick);
    connect(m_checkBoxSales, &QCheckBox::toggled, this, &TFormDatabase::updateSalesField);
    // Fixed: a window manager offers no maximise button that would only stretch the form.
    setFixedSize(sizeHint().expandedTo({233, 418}));
}

QCheckBox *TFormDatabase::checkBox(const QString &caption, const QString &name, QWidget *parent)
{
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    parent->layout()->addWidget(box);
    return box;
}

QWidget *TFormDatabase::buildSalesGroup()
{
    auto *box = new QGroupBox(QStringLiteral("Vymazání záznamů při startu programu !!!"), this);
    auto *column = new QVBoxLayout(box);
    m_checkBoxSales = new QCheckBox(QStringLiteral("Vymazat záznamy s doklady o prodeji,"), box);
    m_checkBoxSales->setObjectName(QStringLiteral("CheckBoxSales"));
    column->addWidget(m_checkBoxSales);
    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("jsou-li starší více jak"), box));
    m_integerEditSales = new TIntegerEdit(box);
    m_integerEditSales->setObjectName(QStringLiteral("IntegerEditSales"));
    m_integerEditSales->setMin(0);
    m_integerEditSales->setMax(DatabaseSettingsStore::MaxDays);
    m_integerEditSales->setFixedWidth(60);
    row->addWidget(m_integerEditSales);
    row->addWidget(new QLabel(QStringLiteral("dní"), box));
    row->addStretch();
    column->addLayout(row);
    return box;
}

QList<std::pair<QCheckBox *, QLatin1String>> TFormDatabase::checkBoxes() const
{
    using Store = DatabaseSettingsStore;
    return {{m_checkBoxDeleteFiles, Store::CheckBoxDeleteFiles},
            {m_checkBoxCreateIndex, Store::CheckBoxCreateIndex},
            {m_checkBoxRegenerationIndex, Store::CheckBoxRegenerationIndex},
            {m_checkBoxPackTable, Store::CheckBoxPackTable},
            {m_checkBoxWait, Store::CheckBoxWait},
            {m_checkBoxSave, Store::CheckBoxSave},
            {m_checkBoxSecured, Store::CheckBoxSecured},
            {m_checkBoxSales, Store::CheckBoxSales}};
}

void TFormDatabase::showStore()
{
    for (const auto &[box, key] : checkBoxes())
        box->setChecked(m_store.checked(key));
    m_integerEditSales->setValue(m_store.purgeReceiptsAfterDays());
}

void TFormDatabase::takeIntoStore()
{
    for (const auto &[box, key] : checkBoxes())
        m_store.setChecked(key, box->isChecked());
    m_store.setValue(DatabaseSettingsStore::IntegerEditSales, m_integerEditSales->value());
}

void TFormDatabase::done(int result)
{
    takeIntoStore();
    ConfigError error;
    if (!m_store.write(&error))
        SettingsStore::report(error);
    QDialog::done(result);
}

void TFormDatabase::updateSalesField()
{
    m_integerEditSales->setEnabled(m_checkBoxSales->isChecked());
}

void TFormDatabase::showEvent(QShowEvent *event)
{
    ConfigError error;
    if (!m_store.read(&error))
        SettingsStore::report(error); // the values in force stay
    showStore();
    QDialog::showEvent(event);
    centreOnScreen(this);
    m_labelSize->setText(QStringLiteral("%1 KB").arg(DatabaseSize(Program().DatabaseDir) / 1024));
    updateSalesField();
}

void TFormDatabase::keyPressEvent(QKeyEvent *event)
{
    // Escape is "Storno", which reloads the stored values; the close box does not.
    if (!escapeClicksButton(event, m_buttonCancel))
        QDialog::keyPressEvent(event);
}

void TFormDatabase::ButtonCancelClick()
{
    showStore();
    updateSalesField();
    reject();
}
