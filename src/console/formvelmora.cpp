#include "console/formvelmora.h"

#include "console/cashbalanceeditor.h"
#include "console/consolefonts.h"
#include "console/solarrow.h"
#include "core/clock.h"
#include "core/czechformat.h"
#include "core/paths.h"
#include "core/programvalues.h"
#include "core/solarsettings.h"
#include "desk/configtool.h"
#include "desk/salonrecords.h"
#include "desk/salonschema.h"
#include "portio/portaccess.h"
#include "portio/portaddress.h"
#include "reports/formsalesolars.h"
#include "reports/formsetupprint.h"
#include "reports/printmonitor.h"
#include "reports/receiptprinting.h"
#include "settings/formbackup.h"
#include "settings/formdatabase.h"
#include "settings/formsetupsolar.h"
#include "sqlconsole/formsql.h"
#include "ui/common/formabout.h"
#include "ui/common/messagedialogs.h"
#include "ui/config/placementstore.h"
#include "userdialogs/formuser.h"
#include "users/access.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int BandHeight = 54; // header and status bar
constexpr int RowGap = 2;

QLabel *whiteLabel(QWidget *parent, const QString &text, const QPoint &at)
{
    auto *label = new QLabel(text, parent);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(palette);
    label->move(at);
    label->adjustSize();
    return label;
}

QWidget *highlightBand(QWidget *parent, const QString &name)
{
    auto *band = new QWidget(parent);
    band->setObjectName(name);
    band->setFixedHeight(BandHeight);
    band->setAutoFillBackground(true);
    QPalette palette = band->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Highlight));
    band->setPalette(palette);
    return band;
}

} // namespace

void WindowDeskReport::warn(const QString &caption, const QString &detail)
{
    ShowWarning(caption, detail);
}

void WindowDeskReport::warnWithoutWaiting(const QString &caption, const QString &detail)
{
    showWarningWithoutWaiting(caption, detail, m_owner);
}

void WindowDeskReport::databaseError()
{
    ShowDatabaseError(false);
}

TFormVelmora::TFormVelmora(DeskSession &session, QWidget *parent)
    : QMainWindow(parent), m_session(session), m_desk(session.desk()), m_runs(session.runs()),
      m_windowRunDialogs(this,
                         [this]() -> const SolarSettings & { return m_session.solarSettings(); }),
      m_windowPreview(this)
{
    setObjectName(QStringLiteral("FormVelmora"));
    m_runs.setQuestions(&m_windowRunDialogs);
    limitToReceipt(m_session.printStore());
    m_runs.setReceiptPrinter([this] {
        ReceiptPrinting(m_desk.tableSaleSolars(), m_session.printStore(), m_windowPreview)
            .printAfterRun();
    });
    // Every failed print reaches the event log, also one that its queue gives up later.
    m_printMonitor = std::make_unique<PrintMonitor>(
        systemPrintQueue(), [this](const QString &text) { m_desk.eventLog().AddLog(text); });
    PrintMonitor::install(m_printMonitor.get());
    m_formUser = new TFormUser(m_session.users(), DeskSession::usersFileName(), this);
    m_formUser->setEventLog([this](const QString &text) { m_desk.eventLog().AddLog(text); });

    setGeometry(38, 2, 986, 738);
    buildMenu();
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildHeader());
    auto *panelSolars = new QFrame(central);
    panelSolars->setObjectName(QStringLiteral("PanelSolars"));
    panelSolars->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panelSolars->setFocusPolicy(Qt::StrongFocus);
    // Hidden without the right to the units, it keeps its place: the header stays on top and
    // the status bar at the bottom.
    QSizePolicy keepPlace = panelSolars->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    panelSolars->setSizePolicy(keepPlace);
    m_panelSolars = panelSolars;
    layout->addWidget(panelSolars, 1);
    m_labelPortProtection = new QLabel(
        QStringLiteral(" Hlídač portu neběží: spadne-li program, solária zůstanou zapnutá. "
                       "Ukončete program, až žádné solárko neběží, a spusťte ho znovu."),
        central);
    m_labelPortProtection->setObjectName(QStringLiteral("LabelPortProtection"));
    m_labelPortProtection->setStyleSheet(
        QStringLiteral("QLabel { background: #c00000; color: white; font-weight: bold; }"));
    m_labelPortProtection->setWordWrap(true);
    m_labelPortProtection->hide();
    layout->addWidget(m_labelPortProtection);
    layout->addWidget(buildStatusBar());
    setCentralWidget(central);

    m_timerTime = new QTimer(this);
    m_timerTime->setObjectName(QStringLiteral("TimerTime"));
    m_timerTime->setInterval(1000);
    connect(m_timerTime, &QTimer::timeout, this, &TFormVelmora::SetDateTime);
    m_timerTime->start();

    m_timerBackup = new QTimer(this);
    m_timerBackup->setObjectName(QStringLiteral("TimerBackup"));
    m_timerBackup->setInterval(3600000);
    connect(m_timerBackup, &QTimer::timeout, this, &TFormVelmora::TimerBackupTimer);
    setBackupTimer();
    // A backup lets the clock and the countdowns go on; the user's input waits until it is done.
    m_desk.backups().setBetweenSteps(
        [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });

    EventLog &log = m_desk.eventLog();
    connect(&log, &EventLog::linesReset, this, [this, &log] {
        m_listBox->clear();
        m_listBox->addItems(log.lines());
        m_listBox->setCurrentRow(m_listBox->count() - 1);
    });
    connect(&log, &EventLog::lineAdded, this, [this](const QString &line) {
        m_listBox->addItem(line);
        m_listBox->setCurrentRow(m_listBox->count() - 1);
    });
    connect(&m_desk.tableMoney(), &Table::currentRecordChanged, this, &TFormVelmora::showMoney);
    connect(&m_desk.tableMoney(), &Table::recordsChanged, this, &TFormVelmora::showMoney);
    followRuns();
    m_placement = std::make_unique<PlacementStore>(this, QStringLiteral("Velmora"));
}

