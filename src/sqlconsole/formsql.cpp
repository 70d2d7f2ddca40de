#include "sqlconsole/formsql.h"

#include "core/clock.h"
#include "core/programvalues.h"
#include "core/textfile.h"
#include "data/query.h"
#include "data/querymodel.h"
#include "data/resulteditor.h"
#include "desk/desk.h"
#include "desk/transactionlog.h"
#include "sqlconsole/workbookexport.h"
#include "ui/common/messagedialogs.h"
#include "ui/common/recordgrid.h"
#include "ui/common/windowhelpers.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTableView>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <climits>

namespace {

struct FileChoice
{
    QString title;
    QString filter;
    QString suffix;
    QFileDialog::AcceptMode mode;
};

// The dialog lives until its choice has been read; deleted on closing, reading it would crash.
QString chooseFile(QWidget *parent, const FileChoice &choice, const QString &folder)
{
    QFileDialog dialog(parent, choice.title, folder, choice.filter);
    dialog.setDefaultSuffix(choice.suffix);
    dialog.setAcceptMode(choice.mode);
    if (choice.mode == QFileDialog::AcceptOpen)
        dialog.setFileMode(QFileDialog::ExistingFile);
    return chosenFile(dialog);
}

const QString StatementFilter = QStringLiteral("Textový soubor (*.txt)");

} // namespace

