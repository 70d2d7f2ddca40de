#pragma once

#include <QString>
#include <QStringList>

// What the port watchdog did on its own while the desk was hung, noted in "Velmora.hang" in
// the configuration folder for the desk to log at its next start: the desk may be stopped, or
// about to be killed, so the watchdog never touches the event log itself.
namespace HangNotes {

QString filePath();
// Appends one line, with the date and time, readable by this user only; false when it could
// not be written.
bool append(const QString &text);
// The noted lines, oldest first; the file goes with them.
QStringList take();

} // namespace HangNotes