TFormVelmora::~TFormVelmora()
{
    // The session goes on a little longer than its window.
    m_runs.setQuestions(nullptr);
    m_runs.setReceiptPrinter({});
}

void TFormVelmora::buildMenu()
{
    QMenuBar *bar = menuBar();
    QMenu *velmora = bar->addMenu(QStringLiteral("Velmora"));
    velmora->setObjectName(QStringLiteral("MenuItemVelmora"));
    m_menuItemSQL =
        velmora->addAction(QStringLiteral("SQL..."), this, &TFormVelmora::MenuItemSQLClick);
    m_menuItemSQL->setObjectName(QStringLiteral("MenuItemSQL"));
    velmora->addSeparator();
    m_menuItemMoney =
        velmora->addAction(QStringLiteral("Pokladna..."), this, &TFormVelmora::MenuItemMoneyClick);
    m_menuItemMoney->setObjectName(QStringLiteral("MenuItemMoney"));
    velmora->addSeparator();
    QAction *end = velmora->addAction(QStringLiteral("Konec"), this, &QWidget::close);
    end->setObjectName(QStringLiteral("MenuItemEnd"));
    end->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));

    m_menuItemSolars = bar->addMenu(QStringLiteral("Solárka"));
    m_menuItemSolars->setObjectName(QStringLiteral("MenuItemSolars"));

    m_menuItemSaleSolars = bar->addAction(QStringLiteral("Doklady a tržby..."), this,
                                          &TFormVelmora::MenuItemSaleSolarsClick);
    m_menuItemSaleSolars->setObjectName(QStringLiteral("MenuItemSaleSolars"));

    m_menuItemSetup = bar->addMenu(QStringLiteral("Nastavení"));
    m_menuItemSetup->setObjectName(QStringLiteral("MenuItemSetup"));
    m_menuItemSetupSolar = m_menuItemSetup->addAction(QStringLiteral("Solárko..."), this,
                                                      &TFormVelmora::MenuItemSetupSolarClick);
    m_menuItemSetupSolar->setObjectName(QStringLiteral("MenuItemSetupSolar"));
    QAction *print = m_menuItemSetup->addAction(QStringLiteral("Tisk dokladů..."), this,
                                                &TFormVelmora::MenuItemSetupPrintClick);
    print->setObjectName(QStringLiteral("MenuItemSetupPrint"));
    QAction *users = m_menuItemSetup->addAction(QStringLiteral("Uživatelé..."), this,
                                                &TFormVelmora::MenuItemUsersClick);
    users->setObjectName(QStringLiteral("MenuItemUsers"));
    QAction *backup = m_menuItemSetup->addAction(QStringLiteral("Zálohování..."), this,
                                                 &TFormVelmora::MenuItemBackupClick);
    backup->setObjectName(QStringLiteral("MenuItemBackup"));
    QAction *maintenance = m_menuItemSetup->addAction(QStringLiteral("Údržba databáze..."), this,
                                                      &TFormVelmora::MenuItemDatabaseClick);
    maintenance->setObjectName(QStringLiteral("MenuItemDatabase"));
    QAction *bde = m_menuItemSetup->addAction(QStringLiteral("Konfigurace BDE..."), this,
                                              &TFormVelmora::MenuItemBDEClick);
    bde->setObjectName(QStringLiteral("MenuItemBDE"));

    QAction *about =
        bar->addAction(QStringLiteral("O programu..."), this, &TFormVelmora::MenuItemAboutClick);
    about->setObjectName(QStringLiteral("MenuItemAbout"));
}

