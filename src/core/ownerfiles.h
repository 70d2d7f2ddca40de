#pragma once

#include <QString>

// Files and folders of this user only: the tables, their journals and backups, the event log,
// the settings, the users file and the exports hold the salon's receipts, balance and names.

// From now on every file the process creates is readable by this user only (0600) and every
// folder (0700); files and folders that exist keep their modes. Called first by each program.
void keepNewFilesToOwner();

// A folder for this user alone in a place others share (the temporary folder): made 0700 when
// missing; refused, with the reason in *problem, when it is not a folder of this user that only
// this user may write (another account, or a link, could have made it first).
bool claimOwnFolder(const QString &path, QString *problem);

// The temporary files that an interrupted atomic rewrite of path left beside it
// (".Velmora.log.XXXXXX"), removed.
void removeInterruptedRewrites(const QString &path);
