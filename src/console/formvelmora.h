#pragma once

#include "console/rundialogs.h"
#include "desk/deskreport.h"
#include "desk/desksession.h"
#include "reports/reportpreview.h"

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
class PrintMonitor;
class SolarRow;
class TFormUser;

// The desk's failures shown in the message windows; those that do not wait stay over the owner.
class WindowDeskReport : public DeskReport
{
public:
    // The window that the messages which do not wait stay over.
    void setOwner(QWidget *owner) { m_owner = owner; }
    void warn(const QString &caption, const QString &detail) override;
    void warnWithoutWaiting(const QString &caption, const QString &detail) override;
    void databaseError() override;

private:
    QWidget *m_owner = nullptr;
};

// The desk's main window: one row per sun bed with its start and stop, the status bar with the
// date, time, event log and cash balance, and the menu that opens every other window. It shows
// the session's desk and runs, which every other window works on too.
class TFormVelmora : public QMainWindow
{
    Q_OBJECT

public:
    static constexpr int UnitCount = SolarRuns::UnitCount;

    explicit TFormVelmora(DeskSession &session, QWidget *parent = nullptr);
    ~TFormVelmora() override;

    // Hourly while "Zálohovat každou hodinu do adresáře" is ticked.
    QTimer *TimerBackup() const { return m_timerBackup; }
    void TimerBackupTimer();

    // A lasting line above the status bar while no port watchdog runs: a desk killed then
    // leaves its beds on.
    void showPortProtection(bool protecting);

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
    // One tick of a running unit's countdown timer.
    void TimerSolarTimer(int unit) { m_runs.tick(unit); }
    void SetStart(int unit);
    void SetStop(int unit);
    bool isCounting(int unit) const { return m_runs.isCounting(unit); }
    int remainingSeconds(int unit) const { return m_runs.remainingSeconds(unit); }
    // A request to end from outside (SIGTERM, SIGINT, SIGHUP), after the signal handler has
    // switched every unit off: each running unit's used time is recorded as "Zavřít" records
    // it, the end is logged and the message loop ends with 128 + the signal number.
    void endOnRequest(int signalNumber);

    void setRunQuestions(RunQuestions *questions); // nullptr: the dialog windows

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenu();
    QWidget *buildHeader();
    QWidget *buildStatusBar();
    void FormShow();
    bool FormCloseQuery();
    void FormClose();
    void showMoney();
    bool allowed(UserRight right) const; // the logged-in user's right
    void followRuns();
    // The row's run in direct input, when it is complete.
    std::optional<StartInput> typedRun(int unit) const;
    // "Nastavení" -> "Solárko..." only while no unit runs.
    void updateSetupSolarItem(quint32 portRegister);

    void MenuItemMoneyClick();
    void MenuItemSetupSolarClick();
    void MenuItemSetupPrintClick();
    void MenuItemBackupClick();
    void MenuItemDatabaseClick();
    void setBackupTimer();
    void MenuItemUsersClick();
    void MenuItemSaleSolarsClick();
    void MenuItemSQLClick();
    void MenuItemAboutClick();
    void MenuItemBDEClick();

    DeskSession &m_session;
    Desk &m_desk;
    SolarRuns &m_runs;
    WindowRunDialogs m_windowRunDialogs;
    WindowPreview m_windowPreview;
    std::unique_ptr<PrintMonitor> m_printMonitor;
    TFormUser *m_formUser = nullptr;

    QWidget *m_panelSolars = nullptr;
    QLabel *m_labelPortProtection = nullptr;
    QLabel *m_labelDate = nullptr;
    QLabel *m_labelTime = nullptr;
    QListWidget *m_listBox = nullptr;
    QLabel *m_dbTextMoney = nullptr;
    QTimer *m_timerTime = nullptr;
    QTimer *m_timerBackup = nullptr;

    QAction *m_menuItemSQL = nullptr;
    QAction *m_menuItemMoney = nullptr;
    QMenu *m_menuItemSolars = nullptr;
    QAction *m_menuItemSaleSolars = nullptr;
    QMenu *m_menuItemSetup = nullptr;
    QAction *m_menuItemSetupSolar = nullptr;

    std::array<SolarRow *, UnitCount> m_rows = {};
    std::array<QAction *, UnitCount> m_menuItemsSolar = {};
    bool m_shown = false;
    int m_endSignal = 0; // the signal that asked to end, once one has
    std::unique_ptr<PlacementStore> m_placement;
};
