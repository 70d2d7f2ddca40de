#include "dbconfigdialog.h"

#include "core/engineconfig.h"
#include "dbconfigcommands.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

DbConfigDialog::DbConfigDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral(" Konfigurace databáze"));

    m_aliasDirectory = new QLineEdit(EngineConfig::aliasDirectory(EngineConfig::AliasName));
    m_netDirectory = new QLineEdit(EngineConfig::aliasExists(EngineConfig::AliasName)
                                       ? EngineConfig::netDirectory()
                                       : QString());
    auto *aliasButton = new QPushButton(QStringLiteral("Uložit alias"));
    auto *aliasGroup = new QGroupBox(QStringLiteral("Alias %1").arg(EngineConfig::AliasName));
    auto *aliasForm = new QFormLayout(aliasGroup);
    aliasForm->addRow(QStringLiteral("Adresář databáze:"), directoryRow(m_aliasDirectory));
    aliasForm->addRow(QStringLiteral("Síťový adresář:"), directoryRow(m_netDirectory));
    aliasForm->addRow(QString(), aliasButton);

    m_createDirectory = new QLineEdit;
    auto *createButton = new QPushButton(QStringLiteral("Vytvořit tabulky"));
    auto *createGroup = new QGroupBox(QStringLiteral("Nová instalace"));
    auto *createForm = new QFormLayout(createGroup);
    createForm->addRow(QStringLiteral("Adresář:"), directoryRow(m_createDirectory));
    createForm->addRow(QString(), createButton);

    m_backend = new QComboBox;
    m_backend->addItem(QStringLiteral("ppdev (paralelní port přes /dev/parport0)"),
                       QStringLiteral("ppdev"));
    m_backend->addItem(QStringLiteral("přímý přístup k portu"), QStringLiteral("direct"));
    m_backend->addItem(QStringLiteral("simulátor bez portu"), QStringLiteral("simulator"));
    const int current = m_backend->findData(EngineConfig::portBackend());
    m_backend->setCurrentIndex(current < 0 ? 0 : current);
    auto *backendButton = new QPushButton(QStringLiteral("Uložit"));
    auto *portGroup = new QGroupBox(QStringLiteral("Port"));
    auto *portForm = new QFormLayout(portGroup);
    portForm->addRow(QStringLiteral("Přístup k portu:"), m_backend);
    portForm->addRow(QString(), backendButton);

    m_status = new QLabel;
    m_status->setWordWrap(true);
    auto *buttons = new QDialogButtonBox;
    QPushButton *close = buttons->addButton(QStringLiteral("Zavřít"), QDialogButtonBox::RejectRole);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(aliasGroup);
    layout->addWidget(createGroup);
    layout->addWidget(portGroup);
    layout->addWidget(m_status);
    layout->addWidget(buttons);

    connect(aliasButton, &QPushButton::clicked, this, &DbConfigDialog::saveAlias);
    connect(createButton, &QPushButton::clicked, this, &DbConfigDialog::createTables);
    connect(backendButton, &QPushButton::clicked, this, &DbConfigDialog::saveBackend);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    resize(520, sizeHint().height());
}

QWidget *DbConfigDialog::directoryRow(QLineEdit *edit)
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *browse = new QPushButton(QStringLiteral("Vyhledat..."));
    layout->addWidget(edit, 1);
    layout->addWidget(browse);
    connect(browse, &QPushButton::clicked, this, [this, edit] {
        const QString chosen = QFileDialog::getExistingDirectory(
            this, QStringLiteral("Vyberte adresář"), edit->text());
        if (!chosen.isEmpty())
            edit->setText(chosen);
    });
    return row;
}

void DbConfigDialog::report(bool ok, const QString &message)
{
    m_status->setText(message);
    m_status->setStyleSheet(ok ? QString() : QStringLiteral("color: #b00000;"));
}

void DbConfigDialog::saveAlias()
{
    const CommandResult result =
        DbConfig::setAlias(m_aliasDirectory->text(), m_netDirectory->text());
    report(result.ok, result.message);
}

void DbConfigDialog::createTables()
{
    const CommandResult result = DbConfig::createInstallation(m_createDirectory->text());
    report(result.ok, result.message);
    if (result.ok && m_aliasDirectory->text().isEmpty())
        m_aliasDirectory->setText(m_createDirectory->text());
}

void DbConfigDialog::saveBackend()
{
    const CommandResult result = DbConfig::setPortBackend(m_backend->currentData().toString());
    report(result.ok, result.message);
}
