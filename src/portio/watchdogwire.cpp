#include "portio/watchdogwire.h"

#include "portio/portaddress.h"

namespace WatchdogWire {

namespace {

const QByteArray PortPrefix = QByteArrayLiteral("port ");
const QByteArray EndLine = QByteArrayLiteral("end");

} // namespace

QByteArray portWord(quint32 port)
{
    return PortPrefix + portTextFromAddress(port).toLatin1() + '\n';
}

QByteArray endWord()
{
    return EndLine + '\n';
}

void Orders::feed(const QByteArray &bytes)
{
    m_partial += bytes;
    qsizetype lineEnd;
    while ((lineEnd = m_partial.indexOf('\n')) >= 0) {
        take(m_partial.left(lineEnd));
        m_partial.remove(0, lineEnd + 1);
    }
}

void Orders::take(const QByteArray &line)
{
    if (line == EndLine) {
        m_ended = true;
        return;
    }
    if (!line.startsWith(PortPrefix))
        return;
    const auto port = parsePortText(QString::fromLatin1(line.mid(PortPrefix.size())));
    if (port && !m_registers.contains(*port))
        m_registers.append(*port);
}

QList<quint32> Orders::registersToSwitchOff() const
{
    return m_ended ? QList<quint32>() : m_registers;
}

} // namespace WatchdogWire