QWidget *TFormVelmora::buildHeader()
{
    QWidget *header = highlightBand(this, QStringLiteral("PanelSolar"));
    whiteLabel(header, QStringLiteral("Cena:\n[Kč/min]"), {158, 8})
        ->setObjectName(QStringLiteral("LabelPrice"));
    whiteLabel(header, QStringLiteral("Čas:\n[mm:ss]"), {426, 8})
        ->setObjectName(QStringLiteral("LabelPeriod"));
    whiteLabel(header, QStringLiteral("Sleva:\n[%]"), {545, 8})
        ->setObjectName(QStringLiteral("LabelOff"));
    whiteLabel(header, QStringLiteral("Zbývá:\n[mm:ss]"), {645, 8})
        ->setObjectName(QStringLiteral("LabelOdd"));
    return header;
}

QWidget *TFormVelmora::buildStatusBar()
{
    QWidget *status = highlightBand(this, QStringLiteral("PanelStatus"));
    m_labelDate = whiteLabel(status, QStringLiteral("00.00.0000"), {8, 8});
    m_labelDate->setObjectName(QStringLiteral("LabelDate"));
    m_labelDate->setMinimumWidth(90);
    m_labelTime = whiteLabel(status, QStringLiteral("00:00:00"), {8, 28});
    m_labelTime->setObjectName(QStringLiteral("LabelTime"));
    m_labelTime->setMinimumWidth(90);

    m_listBox = new QListWidget(status);
    m_listBox->setObjectName(QStringLiteral("ListBox"));
    m_listBox->setGeometry(104, 7, 378, 40);
    QFont listFont(QStringLiteral("Microsoft Sans Serif"));
    listFont.setPixelSize(9);
    m_listBox->setFont(listFont);
    m_listBox->setUniformItemSizes(true);
    m_listBox->setFocusPolicy(Qt::NoFocus);

    whiteLabel(status, QStringLiteral("Pokladna:"), {500, 20});
    m_dbTextMoney = new QLabel(status);
    m_dbTextMoney->setObjectName(QStringLiteral("DBTextMoney"));
    m_dbTextMoney->setFont(blackFontPixels(32));
    QPalette money = m_dbTextMoney->palette();
    money.setColor(QPalette::WindowText, Qt::red);
    m_dbTextMoney->setPalette(money);
    m_dbTextMoney->move(570, 4);
    return status;
}

void TFormVelmora::showPortProtection(bool protecting)
{
    m_labelPortProtection->setVisible(!protecting);
}

void TFormVelmora::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TFormVelmora::FormShow()
{
    setWindowTitle(QStringLiteral("%1 - [%2]").arg(Program().ProductText, Program().CurrentUser));
    m_panelSolars->hide();
    auto *rows = new QVBoxLayout(m_panelSolars);
    rows->setContentsMargins(2, 2, 2, 2);
    rows->setSpacing(RowGap);
    for (int unit = 1; unit <= UnitCount; ++unit) {
        QAction *item = m_menuItemSolars->addAction(QStringLiteral("Solárko %1 [Start]").arg(unit));
        item->setObjectName(QStringLiteral("MenuItemSolar%1").arg(unit));
        item->setShortcut(QKeySequence(QStringLiteral("F%1").arg(unit)));
        item->setShortcutContext(Qt::ApplicationShortcut);
        connect(item, &QAction::triggered, this, [this, unit] { MenuItemSolarClick(unit); });
        m_menuItemsSolar[unit - 1] = item;

        auto *row = new SolarRow(unit, m_panelSolars);
        connect(row, &SolarRow::commandRequested, this, &TFormVelmora::MenuItemSolarClick);
        rows->addWidget(row);
        m_rows[unit - 1] = row;
    }
    rows->addStretch();
    SetActiveSolars();
    m_panelSolars->show();
    SetUserAccess();
    SetDateTime();
    showMoney();
}

