#include "settings/formbackup.h"

#include "core/czechformat.h"
#include "core/programvalues.h"
#include "desk/deskbackups.h"
#include "desk/settings/backupsettingsstore.h"
#include "ui/common/integeredit.h"
#include "ui/common/windowhelpers.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QCheckBox *namedCheckBox(const QString &caption, const QString &name, QWidget *parent)
{
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    return box;
}

QLineEdit *namedEdit(const QString &name, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    return edit;
}

QLabel *namedLabel(const QString &name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    return label;
}

QString lastSuccessText(const QDateTime &time)
{
    return QStringLiteral("Poslední úspěšná záloha: %1")
        .arg(time.isValid() ? CzechFormat::dateTime(time) : QStringLiteral("žádná"));
}

} // namespace

TFormBackup::TFormBackup(BackupSettingsStore &store, DeskBackups &backups, QWidget *parent)
    : QDialog(parent), m_store(store), m_backups(backups)
{
    setObjectName(QStringLiteral("FormBackup"));
    setWindowTitle(QStringLiteral(" Zálohování"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(buildTimeGroup());
    layout->addWidget(buildDayGroup());

    auto *row = new QHBoxLayout;
    QPushButton *buttonNow =
        namedButton(QStringLiteral("Provést zálohu nyní..."), QStringLiteral("ButtonNow"), this);
    row->addWidget(buttonNow);
    m_labelLastNow = namedLabel(QStringLiteral("LabelLastNow"), this);
    row->addWidget(m_labelLastNow);
    row->addStretch();
    m_buttonOk = namedButton(QStringLiteral("Ok"), QStringLiteral("ButtonOk"), this);
    m_buttonCancel = namedButton(QStringLiteral("Storno"), QStringLiteral("ButtonCancel"), this);
    row->addWidget(m_buttonOk);
    row->addWidget(m_buttonCancel);
    layout->addLayout(row);
    m_buttonOk->setDefault(true);

    connect(buttonNow, &QPushButton::clicked, this, &TFormBackup::ButtonNowClick);
    connect(m_buttonOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_buttonCancel, &QPushButton::clicked, this, &TFormBackup::ButtonCancelClick);
    for (QCheckBox *box : {m_checkBoxBackupTime, m_checkBoxBackupDelete, m_checkBoxBackupDay})
        connect(box, &QCheckBox::clicked, this, &TFormBackup::applyCheckBoxRules);
    for (QLineEdit *edit : {m_editBackupPathTime, m_editBackupPathDay})
        connect(edit, &QLineEdit::textChanged, this, &TFormBackup::updateOkButton);
    // Fixed: a window manager offers no maximise button that would only stretch the form.
    setFixedSize(sizeHint().expandedTo({676, 179}));
}

QWidget *TFormBackup::buildTimeGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Záloha [Time]"), this);
    auto *grid = new QGridLayout(group);
    m_checkBoxBackupTime = namedCheckBox(QStringLiteral("Zálohovat každou hodinu do adresáře"),
                                         QStringLiteral("CheckBoxBackupTime"), group);
    m_editBackupPathTime = namedEdit(QStringLiteral("EditBackupPathTime"), group);
    m_buttonTime = namedButton(QStringLiteral("Vyhledat..."), QStringLiteral("ButtonTime"), group);
    m_checkBoxBackupDelete =
        namedCheckBox(QStringLiteral("Vymazat zálohy, jsou-li starší více jak"),
                      QStringLiteral("CheckBoxBackupDelete"), group);
    m_integerEditBackupDelete = new TIntegerEdit(group);
    m_integerEditBackupDelete->setObjectName(QStringLiteral("IntegerEditBackupDelete"));
    m_integerEditBackupDelete->setMin(0);
    m_integerEditBackupDelete->setMax(BackupSettingsStore::MaxDays);
    m_integerEditBackupDelete->setFixedWidth(60);
    grid->addWidget(m_checkBoxBackupTime, 0, 0);
    grid->addWidget(m_editBackupPathTime, 0, 1, 1, 2);
    grid->addWidget(m_buttonTime, 0, 3);
    grid->addWidget(m_checkBoxBackupDelete, 1, 0);
    grid->addWidget(m_integerEditBackupDelete, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("dní"), group), 1, 2);
    m_labelLastTime = namedLabel(QStringLiteral("LabelLastTime"), group);
    grid->addWidget(m_labelLastTime, 2, 0, 1, 4);
    grid->setColumnStretch(2, 1);
    browseInto(m_buttonTime, m_editBackupPathTime);
    switchDefaultButtonWithFocus(group);
    return group;
}

