#pragma once

#include <QDialog>

class BackupSettings;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;
struct ReceiptSummary;

// " Obnova databáze": the complete backups of the hourly or the daily directory, each with the
// count of its receipts and the time of its last one, read from the copy; one of them the start-up
// copies back over the tables. Made by the start-up for "/RESTORE" only.
class TFormRestore : public QDialog
{
    Q_OBJECT

public:
    explicit TFormRestore(const BackupSettings &settings, QWidget *parent = nullptr);

    // The chosen backup's folder; empty without a choice.
    QString EditRestore() const;
    // Lists the complete backups of the directory: folders without a dot in their name that
    // hold all three table files, sorted by the first column's text, the last one selected.
    void GetBackups(const QString &directory);

protected:
    void showEvent(QShowEvent *event) override;

private:
    enum Column { ColumnTime, ColumnName, ColumnSize, ColumnReceipts, ColumnLastReceipt };

    QString chosenDirectory() const;
    // The figures, or that the copy cannot be read (the reason in the tooltip).
    static void showReceipts(QTreeWidgetItem *row, const ReceiptSummary &receipts);
    void selectionChanged();

    const BackupSettings &m_settings;
    QRadioButton *m_radioButtonTime;
    QRadioButton *m_radioButtonDay;
    QLineEdit *m_editRestore;
    QTreeWidget *m_listView;
    QPushButton *m_buttonOk;
};
