// Benchmarks of the backups and the restore window on generated installations. Not run by ctest.
// Run: QT_QPA_PLATFORM=offscreen build/bin/bench_backups
//   BM_RestoreListing   one listing of the restore window over 20 backups of the installation,
//                       with each backup's receipt count and last receipt (plain and protected),
//                       the files in the page cache
//   BM_BackupChecksums  the checksum file of one backup of the installation

#include "benchcases.h"

#include "desk/backupchecksums.h"
#include "desk/backupsettings.h"
#include "settings/formrestore.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <unistd.h>

namespace {

constexpr int Backups = 20;
const QStringList TableFiles = {QStringLiteral("Money.DB"), QStringLiteral("Solars.DB"),
                                QStringLiteral("SaleSolars.DB")};

class DailyDirectory : public BackupSettings
{
public:
    explicit DailyDirectory(const QString &directory) : m_directory(directory) {}
    bool hourlyBackups() const override { return false; }
    QString hourlyDirectory() const override { return {}; }
    bool purgeOldBackups() const override { return false; }
    int purgeAfterDays() const override { return 0; }
    bool dailyBackups() const override { return true; }
    QString dailyDirectory() const override { return m_directory; }

private:
    QString m_directory;
};

// The installation's table files as a backup folder: hard links, so that twenty backups of a
// large table cost no disk; each is still opened and read as a file of its own.
bool linkBackup(const QString &installation, const QString &folder)
{
    if (!QDir().mkpath(folder))
        return false;
    for (const QString &file : TableFiles) {
        const QByteArray from = QFile::encodeName(installation + u'/' + file);
        const QByteArray to = QFile::encodeName(folder + u'/' + file);
        if (::link(from.constData(), to.constData()) != 0 &&
            !QFile::copy(installation + u'/' + file, folder + u'/' + file))
            return false;
    }
    return true;
}

void BM_RestoreListing(benchmark::State &state)
{
    const QString installation = installationOrSkip(state, state.range(0), state.range(1) != 0);
    if (installation.isEmpty())
        return;
    QTemporaryDir backups;
    for (int day = 1; day <= Backups; ++day) {
        const QString name = QStringLiteral("2026-12-%1_10-00-00").arg(day, 2, 10, QChar(u'0'));
        if (!linkBackup(installation, backups.filePath(name))) {
            state.SkipWithError("the backups cannot be made");
            return;
        }
    }
    DailyDirectory settings(backups.path());
    TFormRestore window(settings);
    // Once untimed: a protected table's key is derived at its first use, which the start-up's
    // upkeep has paid already when the window opens.
    window.GetBackups(backups.path());
    for (auto _ : state)
        window.GetBackups(backups.path());
    auto *list = window.findChild<QTreeWidget *>(QStringLiteral("ListView"));
    if (list->topLevelItemCount() != Backups ||
        list->topLevelItem(0)->text(3) != QString::number(state.range(0)))
        state.SkipWithError("the listing does not show the receipts");
}

void BM_BackupChecksums(benchmark::State &state)
{
    const QString installation = installationOrSkip(state, state.range(0));
    if (installation.isEmpty())
        return;
    QTemporaryDir backup;
    if (!linkBackup(installation, backup.filePath(QStringLiteral("b")))) {
        state.SkipWithError("the backup cannot be made");
        return;
    }
    for (auto _ : state) {
        if (!BackupChecksums::write(backup.filePath(QStringLiteral("b"))).ok())
            state.SkipWithError("the checksums cannot be written");
    }
}

} // namespace

BENCHMARK(BM_RestoreListing)
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->ArgNames({"receipts", "protected"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_BackupChecksums)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN_WITH_APPLICATION(QApplication)
