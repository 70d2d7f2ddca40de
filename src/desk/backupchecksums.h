#pragma once

#include "core/textfile.h"

#include <QString>

#include <functional>

// The SHA-256 of a backup's three table files, kept beside them in "Velmora.sha256" as lines
// "hex  name". Plain table files carry no checksum of their own, so this is how a restore tells
// a copy that changed after it was made. A backup without the file (made before there were
// checksums, or cut short) cannot be checked.
namespace BackupChecksums {

extern const QString FileName;

// Whether an entry of a backup folder is the checksum file or a temporary one of its writing.
bool isChecksumFile(const QString &entryName);

// Hashes the folder's table files and writes the checksum file atomically, for this user only.
// `betweenSteps` runs after each piece read, so that the program goes on meanwhile.
FileResult write(const QString &folder, const std::function<void()> &betweenSteps = {});

struct Check
{
    enum Outcome { Matches, NoChecksums, Mismatch, Unreadable };
    Outcome outcome = NoChecksums;
    QString file; // the table file that differs or cannot be read; the checksum file itself
};

// Compares the folder's table files with the checksum file. `Unreadable` for a table file or a
// checksum file that cannot be read, or one that lacks a table's line.
Check verify(const QString &folder, const std::function<void()> &betweenSteps = {});

} // namespace BackupChecksums
