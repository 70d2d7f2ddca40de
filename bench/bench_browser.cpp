// Benchmarks of the sales browser and its statistics on generated installations (cached between
// runs, see cachedInstallation). Not run by ctest. Run: build/bin/bench_browser
//   BM_BrowserOpen       the browser made, shown and its grid painted on "dnešní den"; the
//                        counter PeakRssMB is the process's peak resident memory so far
//   BM_BrowserKeystroke  one more digit in the "Doklad" upper bound (all receipts still pass)
//                        on "všechna období" or "dnešní den": the filter rebuilt, counted,
//                        summed and the grid repainted; beside it BM_CountSumFloor, the
//                        plainest in-process count and sum on the same file
//   BM_BrowserCtrlEnd    Ctrl+End on the grid over all receipts, the last rows painted
//   BM_Statistic         one statistic's grouped count over all receipts (0 day ... 3 year)
//   BM_StatisticShell    the same grouped count run by the sqlite3 shell on the same file
//   BM_SqlFirstRows      the SQL console: "select * from SALESOLARS" run and its grid painted
//   BM_SqlExport         the SQL console's export of a result into a workbook file

#include "benchcases.h"
#include "deskplaces.h"
#include "fakes/fakeclock.h"
#include "fakes/fakeprintsettings.h"
#include "fakes/recordingpreview.h"

#include "core/clock.h"
#include "data/table.h"
#include "desk/desk.h"
#include "desk/settings/printsettings.h"
#include "reports/formsalesolars.h"
#include "reports/logic/statistics.h"
#include "reports/reportpreview.h"
#include "sqlconsole/formsql.h"
#include "ui/common/recordgrid.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>

#include <memory>

namespace {

double peakResidentMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    }
    return 0;
}

// The desk's tables open on a cached installation, the browser made on demand, as the console
// makes it.
class BrowserPlace
{
public:
    BrowserPlace(benchmark::State &state, qint64 receipts)
        : m_directory(installationOrSkip(state, receipts)), m_place(m_directory), m_report(state),
          m_desk(m_report)
    {
        // A day in the middle of the generated receipts, so that "dnešní den" has a day's worth.
        m_clock.m_now = QDateTime(QDate(2024, 6, 14), QTime(14, 0));
        setProgramClock(&m_clock);
        m_ready = !m_directory.isEmpty() && m_desk.database().connectDirectory(m_directory) &&
                  m_desk.openTables();
        if (!m_ready && !m_directory.isEmpty())
            state.SkipWithError("open failed");
    }
    ~BrowserPlace() { setProgramClock(nullptr); }

    bool ready() const { return m_ready; }
    Desk &desk() { return m_desk; }

    std::unique_ptr<TFormSaleSolars> openBrowser()
    {
        auto browser = std::make_unique<TFormSaleSolars>(m_desk, m_settings, m_printSettings,
                                                         m_preview, QStringList{});
        browser->show();
        grid(*browser)->viewport()->repaint();
        return browser;
    }

    static RecordGrid *grid(TFormSaleSolars &browser)
    {
        return browser.findChild<RecordGrid *>(QStringLiteral("DBGridSaleSolars"));
    }

private:
    QString m_directory;
    SalePlace m_place;
    SkippingReport m_report;
    FakeClock m_clock;
    Desk m_desk;
    FakeSolarSettings m_settings = defaultSettings();
    FakePrintSettings m_printSettings;
    RecordingPreview m_preview;
    bool m_ready = false;
};

void choosePeriod(TFormSaleSolars &browser, const QString &button)
{
    browser.findChild<QRadioButton *>(button)->click();
}

void BM_BrowserOpen(benchmark::State &state)
{
    BrowserPlace place(state, state.range(0));
    if (!place.ready())
        return;
    for (auto _ : state) {
        std::unique_ptr<TFormSaleSolars> browser = place.openBrowser();
        state.PauseTiming();
        browser->reject();
        browser.reset();
        state.ResumeTiming();
    }
    state.counters["PeakRssMB"] = peakResidentMegabytes();
}

void BM_BrowserKeystroke(benchmark::State &state)
{
    BrowserPlace place(state, state.range(0));
    if (!place.ready())
        return;
    std::unique_ptr<TFormSaleSolars> browser = place.openBrowser();
    choosePeriod(*browser, state.range(1) != 0 ? QStringLiteral("RadioButtonAll")
                                               : QStringLiteral("RadioButtonToday"));
    browser->findChild<QCheckBox *>(QStringLiteral("CheckBoxParagon"))->click();
    auto *bound = browser->findChild<QLineEdit *>(QStringLiteral("IntegerEditParagonSecond"));
    RecordGrid *grid = BrowserPlace::grid(*browser);
    bool longer = false;
    for (auto _ : state) {
        longer = !longer;
        bound->setText(longer ? QStringLiteral("999999999") : QStringLiteral("99999999"));
        grid->viewport()->repaint();
    }
    state.counters["records"] = double(place.desk().tableSaleSolars().recordCount());
    browser->reject();
}

