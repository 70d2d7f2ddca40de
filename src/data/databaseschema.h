#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <QVariant>

#include <functional>

// A scalar SQL function that the statements of a database may call (in calculated fields' SQL
// expressions and in queries). It gets its arguments as QVariants: integers as qlonglong, reals
// as double, text as QString, NULL as an invalid QVariant; an invalid result is NULL.
struct SqlFunction
{
    QByteArray name;
    int argumentCount = 0;
    std::function<QVariant(const QVariantList &arguments)> evaluate;
};

// What a database consists of: its table files (the first one opens as main) and the SQL
// functions of the application that its statements use.
struct DatabaseSchema
{
    QStringList tableFiles;
    QList<SqlFunction> functions;
};
