#pragma once

// File bytes as the configuration tests write and compare them.

#include "core/cp1250.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTest>

inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// Expected file texts are written with \n and stored with CR LF.
inline QByteArray crlf(const QByteArray &text)
{
    QByteArray result = text;
    return result.replace("\n", "\r\n");
}

inline QByteArray cp1250(const QString &text)
{
    QByteArray bytes;
    if (!Cp1250::encode(text, &bytes))
        qFatal("test text is not Windows-1250");
    return bytes;
}
