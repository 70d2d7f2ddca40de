#include "generator.h"

#include "core/paths.h"
#include "core/pricing.h"
#include "desk/salonschema.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <array>
#include <random>

#include <sqlite3.h>

namespace {

class Connection
{
public:
    explicit Connection(const QString &path)
    {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE,
                            nullptr) != SQLITE_OK) {
            m_error = QStringLiteral("Soubor %1 nelze otevřít").arg(path);
        }
    }
    ~Connection() { sqlite3_close_v2(m_db); }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    sqlite3 *db() const { return m_db; }
    bool exec(const QString &sql)
    {
        if (!m_error.isEmpty())
            return false;
        char *message = nullptr;
        if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
            m_error = QString::fromUtf8(message);
            sqlite3_free(message);
            return false;
        }
        return true;
    }
    QString error() const
    {
        return m_error.isEmpty() ? QString::fromUtf8(sqlite3_errmsg(m_db)) : m_error;
    }

private:
    sqlite3 *m_db = nullptr;
    QString m_error;
};

// A unit's price per minute in a year: dearer units, one crown more every year.
double unitPrice(int unit, int year)
{
    return 8.0 + unit * 0.5 + (year - 2021) * 1.0;
}

struct Totals
{
    std::array<qint64, 9> seconds{};
    std::array<qint64, 9> runs{};
    double money = 0;
};

bool loadReceipts(const QString &directory, qint64 count, Totals *totals, QString *error)
{
    Connection sales(JoinPath(directory, QStringLiteral("SaleSolars.DB")));
    // A generated file has no value until it is complete: no journal, no syncs while loading.
    if (!sales.exec(QStringLiteral("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF;"))) {
        *error = sales.error();
        return false;
    }
    QStringList indexes;
    sqlite3_stmt *list = nullptr;
    sqlite3_prepare_v2(
        sales.db(),
        "SELECT name, sql FROM sqlite_schema WHERE type = 'index' AND sql IS NOT NULL "
        "ORDER BY rowid",
        -1, &list, nullptr);
    QStringList names;
    while (sqlite3_step(list) == SQLITE_ROW) {
        names.append(
            QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(list, 0))));
        indexes.append(
            QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(list, 1))));
    }
    sqlite3_finalize(list);
    for (const QString &name : std::as_const(names)) {
        if (!sales.exec(QStringLiteral("DROP INDEX \"%1\"").arg(name))) {
            *error = sales.error();
            return false;
        }
    }

    sales.exec(QStringLiteral("BEGIN"));
    sqlite3_stmt *insert = nullptr;
    sqlite3_prepare_v2(sales.db(),
                       "INSERT INTO SaleSolars (PARAGON, DATE, TIME, SOLAR, STOP, TAX, PRICE, OFF, "
                       "PERIOD, USER) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                       -1, &insert, nullptr);
    std::mt19937 random(20260101);
    const QDate firstDay(2021, 1, 1);
    const QDate lastDay(2025, 12, 31);
    const qint64 days = firstDay.daysTo(lastDay) + 1;
    const std::array<int, 8> discounts = {0, 0, 0, 0, 5, 10, 15, 20};
    const std::array<const char *, 5> users = {"Administrator", "Jana", "Petra", "Lucie", "Martin"};
    std::uniform_int_distribution<int> unitOf(1, 8);
    std::uniform_int_distribution<int> periodOf(60, 1200);
    std::uniform_int_distribution<int> pick(0, 7);
    std::uniform_int_distribution<int> userOf(0, 4);
    std::uniform_int_distribution<int> stopOf(0, 9);
    qint64 paragon = 0;
    for (qint64 day = 0; day < days && paragon < count; ++day) {
        const QDate date = firstDay.addDays(day);
        const QByteArray dateText = date.toString(Qt::ISODate).toUtf8();
        const qint64 today = (count * (day + 1)) / days - (count * day) / days;
        const int tax = date.year() < 2024 ? 21 : 12; // the rate for the service changed
        for (qint64 i = 0; i < today; ++i) {
            ++paragon;
            const int seconds = 8 * 3600 + int((13 * 3600 * (i + 1)) / (today + 1));
            const QByteArray timeText = QStringLiteral("%1:%2:%3")
                                            .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
                                            .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
                                            .arg(seconds % 60, 2, 10, QLatin1Char('0'))
                                            .toUtf8();
            const int unit = unitOf(random);
            const double price = unitPrice(unit, date.year());
            const int off = discounts.at(pick(random));
            const int period = periodOf(random);
            sqlite3_bind_int64(insert, 1, paragon);
            sqlite3_bind_text(insert, 2, dateText.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 3, timeText.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(insert, 4, unit);
            sqlite3_bind_int(insert, 5, stopOf(random) == 0 ? 1 : 0);
            sqlite3_bind_int(insert, 6, tax);
            sqlite3_bind_double(insert, 7, price);
            sqlite3_bind_int(insert, 8, off);
            sqlite3_bind_int(insert, 9, period);
            sqlite3_bind_text(insert, 10, users.at(userOf(random)), -1, SQLITE_STATIC);
            if (sqlite3_step(insert) != SQLITE_DONE) {
                *error = sales.error();
                sqlite3_finalize(insert);
                return false;
            }
            sqlite3_reset(insert);
            totals->seconds[unit] += period;
            totals->runs[unit] += 1;
            totals->money += receiptPriceTotal(period, price, off);
        }
    }
    sqlite3_finalize(insert);
    if (!sales.exec(QStringLiteral("COMMIT"))) {
        *error = sales.error();
        return false;
    }
    for (const QString &sql : std::as_const(indexes)) {
        if (!sales.exec(sql)) {
            *error = sales.error();
            return false;
        }
    }
    return sales.exec(QStringLiteral("PRAGMA journal_mode = DELETE; ANALYZE;")) ||
           (*error = sales.error(), false);
}

bool storeTotals(const QString &directory, const Totals &totals, QString *error)
{
    Connection solars(JoinPath(directory, QStringLiteral("Solars.DB")));
    for (int unit = 1; unit <= 8; ++unit) {
        // The price of the last year's receipts is the unit's price now.
        if (!solars.exec(QStringLiteral("UPDATE Solars SET PRICE = %1, COUNTER = %2, STARTUP = %3 "
                                        "WHERE SOLAR = %4")
                             .arg(unitPrice(unit, 2025))
                             .arg(qMin<qint64>(totals.seconds[unit], 2147483647))
                             .arg(qMin<qint64>(totals.runs[unit], 32767))
                             .arg(unit))) {
            *error = solars.error();
            return false;
        }
    }
    Connection money(JoinPath(directory, QStringLiteral("Money.DB")));
    if (!money.exec(QStringLiteral("UPDATE Money SET MONEY = %1").arg(totals.money, 0, 'f', 2))) {
        *error = money.error();
        return false;
    }
    return true;
}

} // namespace