void TFormVelmora::SetActiveSolars()
{
    const SolarSettings &settings = m_session.solarSettings();
    const bool dialogMode = settings.useDialogs();
    const QStringList discounts = settings.discounts();
    m_runs.loadOffers();
    for (int unit = 1; unit <= UnitCount; ++unit) {
        const UnitOffer &offer = m_runs.offer(unit);
        m_menuItemsSolar[unit - 1]->setEnabled(offer.active);
        m_rows[unit - 1]->showUnit(offer.active, offer.description, offer.price, dialogMode,
                                   discounts);
    }
}

void TFormVelmora::SetUserAccess()
{
    m_panelSolars->setVisible(allowed(RightSolars));
    m_menuItemSolars->setEnabled(allowed(RightSolars));
    m_menuItemSaleSolars->setEnabled(allowed(RightSaleSolars));
    m_menuItemSetup->setEnabled(allowed(RightSetup));
    m_menuItemSQL->setEnabled(allowed(RightSpecial));
}

bool TFormVelmora::allowed(UserRight right) const
{
    return HasUserRight(m_session.users(), right);
}

void TFormVelmora::SetDateTime()
{
    const QDateTime now = programClock().now();
    m_labelDate->setText(CzechFormat::shortDate(now.date()));
    m_labelTime->setText(CzechFormat::longTime(now.time()));
}

void TFormVelmora::showMoney()
{
    Table &money = m_desk.tableMoney();
    if (!money.hasCurrentRecord()) {
        m_dbTextMoney->clear();
        return;
    }
    const FieldDisplay *display = moneyTable().display(MoneyField::Money);
    m_dbTextMoney->setText(display->text(FieldType::Money, cashBalanceOf(money)));
    m_dbTextMoney->adjustSize();
}

