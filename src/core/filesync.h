#pragma once

class QString;

// Making written files survive a power cut: their content, and their names in the folder.
bool syncFile(const QString &path);
// Failures are ignored: not every file system lets a folder be synced.
void syncDirectory(const QString &directory);
