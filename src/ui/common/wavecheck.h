#pragma once

#include <QByteArray>

// True when the bytes are a whole RIFF/WAVE file: a PCM or float format chunk, then a data chunk,
// every chunk complete. Qt 6.4's sound loader waits forever on a truncated file (and so does the
// next sound after it), so nothing else is handed to it.
bool isCompleteWaveFile(const QByteArray &bytes);
