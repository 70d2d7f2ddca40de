#pragma once

#include "core/textfile.h"
#include "reports/engine/pagestore.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The saved report pages ("*.qrp"): the program's own binary format, so that a saved report can
// be opened, printed, cut and joined again later. The file starts with a magic and a format
// version; a checksum over the rest tells damage from a foreign or newer file.
namespace PageFile {

constexpr quint16 FormatVersion = 1;

// The whole file's content.
QByteArray encode(const PageStore &store);
// The store from a file's content; on failure a Czech message naming the file (as fileName)
// and nothing in *store.
FileResult decode(const QByteArray &content, const QString &fileName, PageStore *store);

// The pages alone, without the magic, the version and the checksum. A damaged file fails on the
// checksum before these run; they check every count and value on their own all the same.
QByteArray encodePayload(const PageStore &store);
bool decodePayload(const QByteArray &payload, PageStore *store);

// Replaces the file atomically.
FileResult save(const QString &path, const PageStore &store);
FileResult load(const QString &path, PageStore *store);

} // namespace PageFile
