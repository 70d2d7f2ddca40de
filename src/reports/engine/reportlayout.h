#pragma once

#include "reports/engine/pagestore.h"
#include "reports/engine/reportdefinition.h"

#include <QStringList>

#include <functional>

class ReportMetrics;

namespace ReportLayout {

// Runs the report: asks its callbacks for the texts band by band and places every line and
// text on the pages, a band that does not fit starting a new page under the column header.
// pageDone, when given, hears the number of finished pages each time one is complete.
PageStore layOut(const ReportDefinition &definition,
                 const std::function<void(int pageCount)> &pageDone = {});

// The lines as they print in a box widthHundredths wide (hundredths of a millimetre): broken
// between words, a word wider than the box between characters. A width of 0 or less keeps
// the lines as given.
QStringList wrapLines(const QStringList &lines, const ReportFont &font, double widthHundredths,
                      const ReportMetrics &metrics);

} // namespace ReportLayout
