#pragma once

#include "reports/engine/pagestore.h"

#include <QString>

class QPainter;
class QPrinter;

// Draws laid-out pages: on any painter at any scale (the preview), on a printer and into a PDF
// file. Text is drawn at the resolution it was measured at and scaled from there, so it fills
// the boxes of the layout on every device.
namespace PagePainter {

// Page `index` (from 0) with the sheet's top left corner at the painter's origin and
// pixelsPerMillimetre of the painter's units to a millimetre, on a white sheet.
void paintPage(QPainter &painter, const PageStore &store, int index, double pixelsPerMillimetre);

// All pages on the printer, as one job titled with the store's title, on a sheet of the
// store's size. On failure returns false with a message for the user in *error.
bool printStore(const PageStore &store, QPrinter &printer, QString *error);

// All pages into a PDF file, drawn as on the printer.
bool writePdf(const PageStore &store, const QString &fileName, QString *error);

} // namespace PagePainter
