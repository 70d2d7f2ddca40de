#pragma once

// Following what a child process that a test kills writes, line by line.

#include <QByteArray>
#include <QProcess>

// Reads the child's output up to the next line that is `line`; false when the child ends or
// stays silent for a minute first. A kill test waits here for a step to complete, so that it
// does not depend on how fast the machine makes one.
inline bool waitForLine(QProcess &child, const QByteArray &line)
{
    for (;;) {
        while (child.canReadLine()) {
            if (child.readLine().trimmed() == line)
                return true;
        }
        if (!child.waitForReadyRead(60000))
            return false;
    }
}
