#include "data/tablefilecheck.h"

#include "data/internal/protectedvfs.h"

#include <QFile>

#include <sqlite3.h>

#include <cstdio>

bool isSoundTableFile(const QString &path, const QString &tableName)
{
    sqlite3 *db = nullptr;
    bool sound = false;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY,
                        ProtectedVfs::name()) == SQLITE_OK) {
        sqlite3_stmt *check = nullptr;
        const char *sql = "select (select quick_check from pragma_quick_check) = 'ok' and "
                          "exists (select 1 from sqlite_master where type = 'table' and name = ?)";
        const QByteArray name = tableName.toUtf8();
        sound = sqlite3_prepare_v2(db, sql, -1, &check, nullptr) == SQLITE_OK &&
                sqlite3_bind_text(check, 1, name.constData(), int(name.size()), SQLITE_TRANSIENT) ==
                    SQLITE_OK &&
                sqlite3_step(check) == SQLITE_ROW && sqlite3_column_int(check, 0) == 1;
        sqlite3_finalize(check);
    }
    sqlite3_close(db);
    return sound;
}

bool putTableFileInPlace(const QString &newFile, const QString &tableFile)
{
    QFile::remove(tableFile + QStringLiteral("-journal"));
    return std::rename(QFile::encodeName(newFile).constData(),
                       QFile::encodeName(tableFile).constData()) == 0;
}
