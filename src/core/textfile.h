#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Outcome of a file operation: the system's error number (0 on success) and a Czech text.
struct FileResult
{
    int errorCode = 0;
    QString message;

    bool ok() const { return errorCode == 0 && message.isEmpty(); }
    static FileResult success() { return {}; }
    static FileResult systemError(int code, const QString &path);
    static FileResult failure(const QString &message);
};

// Who may read a written file. A replaced file keeps its mode, a new one is the owner's alone
// (0600); files that hold secrets are the owner's alone whatever they were before.
enum class FileAccess { KeepMode, OwnerOnly };

// Whether the new content must survive a power cut (synced to the disk, as it is by default), or
// only a death of the program, which the file system's cache survives.
enum class FileSync { ToDisk, ToCache };

// Replaces the file so that a crash leaves either the old or the new content, never a mix:
// a temporary file in the same folder is written, synced and renamed over the target.
// A target that exists but may not be written is refused, as a plain rewrite would be.
FileResult writeFileAtomically(const QString &path, const QByteArray &content,
                               FileAccess access = FileAccess::KeepMode,
                               FileSync sync = FileSync::ToDisk);

// Windows-1250 text files with CR LF line ends.
namespace Cp1250Lines {

// Reads all lines; LF alone also ends a line, and a last line without an end counts.
FileResult read(const QString &path, QStringList *lines);

// Encodes the lines, each followed by CR LF; a character without a Windows-1250 code makes the
// call fail before anything is written.
FileResult encode(const QStringList &lines, QByteArray *content);

// Replaces the file atomically with the lines.
FileResult write(const QString &path, const QStringList &lines);

} // namespace Cp1250Lines
