#pragma once

#include "console/rundialogs.h"
#include "data/database.h"
#include "data/table.h"
#include "desk/databasesaver.h"
#include "desk/eventlog.h"
#include "desk/saletransaction.h"
#include "users/userregister.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>

class QAction;
class QLabel;
class QListWidget;
class QMenu;
class QTimer;
class PlacementStore;
class SolarRow;
class SolarSettings;
class TFormSetupSolar;
class TFormUser;

// The desk's main window: one row per sun bed with its start and stop, the status bar with the
// date, time, event log and cash balance, and the menu that opens every other window. It owns
// the database connection and the table cursors that every other window works on.
class TFormVelmora : public QMainWindow
{
    Q_OBJECT

public:
    static constexpr int UnitCount = 8;

    explicit TFormVelmora(QWidget *parent = nullptr);
    ~TFormVelmora() override;

    // --- Start-up ------------------------------------------------------------------------
    Database &database() { return m_database; }
    Table &tableMoney() { return m_tableMoney; }
    Table &tableSolars() { return m_tableSolars; }
    Table &tableSaleSolars() { return m_tableSaleSolars; }
    Table &tableSaleSolarsCalc() { return m_tableSaleSolarsCalc; }
    EventLog &eventLog() { return m_eventLog; }
    DatabaseSaver &databaseSaver() { return m_saver; }

    // The long-lived settings windows; each restores its stored values when created.
    void createSettingsWindows();
    TFormSetupSolar *setupSolar() const { return m_setupSolar; }
    TFormUser *users() const { return m_formUser; }
    // Where the rows, the run dialogs and the sale read the desk's settings.
    const SolarSettings &solarSettings() const { return *m_solarSettings; }
    void setSolarSettings(const SolarSettings *settings) { m_solarSettings = settings; }

    bool OpenDatabase();
    void CloseDatabase();

    // --- The rows ------------------------------------------------------------------------
    void SetActiveSolars();
    void SetUserAccess();
    void SetDateTime();
    SolarRow *row(int unit) const { return m_rows.at(unit - 1); }
    QAction *MenuItemSolar(int unit) const { return m_menuItemsSolar.at(unit - 1); }

    // --- Runs ----------------------------------------------------------------------------
    // A unit's command from its menu item, function key or button: start or stop, as the
    // unit's bit in the port register says.
    void MenuItemSolarClick(int unit);
    // One second of a running unit's countdown.
    void TimerSolarTimer(int unit);
    void SetStart(int unit);
    void SetStop(int unit);
    bool isCounting(int unit) const;
    int remainingSeconds(int unit) const { return m_units.at(unit - 1).remainingSeconds; }
    // A request to end from outside (SIGTERM, SIGINT, SIGHUP), after the signal handler has
    // switched every unit off: each running unit's used time is recorded as "Zavřít" records
    // it, the end is logged and the message loop ends with 128 + the signal number.
    void endOnRequest(int signalNumber);

    void setRunDialogs(RunDialogs *dialogs); // nullptr: the dialog windows
    // Prints the receipt just stored (preview or straight to the printer); none until set.
    void setReceiptPrinter(std::function<void()> printer) { m_printReceipt = std::move(printer); }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    struct UnitRun
    {
        int totalSeconds = 0;
        int remainingSeconds = 0;
        QTimer *timer = nullptr;
    };

    void buildMenu();
    QWidget *buildHeader();
    QWidget *buildStatusBar();
    void FormShow();
    bool FormCloseQuery();
    void FormClose();
    void showMoney();
    bool allowed(UserRight right) const; // the logged-in user's right
    void installErrorHandlers(Table &table);
    bool moneyHasOneRecord();

    void startUnit(int unit);
    void stopUnit(int unit);
    // The run as it stands, priced as the stop dialog shows it.
    Sale stoppedRun(int unit) const;
    // Resets the row and stores the sale ("Tisk dokladu": as a receipt, then printed).
    void recordRun(Sale sale, bool print);
    void switchUnit(int unit, bool on);
    void beginCountdown(int unit, const QString &minutes, const QString &seconds);
    // "Nastavení" -> "Solárko..." only while no unit runs.
    void updateSetupSolarItem(quint32 portRegister);

    void MenuItemMoneyClick();
    void MenuItemSetupSolarClick();
    void MenuItemUsersClick();
    void MenuItemAboutClick();
    void MenuItemBDEClick();

    Database m_database;
    Table m_tableMoney;
    Table m_tableSolars;
    Table m_tableSaleSolars;
    Table m_tableSaleSolarsCalc;
    EventLog m_eventLog;
    DatabaseSaver m_saver;
    SaleRecorder m_saleRecorder;
    WindowRunDialogs m_windowRunDialogs;
    RunDialogs *m_runDialogs;
    std::function<void()> m_printReceipt;

    TFormSetupSolar *m_setupSolar = nullptr;
    TFormUser *m_formUser = nullptr;
    const SolarSettings *m_solarSettings = nullptr;

    QWidget *m_panelSolars = nullptr;
    QLabel *m_labelDate = nullptr;
    QLabel *m_labelTime = nullptr;
    QListWidget *m_listBox = nullptr;
    QLabel *m_dbTextMoney = nullptr;
    QTimer *m_timerTime = nullptr;

    QAction *m_menuItemSQL = nullptr;
    QAction *m_menuItemMoney = nullptr;
    QMenu *m_menuItemSolars = nullptr;
    QAction *m_menuItemSaleSolars = nullptr;
    QMenu *m_menuItemSetup = nullptr;
    QAction *m_menuItemSetupSolar = nullptr;
    // Menu items whose windows the program does not have yet: shown, never enabled.
    QList<QAction *> m_pendingItems;

    std::array<SolarRow *, UnitCount> m_rows = {};
    std::array<QAction *, UnitCount> m_menuItemsSolar = {};
    std::array<UnitRun, UnitCount> m_units = {};
    bool m_shown = false;
    int m_endSignal = 0; // the signal that asked to end, once one has
    std::unique_ptr<PlacementStore> m_placement;
};
