#pragma once

// The SQLite VFS that every table file is opened through, over the default one. Plain files pass
// through unchanged. A protected file (see pagecipher.h) is read and written deciphered page by
// page; its rollback journal and super-journal are enciphered as streams, and so is every
// temporary file (with a random key that lives only in memory), so that no plain page image of a
// protected table ever reaches the disk. It offers no shared memory (so no WAL) and no memory
// mapping: every page passes through its reads and writes.

#include "data/tablekeys.h"

#include <QByteArray>
#include <QFile>
#include <QString>

struct sqlite3;

namespace ProtectedVfs {

// The VFS's name for sqlite3_open_v2; registers it on first use.
const char *name();

// URI of a database file. With `protect`, an empty or new file becomes a protected one (the
// key of the table password); an existing file keeps what it is.
QString fileUri(const QString &path, bool protect, const QString &mode = QString());

// Whether the database file of the schema is a protected one.
bool isProtected(sqlite3 *db, const QString &schema);

// A rollback journal as SQLite reads it: deciphered when it was written for a protected file.
class JournalReader
{
public:
    explicit JournalReader(const QString &path);
    // False when the journal cannot be read or its key is unknown (a missing file opens empty).
    bool open();
    qint64 size() const { return m_size; }
    bool read(qint64 offset, qint64 length, QByteArray *data);

private:
    QFile m_file;
    qint64 m_size = 0;
    qint64 m_shift = 0;
    QByteArray m_nonce;
    TableKeys::KeyPointer m_key; // null for a plain journal
};

} // namespace ProtectedVfs
