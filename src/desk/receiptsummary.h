#pragma once

#include <QDateTime>
#include <QString>

// What a folder's receipts table holds, in short: how many receipts and when the last of them
// (the highest number) was made. Read through the engine, so a protected file needs the table
// password registered.
struct ReceiptSummary
{
    bool readable = false;
    QString error; // the engine's reason when not readable
    qint64 count = 0;
    QDateTime last; // invalid without receipts
};

// Of "SaleSolars.DB" in the folder, which is only read.
ReceiptSummary summarizeReceipts(const QString &folder);
