#pragma once

#include "core/textfile.h"

#include <QDateTime>
#include <QObject>
#include <QStringList>

// The desk's event log: a list of time-stamped lines shown in the console and mirrored in a
// Windows-1250 file, so that it survives restarts.
class EventLog : public QObject
{
    Q_OBJECT

public:
    static constexpr int MaxLinesAtStart = 2048;

    // fileName is resolved against the working directory at each write.
    explicit EventLog(const QString &fileName, QObject *parent = nullptr);

    const QString &fileName() const { return m_fileName; }
    const QStringList &lines() const { return m_lines; }

    // Loads the file as it is; false when it does not exist (the list stays empty).
    bool load();
    // Trims the list to its last 2048 lines and writes the file; the caller reports a failure.
    FileResult DeleteLog();
    // Appends a line stamped with the date and time and writes the file. A failed write is not
    // reported: the line stays in the list and reaches the file with the next successful write.
    void AddLog(const QString &text);

signals:
    void linesReset();
    void lineAdded(const QString &line);

private:
    FileResult writeAll();
    bool appendLast();
    bool fileStillMirrorsList(const QString &path) const;

    QString m_fileName;
    QStringList m_lines;
    // What the file held after our last successful write, to append instead of rewriting.
    QString m_writtenPath;
    qint64 m_writtenSize = -1;
    QDateTime m_writtenTime;
};