bool generateInstallation(const QString &directory, qint64 count, QString *error)
{
    Totals totals;
    return createInstallation(directory, error) && loadReceipts(directory, count, &totals, error) &&
           storeTotals(directory, totals, error);
}

QString cachedInstallation(qint64 count, QString *error)
{
    const QString base = qEnvironmentVariableIsSet("VELMORA_BENCH_DIR")
                             ? qEnvironmentVariable("VELMORA_BENCH_DIR")
                             : JoinPath(QDir::tempPath(), QStringLiteral("velmora-bench"));
    const QString directory = JoinPath(base, QStringLiteral("receipts-%1").arg(count));
    const QString marker = JoinPath(directory, QStringLiteral("complete"));
    if (QFileInfo::exists(marker))
        return directory;
    QDir(directory).removeRecursively();
    if (!generateInstallation(directory, count, error))
        return QString();
    QFile done(marker);
    if (!done.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("Soubor %1 nelze zapsat").arg(marker);
        return QString();
    }
    return directory;
}

QString plainSqlCountAndSum()
{
    // PRICE_TOTAL = RoundPrice(PERIOD / 60 * PRICE * (100 - OFF) / 100): halves stay, the rest
    // rounds to whole crowns.
    return QStringLiteral(
        "SELECT count(*), total(CASE WHEN abs(v - CAST(v AS INTEGER)) = 0.5 THEN v ELSE round(v) "
        "END) "
        "FROM (SELECT (PERIOD / 60.0) * (PRICE * (100 - OFF) / 100.0) AS v FROM SaleSolars)");
}
