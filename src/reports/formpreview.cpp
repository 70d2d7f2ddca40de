#include "reports/formpreview.h"

#include "reports/engine/pagefile.h"
#include "reports/engine/pagepainter.h"
#include "reports/engine/rtfexport.h"
#include "reports/formprint.h"
#include "reports/previewarea.h"
#include "reports/reportprinting.h"
#include "ui/common/integercombobox.h"
#include "ui/common/integeredit.h"
#include "ui/common/messagedialogs.h"
#include "ui/common/windowhelpers.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {

const QString PageFileFilter = QStringLiteral("Stránky sestavy (*.qrp)");
const QString RtfFilter = QStringLiteral("Formát RTF (*.rtf)");
const QString PdfFilter = QStringLiteral("Dokument PDF (*.pdf)");

// The print-at-once button's picture: a printer with a sheet in it.
QIcon printerIcon()
{
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawRect(6, 2, 11, 7);
    painter.setBrush(QColor(0x80, 0x80, 0x80));
    painter.drawRoundedRect(1, 8, 21, 9, 2, 2);
    painter.setBrush(Qt::white);
    painter.drawRect(6, 14, 11, 8);
    painter.setBrush(Qt::green);
    painter.drawRect(18, 10, 2, 2);
    return QIcon(pixmap);
}

// A save dialog that asks before it overwrites and adds the file's extension to a bare name.
std::unique_ptr<QFileDialog> saveDialog(QWidget *parent, const QString &title, const QString &file,
                                        const QString &filter)
{
    auto dialog = std::make_unique<QFileDialog>(parent, title, file, filter);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setDefaultSuffix(QFileInfo(file).suffix());
    return dialog;
}

} // namespace

