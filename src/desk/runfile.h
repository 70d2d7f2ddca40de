#pragma once

#include "core/textfile.h"

#include <QList>
#include <QMap>
#include <QString>

#include <optional>

// One running unit as the run file keeps it, so that a run cut short by any death of the desk
// is booked once at the next start.
struct RunRecord
{
    int unit = 0;
    qint64 startedMs = 0; // since the epoch: this stretch began (the start, or "Pokračovat")
    int usedBefore = 0;   // seconds used in the stretches before it
    int paidSeconds = 0;
    double minutePrice = 0; // before the discount
    int discount = 0;
    QString user;
    // The unit's counters as the run began: its sale, once committed, has raised them.
    int startupsBefore = 0;
    qint64 counterBefore = 0;
    std::optional<int> stoppedAt;        // used seconds of a stop that is being asked about
    std::optional<qint64> switchedOffMs; // when the port watchdog switched the unit off
    bool offAtDeath = false; // the watchdog saw the desk die with this unit off and unstamped

    // The time to book: the run's own stop, else up to the watchdog's stamp, else the paid
    // time; never more than paid.
    int usedSeconds() const;
    // A run whose bed never came on: the desk died between keeping it and switching it on.
    bool neverOn() const { return offAtDeath && !stoppedAt && !switchedOffMs; }
};

// "Velmora.runs" beside the tables: one line per running unit, rewritten atomically before the
// register is switched for a start, a "Pokračovat" or a stop, and without the unit once its
// sale is stored. The port watchdog appends its stamps to it (portio/runstamps.h).
class RunFile
{
public:
    static const QString FileName;

    // Nothing is kept while the path is empty.
    void setPath(const QString &path) { m_path = path; }
    const QString &path() const { return m_path; }

    // A start and a "Pokračovat" must survive a power cut; a stop needs only to survive the
    // program.
    bool keep(const RunRecord &record, FileSync sync);
    std::optional<RunRecord> record(int unit) const;
    bool forget(int unit);

    // The runs a file holds, each with the watchdog's last stamp for its unit after it began.
    static QList<RunRecord> read(const QString &path);
    static QByteArray encode(const QList<RunRecord> &records);

private:
    bool write(FileSync sync);

    QString m_path;
    QMap<int, RunRecord> m_records;
};
