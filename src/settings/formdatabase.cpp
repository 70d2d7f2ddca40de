#include "settings/formdatabase.h"

#include "core/programvalues.h"
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

TFormDatabase::TFormDatabase(QWidget *parent)
    : QDialog(parent),
      m_store(this, QStringLiteral("Database"),
              {QStringLiteral("CheckBoxDeleteFiles.Checked"),
               QStringLiteral("CheckBoxCreateIndex.Checked"),
               QStringLiteral("CheckBoxRegenerationIndex.Checked"),
               QStringLiteral("CheckBoxPackTable.Checked"), QStringLiteral("CheckBoxWait.Checked"),
               QStringLiteral("CheckBoxSave.Checked"), QStringLiteral("CheckBoxSecured.Checked"),
               QStringLiteral("CheckBoxSales.Checked"), QStringLiteral("IntegerEditSales.Value")})
{
    setObjectName(QStringLiteral("FormDatabase"));
    setWindowTitle(QStringLiteral(" Údržba databáze"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto *layout = new QVBoxLayout(this);

    QGroupBox *start = group(QStringLiteral("Údržba databáze při startu programu"), this, layout);
    m_checkBoxDeleteFiles = checkBox(QStringLiteral("Vymazání řídících souborů"),
                                     QStringLiteral("CheckBoxDeleteFiles"), false, start);
    m_checkBoxCreateIndex = checkBox(QStringLiteral("Vytvoření nových indexů databáze"),
                                     QStringLiteral("CheckBoxCreateIndex"), false, start);
    m_checkBoxRegenerationIndex =
        checkBox(QStringLiteral("Obnova indexů databáze"),
                 QStringLiteral("CheckBoxRegenerationIndex"), true, start);
    m_checkBoxPackTable = checkBox(QStringLiteral("Komprimace databáze"),
                                   QStringLiteral("CheckBoxPackTable"), true, start);
    m_checkBoxWait = checkBox(QStringLiteral("Prodleva při startu programu"),
                              QStringLiteral("CheckBoxWait"), false, start);
    QGroupBox *running =
        group(QStringLiteral("Údržba databáze při spuštěném programu"), this, layout);
    m_checkBoxSave = checkBox(QStringLiteral("Okamžité ukládaní změn databáze"),
                              QStringLiteral("CheckBoxSave"), true, running);
    QGroupBox *cipher = group(QStringLiteral("Šifrování databáze"), this, layout);
    m_checkBoxSecured = checkBox(QStringLiteral("Ochrana databáze šifrováním"),
                                 QStringLiteral("CheckBoxSecured"), false, cipher);
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

QCheckBox *TFormDatabase::checkBox(const QString &caption, const QString &name, bool checked,
                                   QWidget *parent)
{
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    box->setChecked(checked);
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
    m_integerEditSales->setMax(9999);
    m_integerEditSales->setValue(0);
    m_integerEditSales->setFixedWidth(60);
    row->addWidget(m_integerEditSales);
    row->addWidget(new QLabel(QStringLiteral("dní"), box));
    row->addStretch();
    column->addLayout(row);
    return box;
}

bool TFormDatabase::readStoredSettings(ConfigError *error)
{
    const bool read = m_store.read(error);
    updateSalesField();
    return read;
}

void TFormDatabase::updateSalesField()
{
    m_integerEditSales->setEnabled(m_checkBoxSales->isChecked());
}

void TFormDatabase::showEvent(QShowEvent *event)
{
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
    m_store.revert();
    updateSalesField();
    reject();
}

bool TFormDatabase::deleteControlFiles() const
{
    return m_checkBoxDeleteFiles->isChecked();
}

bool TFormDatabase::createIndexes() const
{
    return m_checkBoxCreateIndex->isChecked();
}

bool TFormDatabase::regenerateIndexes() const
{
    return m_checkBoxRegenerationIndex->isChecked();
}

bool TFormDatabase::packTables() const
{
    return m_checkBoxPackTable->isChecked();
}

bool TFormDatabase::waitAtStart() const
{
    return m_checkBoxWait->isChecked();
}

bool TFormDatabase::saveImmediately() const
{
    return m_checkBoxSave->isChecked();
}

bool TFormDatabase::secured() const
{
    return m_checkBoxSecured->isChecked();
}

bool TFormDatabase::purgeOldReceipts() const
{
    return m_checkBoxSales->isChecked();
}

int TFormDatabase::purgeReceiptsAfterDays() const
{
    return m_integerEditSales->text().toInt();
}
