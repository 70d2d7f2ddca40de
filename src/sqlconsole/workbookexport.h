#pragma once

#include <QString>

#include <functional>

class Query;

// The rows of a query's open result written into the first worksheet of a new workbook
// ("*.xlsx"), the first record in row 1 and no heading row: numbers as numbers, dates and times
// as dates and times in the Czech display forms, texts as texts, empty values as empty cells.
// The workbook is written beside the chosen file and takes its name only when complete, so a
// failed export leaves no half-written file under it. progress is told the rows written so far.
// False with *error (Czech, naming the file) when the workbook could not be written.
bool exportToWorkbook(Query &query, const QString &file,
                      const std::function<void(qint64 rows)> &progress, QString *error);
