#include "sqlconsole/workbookexport.h"

#include "data/query.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QTime>

#include <xlsxwriter.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

namespace {

struct CellFormats
{
    lxw_format *date;
    lxw_format *time;
    lxw_format *money;
};

lxw_format *numberFormat(lxw_workbook *workbook, const char *format)
{
    lxw_format *made = workbook_add_format(workbook);
    format_set_num_format(made, format);
    return made;
}

lxw_error writeCell(lxw_worksheet *sheet, lxw_row_t row, lxw_col_t column, FieldType type,
                    const QVariant &value, const CellFormats &formats)
{
    if (!value.isValid() || value.isNull())
        return LXW_NO_ERROR;
    if (value.typeId() == QMetaType::QDate) {
        const QDate date = value.toDate();
        lxw_datetime when{date.year(), date.month(), date.day(), 0, 0, 0.0};
        return worksheet_write_datetime(sheet, row, column, &when, formats.date);
    }
    if (value.typeId() == QMetaType::QTime) {
        const double dayShare = value.toTime().msecsSinceStartOfDay() / 86400000.0;
        return worksheet_write_number(sheet, row, column, dayShare, formats.time);
    }
    if (type == FieldType::Logical || value.typeId() == QMetaType::Bool)
        return worksheet_write_boolean(sheet, row, column, value.toBool(), nullptr);
    const bool number = value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Int ||
                        value.typeId() == QMetaType::Double;
    if (number || (isNumberType(type) && value.canConvert<double>())) {
        return worksheet_write_number(sheet, row, column, value.toDouble(),
                                      type == FieldType::Money ? formats.money : nullptr);
    }
    return worksheet_write_string(sheet, row, column, value.toString().toUtf8().constData(),
                                  nullptr);
}

QString failure(const QString &file, lxw_error error)
{
    return QStringLiteral("Soubor %1 se nepodařilo zapsat: %2")
        .arg(file, QString::fromUtf8(lxw_strerror(error)));
}

} // namespace

bool exportToWorkbook(Query &query, const QString &file,
                      const std::function<void(qint64 rows)> &progress, QString *error)
{
    const QFileInfo target(file);
    QTemporaryFile part(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                        QStringLiteral(".XXXXXX.part"));
    if (!part.open()) {
        *error = QStringLiteral("Soubor %1 nelze vytvořit: %2").arg(file, part.errorString());
        return false;
    }
    part.close(); // the workbook writes it by its name
    const QByteArray partName = QFile::encodeName(part.fileName());
    lxw_workbook *workbook = workbook_new(partName.constData());
    lxw_worksheet *sheet = workbook ? workbook_add_worksheet(workbook, nullptr) : nullptr;
    if (!sheet) {
        *error = failure(file, LXW_ERROR_MEMORY_MALLOC_FAILED);
        workbook_close(workbook);
        return false;
    }
    const CellFormats formats{numberFormat(workbook, "d.m.yyyy"), numberFormat(workbook, "h:mm:ss"),
                              numberFormat(workbook, "#,##0.00")};
    const QList<FieldType> types = query.fieldTypes();
    lxw_error written = LXW_NO_ERROR;
    lxw_row_t row = 0;
    for (bool more = query.first(); more && written == LXW_NO_ERROR; more = query.next(), ++row) {
        if (row >= LXW_ROW_MAX) {
            written = LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE;
            break;
        }
        const QVariantList values = query.values();
        for (lxw_col_t column = 0; column < values.size() && written == LXW_NO_ERROR; ++column)
            written =
                writeCell(sheet, row, column, types.value(column), values.at(column), formats);
        progress(qint64(row) + 1);
    }
    const lxw_error closed = workbook_close(workbook);
    if (written == LXW_NO_ERROR)
        written = closed;
    if (written != LXW_NO_ERROR) {
        *error = failure(file, written);
        return false;
    }
    QFile::setPermissions(part.fileName(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                               QFileDevice::ReadGroup | QFileDevice::ReadOther);
    if (std::rename(partName.constData(), QFile::encodeName(file).constData()) != 0) {
        *error = QStringLiteral("Soubor %1 se nepodařilo zapsat: %2")
                     .arg(file, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    part.setAutoRemove(false); // it is the chosen file now
    return true;
}