TFormSQL::TFormSQL(Desk &desk, QWidget *parent)
    : QDialog(parent), m_desk(desk), m_openWorkbook([](const QString &file) {
          QDesktopServices::openUrl(QUrl::fromLocalFile(file)); // nothing when none is registered
      })
{
    setObjectName(QStringLiteral("FormSQL"));
    setWindowTitle(QStringLiteral("SQL"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    m_query = new Query(&desk.database(), this);
    m_model = new QueryModel(m_query, this);
    m_editor = std::make_unique<ResultEditor>(&desk.database(), m_query);
    m_model->setEditor(m_editor.get());
    connect(m_model, &QueryModel::editFailed, this, [] { ShowDatabaseError(false); });
    connect(m_model, &QueryModel::edited, this, [this](const QVariantList &row, int column) {
        logRecordChange(QStringLiteral("úprava pole %1").arg(m_editor->fieldOf(column)),
                        row.value(m_editor->keyColumn()), programClock().tickCount());
    });

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(buildCommandRow());
    m_memo = named(new QPlainTextEdit(QStringLiteral("select * from SALESOLARS"), this),
                   QStringLiteral("Memo"));
    m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_memo->setMaximumHeight(m_memo->fontMetrics().lineSpacing() * 8);
    layout->addWidget(m_memo);
    auto *header = named(new QLabel(QStringLiteral(" Výsledek SQL dotazu"), this),
                         QStringLiteral("PanelResult"));
    header->setFrameShape(QFrame::StyledPanel);
    layout->addWidget(header);
    layout->addWidget(buildResultTools());
    m_grid = named(new QTableView(this), QStringLiteral("DBGrid"));
    m_grid->setModel(m_model);
    setUpRecordView(m_grid);
    layout->addWidget(m_grid, 1);
    m_status = named(new QLabel(this), QStringLiteral("StatusBar"));
    m_status->setFrameShape(QFrame::StyledPanel);
    layout->addWidget(m_status);

    connect(m_model, &QAbstractItemModel::modelReset, this,
            [this] { m_buttonExport->setEnabled(m_query->isOpen()); });
    updateEditing();
    resize(900, 640);
}

TFormSQL::~TFormSQL() = default;

QWidget *TFormSQL::buildCommandRow()
{
    auto *row = new QWidget(this);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto button = [row, layout](const QString &caption, const QString &name) {
        auto *made = namedButton(caption, name, row);
        made->setAutoDefault(false);
        layout->addWidget(made);
        return made;
    };
    m_buttonRun = button(QStringLiteral("Spustit"), QStringLiteral("ButtonRun"));
    m_buttonOpen = button(QStringLiteral("Otevřít..."), QStringLiteral("ButtonOpen"));
    m_buttonSave = button(QStringLiteral("Uložit..."), QStringLiteral("ButtonSave"));
    m_buttonExport = button(QStringLiteral("Export do Excelu"), QStringLiteral("ButtonExport"));
    m_buttonExport->setEnabled(false);
    m_progressBar = named(new QProgressBar(row), QStringLiteral("ProgressBar"));
    m_progressBar->setRange(0, 100);
    m_progressBar->setValue(0);
    layout->addWidget(m_progressBar, 1);
    connect(m_buttonRun, &QPushButton::clicked, this, &TFormSQL::ButtonRunClick);
    connect(m_buttonOpen, &QPushButton::clicked, this, &TFormSQL::ButtonOpenClick);
    connect(m_buttonSave, &QPushButton::clicked, this, &TFormSQL::ButtonSaveClick);
    connect(m_buttonExport, &QPushButton::clicked, this, &TFormSQL::ButtonExportClick);
    return row;
}

QWidget *TFormSQL::buildResultTools()
{
    auto *row = new QWidget(this);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    m_checkBoxEdit = named(new QCheckBox(QStringLiteral("Povolit editaci"), row),
                           QStringLiteral("CheckBoxEdit"));
    layout->addWidget(m_checkBoxEdit);

    auto tool = [this, row, layout](QStyle::StandardPixmap icon, const QString &tip,
                                    const QString &name) {
        auto *made = named(new QToolButton(row), name);
        made->setIcon(style()->standardIcon(icon));
        made->setToolTip(tip);
        layout->addWidget(made);
        return made;
    };
    connect(tool(QStyle::SP_MediaSkipBackward, QStringLiteral("První záznam"),
                 QStringLiteral("NavigatorFirst")),
            &QToolButton::clicked, this, [this] { moveTo(0); });
    connect(tool(QStyle::SP_MediaSeekBackward, QStringLiteral("Předchozí záznam"),
                 QStringLiteral("NavigatorPrior")),
            &QToolButton::clicked, this, [this] { moveTo(m_grid->currentIndex().row() - 1); });
    connect(tool(QStyle::SP_MediaSeekForward, QStringLiteral("Další záznam"),
                 QStringLiteral("NavigatorNext")),
            &QToolButton::clicked, this, [this] { moveTo(m_grid->currentIndex().row() + 1); });
    connect(tool(QStyle::SP_MediaSkipForward, QStringLiteral("Poslední záznam"),
                 QStringLiteral("NavigatorLast")),
            &QToolButton::clicked, this, [this] { moveTo(m_model->rowCount() - 1); });
    m_buttonInsert = tool(QStyle::SP_FileDialogNewFolder, QStringLiteral("Vložit záznam"),
                          QStringLiteral("NavigatorInsert"));
    m_buttonDelete = tool(QStyle::SP_TrashIcon, QStringLiteral("Smazat záznam"),
                          QStringLiteral("NavigatorDelete"));
    m_buttonEdit = tool(QStyle::SP_FileDialogDetailedView, QStringLiteral("Upravit záznam"),
                        QStringLiteral("NavigatorEdit"));
    connect(m_buttonInsert, &QToolButton::clicked, this, &TFormSQL::insertRow);
    connect(m_buttonDelete, &QToolButton::clicked, this, &TFormSQL::deleteRow);
    connect(m_buttonEdit, &QToolButton::clicked, this,
            [this] { m_grid->edit(m_grid->currentIndex()); });
    // A changed cell is posted as its editor closes (Enter), Escape drops it: post and cancel
    // have nothing left to act on.
    for (QToolButton *button : {tool(QStyle::SP_DialogApplyButton, QStringLiteral("Uložit změny"),
                                     QStringLiteral("NavigatorPost")),
                                tool(QStyle::SP_DialogCancelButton, QStringLiteral("Zrušit změny"),
                                     QStringLiteral("NavigatorCancel"))})
        button->setEnabled(false);
    m_buttonRefresh = tool(QStyle::SP_BrowserReload, QStringLiteral("Obnovit"),
                           QStringLiteral("NavigatorRefresh"));
    connect(m_buttonRefresh, &QToolButton::clicked, this, &TFormSQL::refreshResult);
    connect(m_checkBoxEdit, &QCheckBox::toggled, this, &TFormSQL::updateEditing);

    m_comboBoxSearch = named(new QComboBox(row), QStringLiteral("ComboBoxSearch"));
    m_comboBoxSearch->setMinimumContentsLength(12);
    m_editSearch = named(new QLineEdit(row), QStringLiteral("EditSearch"));
    m_buttonSearch = namedButton(QStringLiteral("Hledat"), QStringLiteral("ButtonSearch"), row);
    m_buttonSearch->setDefault(true);
    connect(m_buttonSearch, &QPushButton::clicked, this, &TFormSQL::ButtonSearchClick);
    layout->addStretch();
    layout->addWidget(m_comboBoxSearch);
    layout->addWidget(m_editSearch, 1);
    layout->addWidget(m_buttonSearch);
    return row;
}

void TFormSQL::moveTo(int row)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    const QModelIndex index = m_model->index(row, qMax(0, m_grid->currentIndex().column()));
    m_grid->setCurrentIndex(index);
    m_grid->scrollTo(index);
}

void TFormSQL::ButtonRunClick()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QString statement = m_memo->toPlainText();
    m_query->setSql(statement);
    const qint64 started = programClock().tickCount();
    const bool ran = m_query->exec();
    if (ran && m_query->wrote()) {
        TransactionLog::sqlStatementRun(m_desk.eventLog(), started, m_query->changedRows(),
                                        statement, Program().CurrentUser);
    }
    m_model->reload();
    m_editor->attach();
    if (ran && m_query->isOpen())
        showResult();
    updateEditing();
    QApplication::restoreOverrideCursor();
    if (!ran) {
        ShowInformation(QStringLiteral("SQL dotaz neproběhl v pořádku..."),
                        QStringLiteral("Zkontrolujte syntaxi SQL příkazu..."));
        return;
    }
    ShowInformation(QStringLiteral("SQL dotaz dokončen..."),
                    QStringLiteral("SQL dotaz proběhl v pořádku..."), true, this);
}

