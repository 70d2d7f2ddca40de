#include "settings/formrestore.h"

#include "core/czechformat.h"
#include "core/paths.h"
#include "desk/backupsettings.h"
#include "desk/receiptsummary.h"
#include "desk/tablefiles.h"
#include "ui/common/windowhelpers.h"

#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

TFormRestore::TFormRestore(const BackupSettings &settings, QWidget *parent)
    : QDialog(parent), m_settings(settings)
{
    setObjectName(QStringLiteral("FormRestore"));
    setWindowTitle(QStringLiteral(" Obnova databáze"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto *layout = new QVBoxLayout(this);

    auto *group = new QGroupBox(QStringLiteral("Obnova databáze"), this);
    auto *radios = new QHBoxLayout(group);
    m_radioButtonTime = new QRadioButton(QStringLiteral("Záloha [Time]"), group);
    m_radioButtonTime->setObjectName(QStringLiteral("RadioButtonTime"));
    m_radioButtonDay = new QRadioButton(QStringLiteral("Záloha [Day]"), group);
    m_radioButtonDay->setObjectName(QStringLiteral("RadioButtonDay"));
    m_radioButtonDay->setChecked(true);
    radios->addWidget(m_radioButtonTime);
    radios->addWidget(m_radioButtonDay);
    layout->addWidget(group);

    m_editRestore = new QLineEdit(this);
    m_editRestore->setObjectName(QStringLiteral("EditRestore"));
    m_editRestore->setEnabled(false);
    layout->addWidget(m_editRestore);

    m_listView = new QTreeWidget(this);
    m_listView->setObjectName(QStringLiteral("ListView"));
    m_listView->setRootIsDecorated(false);
    m_listView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_listView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_listView->setHeaderLabels({QStringLiteral("Datum a čas"), QStringLiteral("Záloha"),
                                 QStringLiteral("Velikost"), QStringLiteral("Doklady"),
                                 QStringLiteral("Poslední doklad")});
    for (const int column : {ColumnSize, ColumnReceipts})
        m_listView->headerItem()->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    m_listView->header()->setSectionsClickable(false);
    for (const auto &[column, width] : {std::pair{ColumnTime, 112},
                                        {ColumnName, 128},
                                        {ColumnSize, 54},
                                        {ColumnReceipts, 60},
                                        {ColumnLastReceipt, 112}})
        m_listView->setColumnWidth(column, width);
    layout->addWidget(m_listView, 1);

    const OkCancelButtons buttons = addOkCancelRow(layout, this);
    m_buttonOk = buttons.ok;
    buttons.cancel->setDefault(true);
    m_buttonOk->setAutoDefault(false);
    connect(m_buttonOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(buttons.cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_radioButtonTime, &QRadioButton::clicked, this,
            [this] { GetBackups(m_settings.hourlyDirectory()); });
    connect(m_radioButtonDay, &QRadioButton::clicked, this,
            [this] { GetBackups(m_settings.dailyDirectory()); });
    connect(m_listView, &QTreeWidget::itemSelectionChanged, this, &TFormRestore::selectionChanged);
    resize(520, 528); // wide enough for the receipts' columns
    m_listView->setFocus();
}

void TFormRestore::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    centreOnScreen(this);
    GetBackups(m_settings.dailyDirectory()); // on every showing, whichever button is chosen
}

QString TFormRestore::EditRestore() const
{
    return m_editRestore->text();
}

QString TFormRestore::chosenDirectory() const
{
    return m_radioButtonTime->isChecked() ? m_settings.hourlyDirectory()
                                          : m_settings.dailyDirectory();
}

void TFormRestore::GetBackups(const QString &directory)
{
    m_listView->clear();
    if (!directory.isEmpty()) {
        const QFileInfoList entries =
            QDir(directory).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot);
        for (const QFileInfo &entry : entries) {
            const QString folder = entry.absoluteFilePath();
            if (entry.fileName().contains(QLatin1Char('.')) || !BackupComplete(folder))
                continue;
            const QDateTime changed = entry.lastModified();
            auto *row = new QTreeWidgetItem(m_listView);
            row->setText(ColumnTime, changed.isValid()
                                         ? changed.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"))
                                         : QString());
            row->setText(ColumnName, entry.fileName());
            row->setText(ColumnSize, QString::number(BackupSize(folder)));
            for (const int column : {ColumnSize, ColumnReceipts})
                row->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
            showReceipts(row, summarizeReceipts(folder));
        }
    }
    m_listView->sortItems(ColumnTime, Qt::AscendingOrder);
    const int rows = m_listView->topLevelItemCount();
    if (rows > 0) {
        QTreeWidgetItem *last = m_listView->topLevelItem(rows - 1);
        m_listView->setCurrentItem(last);
        m_listView->scrollToItem(last);
    }
    selectionChanged();
}

void TFormRestore::selectionChanged()
{
    const QList<QTreeWidgetItem *> selected = m_listView->selectedItems();
    const bool chosen = !selected.isEmpty();
    m_editRestore->setText(chosen ? JoinPath(chosenDirectory(), selected.first()->text(ColumnName))
                                  : QString());
    m_buttonOk->setEnabled(chosen);
}

void TFormRestore::showReceipts(QTreeWidgetItem *row, const ReceiptSummary &receipts)
{
    if (!receipts.readable) {
        row->setText(ColumnReceipts, QStringLiteral("—"));
        row->setText(ColumnLastReceipt, QStringLiteral("nelze přečíst"));
        for (const int column : {ColumnReceipts, ColumnLastReceipt})
            row->setToolTip(column, receipts.error);
        return;
    }
    row->setText(ColumnReceipts, QString::number(receipts.count));
    row->setText(ColumnLastReceipt,
                 receipts.last.isValid() ? CzechFormat::dateTime(receipts.last) : QString());
}
