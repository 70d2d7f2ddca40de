#pragma once

#include <QString>

// Starts playing a sound file found by its bare name (findAssetFile) and returns at once. Whatever
// is still playing stops first. A missing, damaged or unplayable file, or no audio device, is
// silent.
void playSound(const QString &bareName);