void TFormSQL::showResult()
{
    m_comboBoxSearch->clear();
    m_comboBoxSearch->addItems(m_query->fieldNames());
    m_comboBoxSearch->setCurrentIndex(0);
    m_grid->resizeColumnsToContents(); // the rows on the screen only
}

void TFormSQL::refreshResult()
{
    // Only a result that reads is run again; a statement that wrote has done its work.
    if (!m_query->isOpen() || m_query->wrote())
        return;
    const bool ran = m_query->exec();
    m_model->reload();
    m_editor->attach();
    updateEditing();
    ShowDatabaseError(ran);
}

void TFormSQL::updateEditing()
{
    const bool allowed = m_checkBoxEdit->isChecked();
    m_model->setEditing(allowed);
    const bool editable = m_model->editing();
    const bool changeable = editable && !m_exporting; // an export reads the rows as they are
    m_grid->setEditTriggers(changeable ? QAbstractItemView::DoubleClicked |
                                             QAbstractItemView::EditKeyPressed |
                                             QAbstractItemView::AnyKeyPressed
                                       : QAbstractItemView::NoEditTriggers);
    for (QToolButton *button : {m_buttonInsert, m_buttonDelete, m_buttonEdit}) {
        button->setVisible(allowed);
        button->setEnabled(changeable);
    }
    if (m_query->isOpen()) {
        m_status->setText(QStringLiteral(" Počet záznamů: %1").arg(m_model->rowCount()) +
                          (allowed && !editable
                               ? QStringLiteral(" (výsledek dotazu nelze upravovat)")
                               : QString()));
    }
}

void TFormSQL::deleteRow()
{
    const int row = m_grid->currentIndex().row();
    if (row < 0 || !ShowQuestion(QStringLiteral("Delete record?"), QString(), false))
        return;
    const qint64 started = programClock().tickCount();
    const QVariantList values = m_model->rowValues(row);
    if (!m_editor->deleteRow(values)) {
        ShowDatabaseError(false);
        return;
    }
    logRecordChange(QStringLiteral("smazání"), values.value(m_editor->keyColumn()), started);
    refreshResult();
    moveTo(qMin(row, m_model->rowCount() - 1));
}

// Changes made in the grid leave the same trace as statements.
void TFormSQL::logRecordChange(const QString &what, const QVariant &key, qint64 started)
{
    TransactionLog::sqlStatementRun(m_desk.eventLog(), started, 1,
                                    QStringLiteral("%1: %2 záznamu %3 = %4")
                                        .arg(m_editor->tableName(), what,
                                             m_editor->fieldOf(m_editor->keyColumn()),
                                             key.toString()),
                                    Program().CurrentUser);
}

void TFormSQL::insertRow()
{
    const qint64 started = programClock().tickCount();
    QVariant key;
    if (!m_editor->appendRecord(&key)) {
        ShowDatabaseError(false);
        return;
    }
    logRecordChange(QStringLiteral("vložení"), key, started);
    refreshResult();
    // On the new record, when the statement's conditions let it into the result.
    const QString keyColumn = m_query->fieldNames().value(m_editor->keyColumn());
    if (m_query->locate(keyColumn, key.toString()))
        moveTo(int(m_query->recordNumber()));
}

void TFormSQL::runStatement(const QString &statement)
{
    m_memo->setPlainText(statement);
    ButtonRunClick();
}

