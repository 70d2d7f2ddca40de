#pragma once

#include <QString>

// How the desk's failures reach the person at the desk. The desk itself shows nothing: the
// console implements this with its message windows, tests and benchmarks with a record.
class DeskReport
{
public:
    virtual ~DeskReport() = default;
    // A warning with its caption and its detail line, such as a failed post.
    virtual void warn(const QString &caption, const QString &detail) = 0;
    // The same, for a failure that a timer met while the desk runs: the desk goes on under the
    // warning, which does not wait for the user. Reports without windows take it as a warning.
    virtual void warnWithoutWaiting(const QString &caption, const QString &detail)
    {
        warn(caption, detail);
    }
    // The database engine's last error.
    virtual void databaseError() = 0;
};
