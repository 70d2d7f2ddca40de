#include "desk/runfile.h"

#include "portio/runstamps.h"

#include <QFile>

#include <algorithm>

const QString RunFile::FileName = QStringLiteral("Velmora.runs");

namespace {

const QByteArray RunWord = QByteArrayLiteral("run");
const QByteArray NoStop = QByteArrayLiteral("-");
constexpr int FieldCount = 12;

QByteArray encodeRecord(const RunRecord &run)
{
    const QList<QByteArray> fields = {
        RunWord,
        QByteArray::number(run.unit),
        QByteArray::number(run.startedMs),
        QByteArray::number(run.usedBefore),
        QByteArray::number(run.paidSeconds),
        QByteArray::number(run.minutePrice, 'g', 17),
        QByteArray::number(run.discount),
        QByteArray::number(run.startupsBefore),
        QByteArray::number(run.counterBefore),
        run.stoppedAt ? QByteArray::number(*run.stoppedAt) : NoStop,
        QByteArrayLiteral("1"), // the line's layout, for a later program
        run.user.toUtf8(),      // last: a name holds no tab, but anything else
    };
    return fields.join('\t') + '\n';
}

std::optional<RunRecord> decodeRecord(const QByteArray &line)
{
    const QList<QByteArray> fields = line.split('\t');
    if (fields.size() != FieldCount || fields.at(0) != RunWord)
        return std::nullopt;
    bool ok[9] = {};
    RunRecord run;
    run.unit = fields.at(1).toInt(&ok[0]);
    run.startedMs = fields.at(2).toLongLong(&ok[1]);
    run.usedBefore = fields.at(3).toInt(&ok[2]);
    run.paidSeconds = fields.at(4).toInt(&ok[3]);
    run.minutePrice = fields.at(5).toDouble(&ok[4]);
    run.discount = fields.at(6).toInt(&ok[5]);
    run.startupsBefore = fields.at(7).toInt(&ok[6]);
    run.counterBefore = fields.at(8).toLongLong(&ok[7]);
    if (fields.at(9) != NoStop)
        run.stoppedAt = fields.at(9).toInt(&ok[8]);
    else
        ok[8] = true;
    run.user = QString::fromUtf8(fields.at(11));
    const bool sound = std::all_of(std::begin(ok), std::end(ok), [](bool each) { return each; });
    if (!sound || run.unit < 1 || run.unit > 8 || run.paidSeconds < 0 || run.usedBefore < 0)
        return std::nullopt;
    return run;
}

} // namespace

int RunRecord::usedSeconds() const
{
    int used = paidSeconds;
    if (stoppedAt)
        used = *stoppedAt;
    else if (switchedOffMs)
        used = usedBefore + int(std::max<qint64>(0, *switchedOffMs - startedMs) / 1000);
    return std::clamp(used, 0, paidSeconds);
}

bool RunFile::keep(const RunRecord &record, FileSync sync)
{
    m_records.insert(record.unit, record);
    return write(sync);
}

std::optional<RunRecord> RunFile::record(int unit) const
{
    const auto found = m_records.constFind(unit);
    if (found == m_records.cend())
        return std::nullopt;
    return *found;
}

bool RunFile::forget(int unit)
{
    if (m_records.remove(unit) == 0)
        return true;
    // Only a death of the program must find the unit gone: after a power cut its sale, once
    // committed, has raised the counters that the next start compares.
    return write(FileSync::ToCache);
}

bool RunFile::write(FileSync sync)
{
    if (m_path.isEmpty())
        return true;
    const FileResult written =
        writeFileAtomically(m_path, encode(m_records.values()), FileAccess::OwnerOnly, sync);
    if (!written.ok())
        qWarning("Soubor běžících solárek nelze zapsat: %s", qPrintable(written.message));
    return written.ok();
}

QByteArray RunFile::encode(const QList<RunRecord> &records)
{
    QByteArray content;
    for (const RunRecord &run : records)
        content += encodeRecord(run);
    return content;
}

QList<RunRecord> RunFile::read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QMap<int, RunRecord> runs;
    std::optional<qint64> deathMs;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (const auto run = decodeRecord(line)) {
            runs.insert(run->unit, *run);
        } else if (const auto stamp = RunStamps::parseOffLine(line)) {
            auto found = runs.find(stamp->unit);
            // A stamp from before the run began belongs to an earlier run of the unit.
            if (found != runs.end() && stamp->epochMs >= found->startedMs)
                found->switchedOffMs = stamp->epochMs;
        } else if (const auto down = RunStamps::parseDownLine(line)) {
            deathMs = down;
        }
    }
    for (RunRecord &run : runs)
        run.offAtDeath = deathMs && *deathMs >= run.startedMs;
    return runs.values();
}
