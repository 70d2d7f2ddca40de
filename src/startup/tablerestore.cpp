#include "startup/tablerestore.h"

#include "core/filesync.h"
#include "core/paths.h"
#include "core/textfile.h"
#include "data/tablefilecheck.h"
#include "desk/backupchecksums.h"
#include "desk/salonschema.h"
#include "startup/forminitialization.h"
#include "ui/common/messagedialogs.h"

#include <QApplication>
#include <QFile>

namespace {

const QString RestoreNote = QStringLiteral("Velmora.restore");

QString tableFile(const QString &directory, const QString &name)
{
    return JoinPath(directory, fileNameOfTable(name));
}

QString copyFile(const QString &directory, const QString &name)
{
    return tableFile(directory, name) + QStringLiteral(".restore");
}

void removeCopies(const QString &directory)
{
    for (const QString &name : TableNames)
        QFile::remove(copyFile(directory, name));
}

bool copyAll(const QString &folder, const QString &directory)
{
    for (const QString &name : TableNames) {
        const QString copy = copyFile(directory, name);
        QFile::remove(copy);
        const bool copied = QFile::copy(tableFile(folder, name), copy) &&
                            isSoundTableFile(copy, name) && syncFile(copy);
        QCoreApplication::processEvents();
        if (!copied)
            return false;
    }
    syncDirectory(directory);
    return true;
}

// The copies take the tables' names.
void putCopiesInPlace(const QString &directory)
{
    for (const QString &name : TableNames) {
        const QString copy = copyFile(directory, name);
        if (!QFile::exists(copy))
            continue; // renamed before the end that cut the restore short
        putTableFileInPlace(copy, tableFile(directory, name));
    }
    syncDirectory(directory);
    QFile::remove(JoinPath(directory, RestoreNote));
    syncDirectory(directory);
}

// A backup made before there were checksums cannot be checked and passes.
bool passes(const BackupChecksums::Check &check)
{
    return check.outcome == BackupChecksums::Check::Matches ||
           check.outcome == BackupChecksums::Check::NoChecksums;
}

void showRefusal(const BackupChecksums::Check &check)
{
    if (check.outcome == BackupChecksums::Check::Mismatch)
        ShowWarning(QStringLiteral("Záloha je poškozená, obnova nebyla provedena..."),
                    QStringLiteral("Soubor %1 se od zálohování změnil...").arg(check.file));
    else
        ShowWarning(QStringLiteral("Zálohu nelze ověřit, obnova nebyla provedena..."),
                    QStringLiteral("Soubor %1 nelze přečíst...").arg(check.file));
}

} // namespace

bool RestoreTablesFrom(const QString &folder, const QString &databaseDirectory)
{
    AddProgress(QStringLiteral("Obnova databáze..."));
    bool restored = false;
    if (ShowQuestion(QStringLiteral("Opravdu provést obnovu databáze ?"),
                     QStringLiteral("Při obnově smí být připojena k databázi pouze tato jedna "
                                    "aplikace!!!"),
                     false)) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const BackupChecksums::Check check =
            BackupChecksums::verify(folder, [] { QCoreApplication::processEvents(); });
        restored = passes(check) && copyAll(folder, databaseDirectory) &&
                   writeFileAtomically(JoinPath(databaseDirectory, RestoreNote),
                                       TableNames.join(QLatin1Char('\n')).toUtf8())
                       .ok();
        if (restored)
            putCopiesInPlace(databaseDirectory);
        else
            removeCopies(databaseDirectory);
        QApplication::restoreOverrideCursor();
        if (!passes(check))
            showRefusal(check);
    }
    ProgressResult(restored);
    return restored;
}

bool restoreLeftovers(const QString &databaseDirectory)
{
    if (QFile::exists(JoinPath(databaseDirectory, RestoreNote)))
        return true;
    for (const QString &name : TableNames) {
        if (QFile::exists(copyFile(databaseDirectory, name)))
            return true;
    }
    return false;
}

bool finishInterruptedRestore(const QString &databaseDirectory)
{
    if (!QFile::exists(JoinPath(databaseDirectory, RestoreNote))) {
        removeCopies(databaseDirectory);
        return false;
    }
    putCopiesInPlace(databaseDirectory);
    return true;
}
