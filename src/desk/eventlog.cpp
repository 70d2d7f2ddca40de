#include "desk/eventlog.h"

#include "core/clock.h"
#include "core/cp1250.h"
#include "core/czechformat.h"

#include <QFile>
#include <QFileInfo>

EventLog::EventLog(const QString &fileName, QObject *parent) : QObject(parent), m_fileName(fileName)
{}

bool EventLog::load()
{
    if (!QFileInfo::exists(m_fileName))
        return false;
    Cp1250Lines::read(m_fileName, &m_lines);
    emit linesReset();
    return true;
}

FileResult EventLog::DeleteLog()
{
    if (m_lines.size() > MaxLinesAtStart) {
        m_lines.remove(0, m_lines.size() - MaxLinesAtStart);
        emit linesReset();
    }
    return writeAll();
}

void EventLog::AddLog(const QString &text)
{
    // A line the file cannot store would keep every later line from being written.
    const QString line =
        CzechFormat::dateTime(programClock().now()) + QLatin1Char(' ') + Cp1250::encodable(text);
    m_lines.append(line);
    if (!appendLast())
        writeAll();
    emit lineAdded(line);
}

FileResult EventLog::writeAll()
{
    const QString path = QFileInfo(m_fileName).absoluteFilePath();
    const FileResult result = Cp1250Lines::write(path, m_lines);
    const QFileInfo written(path);
    m_writtenPath = result.ok() ? path : QString();
    m_writtenSize = written.size();
    m_writtenTime = written.lastModified();
    return result;
}

bool EventLog::fileStillMirrorsList(const QString &path) const
{
    const QFileInfo file(path);
    return path == m_writtenPath && file.size() == m_writtenSize &&
           file.lastModified() == m_writtenTime;
}

// A long day makes the list long; when the file is known to hold exactly the list before the
// new line, adding that line is enough. A partly appended line can only cost that line.
bool EventLog::appendLast()
{
    const QString path = QFileInfo(m_fileName).absoluteFilePath();
    if (!fileStillMirrorsList(path))
        return false;
    QByteArray bytes;
    if (!Cp1250Lines::encode({m_lines.last()}, &bytes).ok())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append) || file.write(bytes) != bytes.size() ||
        !file.flush()) {
        m_writtenPath.clear();
        return false;
    }
    file.close();
    const QFileInfo written(path);
    m_writtenSize = written.size();
    m_writtenTime = written.lastModified();
    return true;
}
