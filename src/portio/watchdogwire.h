#pragma once

#include <QByteArray>
#include <QList>

// What the desk tells its port watchdog through the pipe between them, one word a line:
// "port 0378" before its first write to that register, "end" when it ends normally.
namespace WatchdogWire {

QByteArray portWord(quint32 port);
QByteArray endWord();

// The words as they arrive, in pieces of any size. Lines that are no word are passed over.
class Orders
{
public:
    void feed(const QByteArray &bytes);

    bool endedNormally() const { return m_ended; }
    // What to switch off once the pipe has closed: every announced register, none after "end".
    QList<quint32> registersToSwitchOff() const;

private:
    void take(const QByteArray &line);

    QByteArray m_partial;
    QList<quint32> m_registers;
    bool m_ended = false;
};

} // namespace WatchdogWire
