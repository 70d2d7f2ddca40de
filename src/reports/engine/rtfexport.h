#pragma once

#include "core/textfile.h"
#include "reports/engine/pagestore.h"

#include <QByteArray>
#include <QString>

// The report as RTF for a word processor: the store's sheet without margins, every text line in
// a frame at its place on the page and every line as a drawing object, so the pages look as in
// the preview. Plain ASCII output; other characters go as Unicode escapes.
namespace RtfExport {

// Hundredths of a millimetre in twips (1/1440 inch), rounded.
int toTwips(int hundredthsOfMillimetre);

QByteArray encode(const PageStore &store);

// Replaces the file atomically; on failure a Czech message naming the file.
FileResult write(const QString &path, const PageStore &store);

} // namespace RtfExport
