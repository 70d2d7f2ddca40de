#include "console/formvelmora.h"

#include "console/cashbalance.h"
#include "console/consolefonts.h"
#include "console/solarrow.h"
#include "core/clock.h"
#include "core/czechformat.h"
#include "core/paths.h"
#include "core/pricing.h"
#include "core/programvalues.h"
#include "data/tables.h"
#include "desk/configtool.h"
#include "portio/portaccess.h"
#include "portio/portaddress.h"
#include "portio/unitswitch.h"
#include "settings/formsetupsolar.h"
#include "ui/common/formabout.h"
#include "ui/common/messagedialogs.h"
#include "ui/config/placementstore.h"
#include "users/access.h"
#include "users/formuser.h"

#include <QAction>
#include <QCloseEvent>
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

// The error text up to its first line break, as the table warnings show it.
QString firstLine(const QString &text)
{
    return text.section(QLatin1Char('\n'), 0, 0);
}

} // namespace

TFormVelmora::TFormVelmora(QWidget *parent)
    : QMainWindow(parent), m_tableMoney(&m_database, QStringLiteral("Money.DB")),
      m_tableSolars(&m_database, QStringLiteral("Solars.DB")),
      m_tableSaleSolars(&m_database, QStringLiteral("SaleSolars.DB")),
      m_tableSaleSolarsCalc(&m_database, QStringLiteral("SaleSolars.DB")),
      m_eventLog(QStringLiteral("Velmora.log")), m_saver(m_eventLog),
      m_saleRecorder(m_database, m_tableMoney, m_tableSolars, m_tableSaleSolars,
                     m_tableSaleSolarsCalc, m_eventLog, m_saver, [] { ShowDatabaseError(false); }),
      m_runDialogs(&m_windowRunDialogs)
{
    setObjectName(QStringLiteral("FormVelmora"));
    m_tableMoney.setObjectName(QStringLiteral("TableMoney"));
    m_tableSolars.setObjectName(QStringLiteral("TableSolars"));
    m_tableSaleSolars.setObjectName(QStringLiteral("TableSaleSolars"));
    m_tableSaleSolarsCalc.setObjectName(QStringLiteral("TableSaleSolarsCalc"));
    m_tableSolars.setCalculatedFields(solarsTable().calculatedFields);
    m_tableSolars.setCalcFieldsCallback(TableSolarsCalcFields);
    m_tableSaleSolars.setCalculatedFields(saleSolarsTable().calculatedFields);
    m_tableSaleSolars.setCalcFieldsCallback(TableSaleSolarsCalcFields);
    for (Table *table : {&m_tableMoney, &m_tableSolars, &m_tableSaleSolars})
        installErrorHandlers(*table);

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
    layout->addWidget(buildStatusBar());
    setCentralWidget(central);

    m_timerTime = new QTimer(this);
    m_timerTime->setObjectName(QStringLiteral("TimerTime"));
    m_timerTime->setInterval(1000);
    connect(m_timerTime, &QTimer::timeout, this, &TFormVelmora::SetDateTime);
    m_timerTime->start();

    connect(&m_eventLog, &EventLog::linesReset, this, [this] {
        m_listBox->clear();
        m_listBox->addItems(m_eventLog.lines());
        m_listBox->setCurrentRow(m_listBox->count() - 1);
    });
    connect(&m_eventLog, &EventLog::lineAdded, this, [this](const QString &line) {
        m_listBox->addItem(line);
        m_listBox->setCurrentRow(m_listBox->count() - 1);
    });
    connect(&m_tableMoney, &Table::currentRecordChanged, this, &TFormVelmora::showMoney);
    connect(&m_tableMoney, &Table::recordsChanged, this, &TFormVelmora::showMoney);
    m_placement = std::make_unique<PlacementStore>(this, QStringLiteral("Velmora"));
}

TFormVelmora::~TFormVelmora()
{
    setPortTextSource({}); // the settings window goes with the console
}