QString TFormSQL::statementFolder() const
{
    // The program's own folder is not writable once it is installed.
    return Program().DatabaseDir.isEmpty() ? QDir::currentPath() : Program().DatabaseDir;
}

void TFormSQL::ButtonOpenClick()
{
    const QString file = chooseFile(this,
                                    {QStringLiteral("Otevřít SQL script"), StatementFilter,
                                     QStringLiteral("txt"), QFileDialog::AcceptOpen},
                                    statementFolder());
    if (!file.isEmpty())
        openStatement(file);
}

void TFormSQL::openStatement(const QString &file)
{
    QStringList lines;
    // A file that cannot be read leaves the statement as it was.
    if (Cp1250Lines::read(file, &lines).ok())
        runStatement(lines.join(QLatin1Char('\n')));
}

void TFormSQL::ButtonSaveClick()
{
    const QString file = chooseFile(this,
                                    {QStringLiteral("Uložit SQL script"), StatementFilter,
                                     QStringLiteral("txt"), QFileDialog::AcceptSave},
                                    statementFolder());
    if (!file.isEmpty())
        saveStatement(file);
}

bool TFormSQL::saveStatement(const QString &file)
{
    const FileResult saved =
        Cp1250Lines::write(file, m_memo->toPlainText().split(QLatin1Char('\n')));
    // A statement the user meant to keep must not be lost without a word.
    if (!saved.ok()) {
        ShowWarning(QStringLiteral("SQL script se nepodařilo uložit..."),
                    saved.message.isEmpty() ? file : saved.message);
    }
    return saved.ok();
}

void TFormSQL::ButtonSearchClick()
{
    const QString text = m_editSearch->text();
    // The search reads the result from its start: long on a large one.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool found = m_query->isOpen() && m_comboBoxSearch->currentIndex() >= 0 &&
                       m_query->locate(m_comboBoxSearch->currentText(), text,
                                       LocateOption::CaseInsensitive | LocateOption::PartialKey);
    QApplication::restoreOverrideCursor();
    if (found) {
        moveTo(int(m_query->recordNumber()));
        return;
    }
    ShowInformation(QStringLiteral("Hledaný text nenalezen..."),
                    QStringLiteral("Hledaný text: [%1]").arg(text), true, this);
}

void TFormSQL::setWorkbookOpener(std::function<void(const QString &file)> opener)
{
    m_openWorkbook = std::move(opener);
}

void TFormSQL::ButtonExportClick()
{
    const QString file =
        chooseFile(this,
                   {QStringLiteral("Export do Excelu"), QStringLiteral("Sešit Excelu (*.xlsx)"),
                    QStringLiteral("xlsx"), QFileDialog::AcceptSave},
                   statementFolder());
    if (!file.isEmpty())
        exportResult(file);
}

bool TFormSQL::exportResult(const QString &file)
{
    if (!m_query->isOpen())
        return false;
    setExporting(true);
    const qint64 rows = m_query->recordCount();
    m_progressBar->setRange(0, int(qMin<qint64>(qMax<qint64>(rows, 1), INT_MAX)));
    const qint64 step = qMax<qint64>(1, rows / 100); // the bar moves by whole percents
    QString error;
    const bool written = exportToWorkbook(
        *m_query, file,
        [this, step](qint64 done) {
            if (done % step == 0) {
                m_progressBar->setValue(int(qMin<qint64>(done, INT_MAX)));
                QCoreApplication::processEvents();
            }
        },
        &error);
    m_query->first();
    m_progressBar->setValue(0);
    setExporting(false);
    if (!written) {
        ShowWarning(QStringLiteral("Export dat neproběhl v pořádku..."), error);
        return false;
    }
    ShowInformation(QStringLiteral("Export dat byl dokončen v pořádku..."),
                    QStringLiteral("Data byla vyexportována do souboru %1")
                        .arg(QDir::toNativeSeparators(file)));
    m_openWorkbook(file);
    return true;
}

void TFormSQL::setExporting(bool exporting)
{
    m_exporting = exporting;
    // The export walks the result: nothing may run it again, change its rows or move its reading.
    for (QAbstractButton *button : std::initializer_list<QAbstractButton *>{
             m_buttonRun, m_buttonOpen, m_buttonSave, m_buttonExport, m_buttonSearch,
             m_buttonRefresh, m_checkBoxEdit})
        button->setEnabled(!exporting);
    if (!exporting)
        m_buttonExport->setEnabled(m_query->isOpen());
    updateEditing();
}

void TFormSQL::done(int result)
{
    if (!m_exporting)
        QDialog::done(result);
}