void TFormVelmora::closeEvent(QCloseEvent *event)
{
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

bool TFormVelmora::FormCloseQuery()
{
    if (ReadPort(PortAddress(), 0) != 0) {
        ShowInformation(QStringLiteral("Program nyní nelze ukončit..."),
                        QStringLiteral("Jedno nebo více solárií jsou v provozu..."), true, this);
        return false;
    }
    return ShowQuestion(QStringLiteral("Ukončit program ?"),
                        QStringLiteral("Ukončení programu Velmora 1.0..."), false);
}

void TFormVelmora::FormClose()
{
    m_desk.backups().BackupAfterDay(m_session.backupStore().dailyDirectory());
    m_desk.eventLog().AddLog(
        QStringLiteral("Ukončení programu uživatelem: [%1]").arg(Program().CurrentUser));
    Program().JournalLines.clear();
}

void TFormVelmora::MenuItemMoneyClick()
{
    CashBalanceEditor(m_desk, m_session.users()).run(this);
}

void TFormVelmora::MenuItemSetupSolarClick()
{
    TFormSetupSolar window(m_session.solarStore(), m_desk.tableSolars(), m_desk.eventLog(),
                           m_desk.databaseSaver(), this);
    if (window.exec() == QDialog::Accepted)
        SetActiveSolars();
}

void TFormVelmora::MenuItemBackupClick()
{
    TFormBackup window(m_session.backupStore(), m_desk.backups(), this);
    if (window.exec() == QDialog::Accepted)
        setBackupTimer();
}

void TFormVelmora::MenuItemDatabaseClick()
{
    TFormDatabase window(m_session.databaseStore(), this);
    window.exec(); // the settings act at the next start
}

void TFormVelmora::setBackupTimer()
{
    // A timer that stays on keeps its running hour; one switched on starts a full hour.
    if (!m_session.backupStore().hourlyBackups())
        m_timerBackup->stop();
    else if (!m_timerBackup->isActive())
        m_timerBackup->start();
}

void TFormVelmora::TimerBackupTimer()
{
    m_desk.backups().BackupAfterTime(m_session.backupStore().hourlyDirectory());
}

void TFormVelmora::MenuItemSetupPrintClick()
{
    TFormSetupPrint window(m_session.printStore(), this);
    window.exec();
}

void TFormVelmora::MenuItemUsersClick()
{
    if (m_formUser->exec() == QDialog::Accepted)
        SetUserAccess();
}

void TFormVelmora::MenuItemSQLClick()
{
    {
        TFormSQL window(m_desk, this);
        window.exec();
    }
    // Whatever the statements changed shows at once; a table being edited is left alone.
    for (Table *table : {&m_desk.tableMoney(), &m_desk.tableSolars(), &m_desk.tableSaleSolars()}) {
        if (table->state() == Table::State::Browse)
            table->refresh(); // stays on its record while it exists
    }
    // The units' rows are loaded again only while every unit is off, as after their settings.
    if (m_menuItemSetupSolar->isEnabled())
        SetActiveSolars();
}

void TFormVelmora::MenuItemSaleSolarsClick()
{
    TFormSaleSolars browser(m_desk, m_session.solarSettings(), m_session.printStore(),
                            m_windowPreview, m_session.users().names(), this);
    browser.exec();
}

void TFormVelmora::MenuItemAboutClick()
{
    TFormAbout about(this);
    about.exec();
}

void TFormVelmora::MenuItemBDEClick()
{
    launchConfigurationTool();
}

// --- The runs, as the rows and the menu show them ----------------------------------------------

void TFormVelmora::followRuns()
{
    connect(&m_runs, &SolarRuns::runStarted, this,
            [this](int unit, const StartInput &input, int totalSeconds) {
                SolarRow *row = m_rows.at(unit - 1);
                if (m_session.solarSettings().useDialogs())
                    row->setRunInput(input.minutes, input.seconds, input.discount);
                // 00:99 stays as typed until the first second has gone
                row->setRemainingText(input.minutes + QLatin1Char(':') + input.seconds);
                row->startGauge(totalSeconds);
                SetStop(unit);
            });
    connect(&m_runs, &SolarRuns::remainingChanged, this,
            [this](int unit, int remainingSeconds, int usedSeconds) {
                m_rows.at(unit - 1)->setRemainingText(CzechFormat::period(remainingSeconds));
                m_rows.at(unit - 1)->setGaugeProgress(usedSeconds);
            });
    connect(&m_runs, &SolarRuns::runHalted, this, &TFormVelmora::SetStart);
    // Still shown running: the bed may be on until it is switched off at its own switch.
    connect(&m_runs, &SolarRuns::runStuck, this, [this](int unit) {
        m_rows.at(unit - 1)->setRemainingText(QStringLiteral("STOP"));
        SetStop(unit);
    });
    connect(&m_runs, &SolarRuns::runResumed, this, &TFormVelmora::SetStop);
    connect(&m_runs, &SolarRuns::runEnded, this,
            [this](int unit) { m_rows.at(unit - 1)->resetInputs(); });
    connect(&m_runs, &SolarRuns::portRegisterChanged, this, &TFormVelmora::updateSetupSolarItem);
}

void TFormVelmora::setRunQuestions(RunQuestions *questions)
{
    m_runs.setQuestions(questions ? questions : &m_windowRunDialogs);
}

void TFormVelmora::MenuItemSolarClick(int unit)
{
    // Function keys reach the menu's items even while the menu is disabled: check the right here.
    if (!allowed(RightSolars))
        return;
    if (m_panelSolars->isVisible())
        m_panelSolars->setFocus();
    m_runs.command(unit, typedRun(unit));
}

std::optional<StartInput> TFormVelmora::typedRun(int unit) const
{
    const SolarRow *row = m_rows.at(unit - 1);
    if (!row->inputValid())
        return std::nullopt; // direct input: only a complete run can start
    return StartInput{row->minutesText(), row->secondsText(), row->discountText()};
}

void TFormVelmora::endOnRequest(int signalNumber)
{
    if (m_endSignal != 0)
        return;
    m_endSignal = signalNumber;
    // Every event loop ends, and none starts again: an open dialog's exec() returns as cancelled
    // (an open stop dialog as "Zavřít", which records its run on the way out), and a failing
    // sale's message does not wait for an answer that nobody gives.
    QCoreApplication::exit(128 + signalNumber);
    m_runs.recordAllRunning();
    // Logged once the loops have unwound, after the sales of the stop dialogs that were open.
    connect(
        qApp, &QCoreApplication::aboutToQuit, this,
        [this] {
            const QString name = QStringLiteral("SIG") + QLatin1String(sigabbrev_np(m_endSignal));
            m_desk.eventLog().AddLog(QStringLiteral("Ukončení programu signálem %1: [%2]")
                                         .arg(name, Program().CurrentUser));
        },
        Qt::SingleShotConnection);
}

void TFormVelmora::updateSetupSolarItem(quint32 portRegister)
{
    m_menuItemSetupSolar->setEnabled(portRegister == 0);
}

void TFormVelmora::SetStart(int unit)
{
    m_rows.at(unit - 1)->setReadyLook();
    m_menuItemsSolar.at(unit - 1)->setText(QStringLiteral("Solárko %1 [Start]").arg(unit));
}

void TFormVelmora::SetStop(int unit)
{
    m_rows.at(unit - 1)->setRunningLook();
    m_menuItemsSolar.at(unit - 1)->setText(QStringLiteral("Solárko %1 [Stop]").arg(unit));
}
