#pragma once

// Engine-internal: the super-journals of a transaction over several table files.
//
// SQLite writes one for a commit that spans the attached files ("Money.DB-mj" and hex digits,
// next to the main file) and names it at the end of every table's rollback journal; it needs
// the super-journal to roll a hot journal back, and deletes it itself once no journal refers to
// it. A process killed between those steps leaves super-journals that nothing refers to, and
// SQLite never removes them: they pile up.

#include <QString>
#include <QStringList>

namespace SuperJournals {

// Removes the super-journals of the main table file (the first of tableFiles) that no hot journal
// of the table files names. When a journal cannot be read, nothing is removed. Call it before
// SQLite opens the files (and so before it rolls back any hot journal).
void removeStale(const QString &directory, const QStringList &tableFiles);

// The file name (without its directory) of the super-journal that a hot rollback journal names
// at its end; empty when the journal is missing, not hot (its header was never completed, so
// SQLite ignores it) or names none. *readable is false when the journal cannot be read.
QString namedIn(const QString &journalPath, bool *readable);

} // namespace SuperJournals
