#pragma once

// What a PDF file says, read back with poppler's tools.

#include <QProcess>
#include <QString>
#include <QStringList>

inline QString toolOutput(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(-1);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The text of each page, laid out as on the page.
inline QStringList pdfPageTexts(const QString &file)
{
    return toolOutput(QStringLiteral("pdftotext"),
                      {QStringLiteral("-layout"), file, QStringLiteral("-")})
        .split(QLatin1Char('\f'), Qt::SkipEmptyParts);
}