QWidget *TFormBackup::buildDayGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Záloha [Day]"), this);
    auto *grid = new QGridLayout(group);
    m_checkBoxBackupDay = namedCheckBox(QStringLiteral("Zálohovat každý den do adresáře"),
                                        QStringLiteral("CheckBoxBackupDay"), group);
    m_editBackupPathDay = namedEdit(QStringLiteral("EditBackupPathDay"), group);
    m_buttonDay = namedButton(QStringLiteral("Vyhledat..."), QStringLiteral("ButtonDay"), group);
    grid->addWidget(m_checkBoxBackupDay, 0, 0);
    grid->addWidget(m_editBackupPathDay, 0, 1);
    grid->addWidget(m_buttonDay, 0, 2);
    m_labelLastDay = namedLabel(QStringLiteral("LabelLastDay"), group);
    grid->addWidget(m_labelLastDay, 1, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    browseInto(m_buttonDay, m_editBackupPathDay);
    switchDefaultButtonWithFocus(group);
    return group;
}

void TFormBackup::showStore()
{
    m_checkBoxBackupTime->setChecked(m_store.hourlyBackups());
    m_editBackupPathTime->setText(m_store.text(BackupSettingsStore::EditBackupPathTime));
    m_checkBoxBackupDelete->setChecked(m_store.purgeOldBackups());
    m_integerEditBackupDelete->setValue(m_store.purgeAfterDays());
    m_checkBoxBackupDay->setChecked(m_store.dailyBackups());
    m_editBackupPathDay->setText(m_store.text(BackupSettingsStore::EditBackupPathDay));
}

void TFormBackup::takeIntoStore()
{
    m_store.setChecked(BackupSettingsStore::CheckBoxBackupTime, m_checkBoxBackupTime->isChecked());
    m_store.setText(BackupSettingsStore::EditBackupPathTime, m_editBackupPathTime->text());
    m_store.setChecked(BackupSettingsStore::CheckBoxBackupDelete,
                       m_checkBoxBackupDelete->isChecked());
    m_store.setValue(BackupSettingsStore::IntegerEditBackupDelete,
                     m_integerEditBackupDelete->value());
    m_store.setChecked(BackupSettingsStore::CheckBoxBackupDay, m_checkBoxBackupDay->isChecked());
    m_store.setText(BackupSettingsStore::EditBackupPathDay, m_editBackupPathDay->text());
}

void TFormBackup::done(int result)
{
    takeIntoStore();
    ConfigError error;
    if (!m_store.write(&error))
        SettingsStore::report(error);
    QDialog::done(result);
}

void TFormBackup::browseInto(QPushButton *button, QLineEdit *edit)
{
    connect(button, &QPushButton::clicked, this, [this, edit] {
        const QString folder = pickFolder(edit->text());
        if (!folder.isEmpty())
            edit->setText(folder);
    });
}

QString TFormBackup::pickFolder(const QString &start)
{
    return QFileDialog::getExistingDirectory(this, QStringLiteral("Vyhledat adresář"), start);
}

void TFormBackup::applyCheckBoxRules()
{
    const bool hourly = m_checkBoxBackupTime->isChecked();
    m_editBackupPathTime->setEnabled(hourly);
    m_buttonTime->setEnabled(hourly);
    m_integerEditBackupDelete->setEnabled(m_checkBoxBackupDelete->isChecked());
    const bool daily = m_checkBoxBackupDay->isChecked();
    m_editBackupPathDay->setEnabled(daily);
    m_buttonDay->setEnabled(daily);
    updateOkButton();
}

void TFormBackup::updateOkButton()
{
    const auto named = [](const QLineEdit *edit) {
        return !edit->isEnabled() || QFileInfo(edit->text()).isDir();
    };
    m_buttonOk->setEnabled(named(m_editBackupPathTime) && named(m_editBackupPathDay));
}

void TFormBackup::showEvent(QShowEvent *event)
{
    ConfigError error;
    if (!m_store.read(&error))
        SettingsStore::report(error); // the values in force stay
    showStore();
    QDialog::showEvent(event);
    centreOnScreen(this);
    applyCheckBoxRules();
    showLastSuccesses();
}

void TFormBackup::showLastSuccesses()
{
    m_labelLastTime->setText(lastSuccessText(m_backups.lastSuccess(BackupKind::Time)));
    m_labelLastDay->setText(lastSuccessText(m_backups.lastSuccess(BackupKind::Day)));
    m_labelLastNow->setText(lastSuccessText(m_backups.lastSuccess(BackupKind::Now)));
}

void TFormBackup::keyPressEvent(QKeyEvent *event)
{
    // Escape is "Storno", which reloads the stored values; the close box does not.
    if (!escapeClicksButton(event, m_buttonCancel))
        QDialog::keyPressEvent(event);
}

void TFormBackup::ButtonNowClick()
{
    const QString folder = pickFolder(Program().ProgramDir);
    if (folder.isEmpty())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_backups.BackupNow(folder);
    QApplication::restoreOverrideCursor();
    showLastSuccesses();
}

void TFormBackup::ButtonCancelClick()
{
    showStore();
    applyCheckBoxRules();
    reject();
}