void BM_BrowserCtrlEnd(benchmark::State &state)
{
    BrowserPlace place(state, state.range(0));
    if (!place.ready())
        return;
    std::unique_ptr<TFormSaleSolars> browser = place.openBrowser();
    choosePeriod(*browser, QStringLiteral("RadioButtonAll"));
    RecordGrid *grid = BrowserPlace::grid(*browser);
    grid->setFocus();
    auto press = [grid](Qt::Key key) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::ControlModifier);
        QApplication::sendEvent(grid, &event);
        grid->viewport()->repaint();
    };
    for (auto _ : state) {
        press(Qt::Key_End);
        state.PauseTiming();
        press(Qt::Key_Home);
        browser->SaleSolarFilter(); // the rows read so far are forgotten, as after any change
        state.ResumeTiming();
    }
    press(Qt::Key_End);
    state.counters["row"] = grid->currentIndex().row();
    state.counters["PeakRssMB"] = peakResidentMegabytes();
    browser->reject();
}

// A long look through all receipts: every statistic, then each sort order with Ctrl+End. The
// counter PeakRssMB is the process's peak resident memory afterwards.
void BM_BrowserSession(benchmark::State &state)
{
    BrowserPlace place(state, state.range(0));
    if (!place.ready())
        return;
    for (auto _ : state) {
        std::unique_ptr<TFormSaleSolars> browser = place.openBrowser();
        choosePeriod(*browser, QStringLiteral("RadioButtonAll"));
        for (const Statistic statistic :
             {Statistic::Day, Statistic::Week, Statistic::Month, Statistic::Year})
            countCustomers(place.desk().tableSaleSolars(), statistic);
        RecordGrid *grid = BrowserPlace::grid(*browser);
        for (int column = 0; column < grid->model()->columnCount(); ++column) {
            browser->TitleClick(column);
            QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
            QApplication::sendEvent(grid, &end);
            grid->viewport()->repaint();
        }
        browser->reject();
    }
    state.counters["PeakRssMB"] = peakResidentMegabytes();
}

void BM_Statistic(benchmark::State &state)
{
    BrowserPlace place(state, state.range(0));
    if (!place.ready())
        return;
    const auto statistic = Statistic(state.range(1));
    qint64 counted = 0;
    for (auto _ : state) {
        const std::optional<StatisticCounts> counts =
            countCustomers(place.desk().tableSaleSolars(), statistic);
        if (!counts) {
            state.SkipWithError("count failed");
            return;
        }
        counted = 0;
        for (const qint64 count : counts->counts)
            counted += count;
    }
    state.counters["records"] = double(counted);
}

void BM_StatisticShell(benchmark::State &state)
{
    const QString directory = installationOrSkip(state, state.range(0));
    if (directory.isEmpty())
        return;
    static const char *const parts[] = {"strftime('%H', TIME)", "strftime('%w', DATE)",
                                        "strftime('%d', DATE)", "strftime('%m', DATE)"};
    const QString sql = QStringLiteral("SELECT %1, count(*) FROM SaleSolars GROUP BY 1")
                            .arg(QLatin1String(parts[state.range(1)]));
    QByteArray output;
    for (auto _ : state) {
        if (!runShellOnReceipts(state, directory, sql, &output))
            return;
    }
}

void BM_SqlFirstRows(benchmark::State &state)
{
    BrowserPlace place(state, state.range(0));
    if (!place.ready())
        return;
    TFormSQL window(place.desk());
    window.show();
    auto *grid = window.findChild<QTableView *>(QStringLiteral("DBGrid"));
    for (auto _ : state) {
        window.runStatement(QStringLiteral("select * from SALESOLARS"));
        grid->viewport()->repaint();
    }
    state.counters["rows"] = grid->model()->rowCount();
}

void BM_SqlExport(benchmark::State &state)
{
    BrowserPlace place(state, 1000000);
    if (!place.ready())
        return;
    TFormSQL window(place.desk());
    window.setWorkbookOpener([](const QString &) {});
    window.runStatement(QStringLiteral("select * from SALESOLARS limit %1").arg(state.range(0)));
    QTemporaryDir folder;
    for (auto _ : state) {
        if (!window.exportResult(folder.filePath(QStringLiteral("export.xlsx")))) {
            state.SkipWithError("export failed");
            return;
        }
    }
    state.counters["MB"] =
        double(QFileInfo(folder.filePath(QStringLiteral("export.xlsx"))).size()) / 1e6;
}

} // namespace

BENCHMARK(BM_BrowserOpen)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BrowserKeystroke)
    ->ArgsProduct({{100000, 1000000}, {1, 0}})
    ->ArgNames({"receipts", "allPeriods"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CountSumFloor)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BrowserCtrlEnd)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BrowserSession)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Statistic)
    ->ArgsProduct({{1000000}, {0, 1, 2, 3}})
    ->ArgNames({"receipts", "statistic"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StatisticShell)
    ->ArgsProduct({{1000000}, {0, 1, 2, 3}})
    ->ArgNames({"receipts", "statistic"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK(BM_SqlFirstRows)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SqlExport)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(2);

BENCHMARK_MAIN_WITH_APPLICATION(QApplication)