TFormPreview::TFormPreview(PageStore store, QWidget *parent)
    : QMainWindow(parent), m_store(std::move(store)), m_printer(std::make_unique<QPrinter>())
{
    setObjectName(QStringLiteral("FormPreview"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowTitle(m_store.title);
    setMinimumSize(800, 600);
    resize(965, 714);

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->addWidget(buildCommandRow());
    layout->addWidget(buildNavigationRow());
    m_preview = new PreviewArea(central);
    layout->addWidget(m_preview, 1);
    setCentralWidget(central);
    m_statusPage = new QLabel(this);
    m_statusPage->setObjectName(QStringLiteral("StatusBar"));
    statusBar()->addWidget(m_statusPage);

    connect(m_preview, &PreviewArea::pageChanged, this, &TFormPreview::updateNavigation);
    connect(m_preview, &PreviewArea::zoomChanged, m_integerComboBoxZoom,
            &TIntegerComboBox::setValue);
    m_preview->setStore(&m_store);

    // The keys of a menu the window does not show.
    addShortcut(Qt::Key_Escape, [this] { close(); });
    addShortcut(Qt::CTRL | Qt::Key_Home, [this] { BitBtnFirstClick(); });
    addShortcut(Qt::Key_PageUp, [this] { BitBtnPrevClick(); });
    addShortcut(Qt::Key_PageDown, [this] { BitBtnNextClick(); });
    addShortcut(Qt::CTRL | Qt::Key_End, [this] { BitBtnLastClick(); });
    m_bitBtnPrint->setFocus();
}

TFormPreview::~TFormPreview() = default;

void TFormPreview::addShortcut(const QKeySequence &keys, const std::function<void()> &handler)
{
    auto *action = new QAction(this);
    action->setShortcut(keys);
    connect(action, &QAction::triggered, this, handler);
    addAction(action);
}

QPushButton *TFormPreview::button(const QString &caption, const QString &name, QWidget *parent)
{
    QPushButton *pushButton = namedButton(caption, name, parent);
    pushButton->setAutoDefault(false);
    return pushButton;
}

QWidget *TFormPreview::buildCommandRow()
{
    auto *row = new QWidget(this);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    QPushButton *printSetup =
        button(QStringLiteral("Tisk..."), QStringLiteral("BitBtnPrintSetup"), row);
    m_bitBtnPrint = button(QString(), QStringLiteral("BitBtnPrint"), row);
    m_bitBtnPrint->setIcon(printerIcon());
    m_bitBtnPrint->setIconSize(QSize(24, 24));
    m_bitBtnPrint->setToolTip(QStringLiteral("Tisk všech stránek"));
    QPushButton *save = button(QStringLiteral("Uložit..."), QStringLiteral("BitBtnSave"), row);
    QPushButton *open = button(QStringLiteral("Otevřít..."), QStringLiteral("ButtonOpen"), row);
    QPushButton *exportButton =
        button(QStringLiteral("Export..."), QStringLiteral("BitBtnExport"), row);
    QPushButton *closeButton = button(QStringLiteral("Zavřít"), QStringLiteral("BitBtnClose"), row);
    for (QPushButton *each : {printSetup, m_bitBtnPrint, save, open, exportButton})
        layout->addWidget(each);
    layout->addStretch();
    layout->addWidget(closeButton);

    connect(printSetup, &QPushButton::clicked, this, &TFormPreview::BitBtnPrintSetupClick);
    connect(m_bitBtnPrint, &QPushButton::clicked, this, &TFormPreview::BitBtnPrintClick);
    connect(save, &QPushButton::clicked, this, &TFormPreview::BitBtnSaveClick);
    connect(open, &QPushButton::clicked, this, &TFormPreview::ButtonOpenClick);
    connect(exportButton, &QPushButton::clicked, this, &TFormPreview::BitBtnExportClick);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    return row;
}

QWidget *TFormPreview::buildNavigationRow()
{
    auto *row = new QWidget(this);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    m_bitBtnFirst = button(QStringLiteral("První"), QStringLiteral("BitBtnFirst"), row);
    m_bitBtnPrev = button(QStringLiteral("Předchozí"), QStringLiteral("BitBtnPrev"), row);
    m_bitBtnNext = button(QStringLiteral("Následující"), QStringLiteral("BitBtnNext"), row);
    m_bitBtnLast = button(QStringLiteral("Poslední"), QStringLiteral("BitBtnLast"), row);
    for (QPushButton *each : {m_bitBtnFirst, m_bitBtnPrev, m_bitBtnNext, m_bitBtnLast})
        layout->addWidget(each);
    connect(m_bitBtnFirst, &QPushButton::clicked, this, &TFormPreview::BitBtnFirstClick);
    connect(m_bitBtnPrev, &QPushButton::clicked, this, &TFormPreview::BitBtnPrevClick);
    connect(m_bitBtnNext, &QPushButton::clicked, this, &TFormPreview::BitBtnNextClick);
    connect(m_bitBtnLast, &QPushButton::clicked, this, &TFormPreview::BitBtnLastClick);

    layout->addSpacing(12);
    layout->addWidget(new QLabel(QStringLiteral("Přejdi na stránku:"), row));
    m_integerEditGotoPage = new TIntegerEdit(row);
    m_integerEditGotoPage->setObjectName(QStringLiteral("IntegerEditGotoPage"));
    m_integerEditGotoPage->setMin(1);
    m_integerEditGotoPage->setMax(9999);
    m_integerEditGotoPage->setValue(1);
    m_integerEditGotoPage->setFixedWidth(50);
    layout->addWidget(m_integerEditGotoPage);
    connect(m_integerEditGotoPage, &QLineEdit::returnPressed, this,
            &TFormPreview::IntegerEditGotoPageEnter);

    layout->addSpacing(12);
    QPushButton *fitHeight =
        button(QStringLiteral("Přizpůsobit oknu"), QStringLiteral("BitBtnFitHeight"), row);
    QPushButton *fitWidth =
        button(QStringLiteral("Přizpůsobit šířce okna"), QStringLiteral("BitBtnFitWidth"), row);
    layout->addWidget(fitHeight);
    layout->addWidget(fitWidth);
    connect(fitHeight, &QPushButton::clicked, this, [this] { m_preview->zoomToFit(); });
    connect(fitWidth, &QPushButton::clicked, this, [this] { m_preview->zoomToWidth(); });

    layout->addSpacing(12);
    layout->addWidget(new QLabel(QStringLiteral("Měřítko zobrazení:"), row));
    m_integerComboBoxZoom = new TIntegerComboBox(row);
    m_integerComboBoxZoom->setObjectName(QStringLiteral("IntegerComboBoxZoom"));
    m_integerComboBoxZoom->setMin(1);
    m_integerComboBoxZoom->setMax(999);
    for (int percent : {25, 50, 75, 100, 125, 150, 175, 200})
        m_integerComboBoxZoom->addItem(QString::number(percent));
    m_integerComboBoxZoom->setValue(100);
    m_integerComboBoxZoom->setFixedWidth(70);
    layout->addWidget(m_integerComboBoxZoom);
    layout->addWidget(new QLabel(QStringLiteral("%"), row));
    layout->addStretch();
    connect(m_integerComboBoxZoom, &QComboBox::activated, this,
            &TFormPreview::IntegerComboBoxZoomSet);
    connect(m_integerComboBoxZoom->lineEdit(), &QLineEdit::returnPressed, this,
            &TFormPreview::IntegerComboBoxZoomSet);
    return row;
}

void TFormPreview::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    centreOnScreen(this);
    m_preview->setZoom(100);
    updateNavigation();
}

int TFormPreview::page() const
{
    return m_preview->page();
}

int TFormPreview::zoom() const
{
    return m_preview->zoom();
}

void TFormPreview::updateNavigation()
{
    const int page = m_preview->page();
    const int count = m_preview->pageCount();
    m_bitBtnFirst->setEnabled(page != 1);
    m_bitBtnPrev->setEnabled(page != 1);
    m_bitBtnNext->setEnabled(page < count);
    m_bitBtnLast->setEnabled(page < count);
    m_statusPage->setText(QStringLiteral("Stránka %1/%2").arg(page).arg(count));
}

void TFormPreview::BitBtnFirstClick()
{
    QApplication::processEvents();
    m_preview->setPage(1);
}

void TFormPreview::BitBtnPrevClick()
{
    QApplication::processEvents();
    if (m_preview->page() > 1)
        m_preview->setPage(m_preview->page() - 1);
}

void TFormPreview::BitBtnNextClick()
{
    QApplication::processEvents();
    if (m_preview->page() < m_preview->pageCount())
        m_preview->setPage(m_preview->page() + 1);
}

void TFormPreview::BitBtnLastClick()
{
    QApplication::processEvents();
    m_preview->setPage(m_preview->pageCount());
}

void TFormPreview::IntegerEditGotoPageEnter()
{
    m_preview->setPage(m_integerEditGotoPage->value());
    m_integerEditGotoPage->setValue(m_preview->page());
    m_integerEditGotoPage->selectAll();
}

void TFormPreview::IntegerComboBoxZoomSet()
{
    m_preview->setZoom(m_integerComboBoxZoom->value());
}

void TFormPreview::BitBtnPrintClick()
{
    ReportPrinting::print(m_store, *m_printer);
}

void TFormPreview::BitBtnPrintSetupClick()
{
    TFormPrint dialog(QPrinterInfo::availablePrinterNames(), m_printer->printerName(),
                      m_store.pageCount(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // The range once, then again for every further copy: collated in one job.
    const PageStore range = m_store.copyRange(dialog.from(), dialog.to());
    PageStore job = range;
    for (int copy = 2; copy <= dialog.copies(); ++copy)
        job.append(range);
    job.title = windowTitle();
    if (!dialog.printer().isEmpty()) {
        m_printer->setOutputFormat(QPrinter::NativeFormat);
        m_printer->setPrinterName(dialog.printer());
    }
    ReportPrinting::print(job, *m_printer);
}

QString TFormPreview::proposedFile(const QString &extension) const
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    return QDir(folder).filePath(QStringLiteral("%1.%2").arg(windowTitle(), extension));
}

void TFormPreview::BitBtnSaveClick()
{
    const auto dialog = saveDialog(this, QStringLiteral("Uložit do QRP"),
                                   proposedFile(QStringLiteral("qrp")), PageFileFilter);
    const QString file = chosenFile(*dialog);
    if (file.isEmpty())
        return;
    const FileResult saved = PageFile::save(file, m_store);
    if (!saved.ok())
        ShowWarning(QStringLiteral("Stránky se nepodařilo uložit..."), saved.message);
}

void TFormPreview::ButtonOpenClick()
{
    QFileDialog dialog(this, QStringLiteral("Otevřít QRP"),
                       QFileInfo(proposedFile(QStringLiteral("qrp"))).path(), PageFileFilter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    const QString file = chosenFile(dialog);
    if (file.isEmpty())
        return;
    PageStore loaded;
    const FileResult result = PageFile::load(file, &loaded);
    if (!result.ok()) {
        ShowWarning(QStringLiteral("Stránky se nepodařilo otevřít..."), result.message);
        return;
    }
    // From now on the window shows and prints the file's pages, no longer its report's.
    m_store = std::move(loaded);
    m_preview->setStore(&m_store);
    m_preview->setPage(1);
    m_integerEditGotoPage->setValue(1);
}

void TFormPreview::BitBtnExportClick()
{
    const auto dialog = saveDialog(this, QStringLiteral("Export do RTF"),
                                   proposedFile(QStringLiteral("rtf")), RtfFilter);
    dialog->setNameFilters({RtfFilter, PdfFilter});
    // The proposed name follows the chosen format.
    connect(dialog.get(), &QFileDialog::filterSelected, dialog.get(),
            [dialog = dialog.get(), this](const QString &filter) {
                const QString suffix =
                    filter == PdfFilter ? QStringLiteral("pdf") : QStringLiteral("rtf");
                dialog->setDefaultSuffix(suffix);
                dialog->selectFile(QFileInfo(proposedFile(suffix)).fileName());
            });
    const QString file = chosenFile(*dialog);
    if (file.isEmpty())
        return;
    const bool pdf = file.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive);
    QString error;
    if (pdf) {
        if (PagePainter::writePdf(m_store, file, &error))
            return;
    } else {
        const FileResult written = RtfExport::write(file, m_store);
        if (written.ok())
            return;
        error = written.message;
    }
    ShowWarning(QStringLiteral("Export se nezdařil..."), error);
}
