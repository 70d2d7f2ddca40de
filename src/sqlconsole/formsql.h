#pragma once

#include <QDialog>

#include <functional>
#include <memory>

class Desk;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTableView;
class QToolButton;
class Query;
class QueryModel;
class ResultEditor;

// "SQL": any SQLite statement on the desk's database, its result in a grid that never loads it
// whole, a prefix search in one of its columns, and statements kept in Windows-1250 text files.
// A statement that may change the database is written to the event log with the rows it changed.
// With "Povolit editaci" the rows of a one-table result are edited and deleted through the
// engine's cursor on that table.
class TFormSQL : public QDialog
{
    Q_OBJECT

public:
    explicit TFormSQL(Desk &desk, QWidget *parent = nullptr);
    ~TFormSQL() override;

    void ButtonRunClick();
    void ButtonOpenClick();
    void ButtonSaveClick();
    void ButtonSearchClick();
    void ButtonExportClick();

    void runStatement(const QString &statement); // as typed into the editor, then run
    void openStatement(const QString &file);     // read into the editor and run
    bool saveStatement(const QString &file);     // false after a warning
    bool exportResult(const QString &file);      // false after a warning
    // What opens an exported workbook; the desktop's application for it unless told otherwise.
    void setWorkbookOpener(std::function<void(const QString &file)> opener);

    void done(int result) override; // refused while an export runs

private:
    QWidget *buildCommandRow();
    QWidget *buildResultTools();
    void moveTo(int row);
    void showResult();
    QString statementFolder() const;
    void setExporting(bool exporting);
    void refreshResult(); // the result read again, without a message
    void updateEditing();
    void logRecordChange(const QString &what, const QVariant &key, qint64 started);
    void insertRow();
    void deleteRow();

    Desk &m_desk;
    Query *m_query = nullptr;
    QueryModel *m_model = nullptr;
    std::unique_ptr<ResultEditor> m_editor;

    QPushButton *m_buttonRun = nullptr;
    QPushButton *m_buttonOpen = nullptr;
    QPushButton *m_buttonSave = nullptr;
    QPushButton *m_buttonExport = nullptr;
    QProgressBar *m_progressBar = nullptr;
    QPlainTextEdit *m_memo = nullptr;
    QCheckBox *m_checkBoxEdit = nullptr;
    QToolButton *m_buttonInsert = nullptr;
    QToolButton *m_buttonDelete = nullptr;
    QToolButton *m_buttonEdit = nullptr;
    QToolButton *m_buttonRefresh = nullptr;
    QComboBox *m_comboBoxSearch = nullptr;
    QLineEdit *m_editSearch = nullptr;
    QTableView *m_grid = nullptr;
    QPushButton *m_buttonSearch = nullptr;
    QLabel *m_status = nullptr;
    std::function<void(const QString &file)> m_openWorkbook;
    bool m_exporting = false;
};