void TFormVelmora::buildMenu()
{
    QMenuBar *bar = menuBar();
    QMenu *velmora = bar->addMenu(QStringLiteral("Velmora"));
    velmora->setObjectName(QStringLiteral("MenuItemVelmora"));
    m_menuItemSQL = velmora->addAction(QStringLiteral("SQL..."));
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

    m_menuItemSaleSolars = bar->addAction(QStringLiteral("Doklady a tržby..."));
    m_menuItemSaleSolars->setObjectName(QStringLiteral("MenuItemSaleSolars"));

    m_menuItemSetup = bar->addMenu(QStringLiteral("Nastavení"));
    m_menuItemSetup->setObjectName(QStringLiteral("MenuItemSetup"));
    m_menuItemSetupSolar = m_menuItemSetup->addAction(QStringLiteral("Solárko..."), this,
                                                      &TFormVelmora::MenuItemSetupSolarClick);
    m_menuItemSetupSolar->setObjectName(QStringLiteral("MenuItemSetupSolar"));
    QAction *print = m_menuItemSetup->addAction(QStringLiteral("Tisk dokladů..."));
    print->setObjectName(QStringLiteral("MenuItemSetupPrint"));
    QAction *users = m_menuItemSetup->addAction(QStringLiteral("Uživatelé..."), this,
                                                &TFormVelmora::MenuItemUsersClick);
    users->setObjectName(QStringLiteral("MenuItemUsers"));
    QAction *backup = m_menuItemSetup->addAction(QStringLiteral("Zálohování..."));
    backup->setObjectName(QStringLiteral("MenuItemBackup"));
    QAction *maintenance = m_menuItemSetup->addAction(QStringLiteral("Údržba databáze..."));
    maintenance->setObjectName(QStringLiteral("MenuItemDatabase"));
    QAction *bde = m_menuItemSetup->addAction(QStringLiteral("Konfigurace BDE..."), this,
                                              &TFormVelmora::MenuItemBDEClick);
    bde->setObjectName(QStringLiteral("MenuItemBDE"));

    QAction *about =
        bar->addAction(QStringLiteral("O programu..."), this, &TFormVelmora::MenuItemAboutClick);
    about->setObjectName(QStringLiteral("MenuItemAbout"));

    m_pendingItems = {m_menuItemSQL, m_menuItemSaleSolars, print, backup, maintenance};
    for (QAction *pending : std::as_const(m_pendingItems))
        pending->setEnabled(false);
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

void TFormVelmora::createSettingsWindows()
{
    m_setupSolar = new TFormSetupSolar(m_tableSolars, m_eventLog, m_saver, this);
    ConfigError error;
    if (!m_setupSolar->readStoredSettings(&error))
        ShowWarning(error.message, error.detail); // the defaults stay in force
    m_solarSettings = m_setupSolar;
    setPortTextSource([this] { return m_setupSolar->portText(); });

    m_formUser =
        new TFormUser(JoinPath(Program().DatabaseDir, QStringLiteral("Velmora.usr")), this);
    m_formUser->setEventLog([this](const QString &text) { m_eventLog.AddLog(text); });
    m_formUser->OpenUsers();
}

bool TFormVelmora::OpenDatabase()
{
    return m_tableMoney.open() && moneyHasOneRecord() && m_tableSolars.open() &&
           m_tableSaleSolarsCalc.open() && m_tableSaleSolars.open();
}

// The cash balance is the one record of Money: with several, sales would go to one of them.
bool TFormVelmora::moneyHasOneRecord()
{
    Engine::clearLastError();
    const qint64 records = m_tableMoney.recordCount();
    if (records == 1)
        return true;
    if (!Engine::lastError().isError()) { // counted, not failed
        Engine::setLastError(EngineError(
            EngineErrorCode::TableStructure,
            QStringLiteral("Tabulka Money musí mít právě jeden záznam (pokladna), má %1")
                .arg(records)));
    }
    return false;
}

void TFormVelmora::CloseDatabase()
{
    for (Table *table : {&m_tableMoney, &m_tableSolars, &m_tableSaleSolarsCalc, &m_tableSaleSolars})
        table->close();
}

void TFormVelmora::installErrorHandlers(Table &table)
{
    // A failed post or edit is shown once, as the desk's own warning, and its change dropped.
    table.setPostErrorHandler([](Table &failed, const EngineError &error, ErrorAction &action) {
        ShowWarning(QStringLiteral("Chyba při zápisu do databáze..."),
                    QStringLiteral("Post Error: %1 [%2]")
                        .arg(firstLine(error.message), failed.objectName()));
        action = ErrorAction::Abort;
    });
    table.setEditErrorHandler([](Table &failed, const EngineError &error, ErrorAction &action) {
        ShowWarning(QStringLiteral("Chyba při editaci databáze..."),
                    QStringLiteral("Edit Error: %1 [%2]")
                        .arg(firstLine(error.message), failed.objectName()));
        action = ErrorAction::Abort;
    });
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

        auto *timer = new QTimer(this);
        timer->setObjectName(QStringLiteral("TimerSolar%1").arg(unit));
        timer->setInterval(1000);
        connect(timer, &QTimer::timeout, this, [this, unit] { TimerSolarTimer(unit); });
        m_units[unit - 1].timer = timer;

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
    const SolarSettings &settings = solarSettings();
    const bool dialogMode = settings.useDialogs();
    const QStringList discounts = settings.discounts();
    bool haveRecord = m_tableSolars.first();
    for (int unit = 1; unit <= UnitCount; ++unit) {
        // Units beyond the table's records stay closed.
        const bool active = haveRecord && m_tableSolars.value(QStringLiteral("ACTIVE")).toBool();
        const QString description =
            haveRecord ? m_tableSolars.value(QStringLiteral("DESCRIPTION")).toString() : QString();
        const double price =
            haveRecord ? m_tableSolars.value(QStringLiteral("PRICE")).toDouble() : 0.0;
        m_menuItemsSolar[unit - 1]->setEnabled(active);
        m_rows[unit - 1]->showUnit(active, description, price, dialogMode, discounts);
        haveRecord = haveRecord && m_tableSolars.next();
    }
}

void TFormVelmora::SetUserAccess()
{
    m_panelSolars->setVisible(allowed(RightSolars));
    m_menuItemSolars->setEnabled(allowed(RightSolars));
    m_menuItemSaleSolars->setEnabled(allowed(RightSaleSolars) &&
                                     !m_pendingItems.contains(m_menuItemSaleSolars));
    m_menuItemSetup->setEnabled(allowed(RightSetup));
    m_menuItemSQL->setEnabled(allowed(RightSpecial) && !m_pendingItems.contains(m_menuItemSQL));
}

bool TFormVelmora::allowed(UserRight right) const
{
    return HasUserRight(m_formUser->users(), right);
}

void TFormVelmora::SetDateTime()
{
    const QDateTime now = programClock().now();
    m_labelDate->setText(CzechFormat::shortDate(now.date()));
    m_labelTime->setText(CzechFormat::longTime(now.time()));
}

void TFormVelmora::showMoney()
{
    if (!m_tableMoney.hasCurrentRecord()) {
        m_dbTextMoney->clear();
        return;
    }
    const FieldDisplay *display = moneyTable().display(QStringLiteral("MONEY"));
    m_dbTextMoney->setText(
        display->text(FieldType::Money, m_tableMoney.value(QStringLiteral("MONEY"))));
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
    m_eventLog.AddLog(
        QStringLiteral("Ukončení programu uživatelem: [%1]").arg(Program().CurrentUser));
    Program().JournalLines.clear();
}

void TFormVelmora::MenuItemMoneyClick()
{
    CashBalanceEditor(m_tableMoney, m_formUser->users(), m_eventLog, m_saver).run(this);
}

void TFormVelmora::MenuItemSetupSolarClick()
{
    if (m_setupSolar->exec() == QDialog::Accepted)
        SetActiveSolars();
}

void TFormVelmora::MenuItemUsersClick()
{
    if (m_formUser->exec() == QDialog::Accepted)
        SetUserAccess();
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
