#pragma once

#include <QString>

// Starts playing a sound file found by its bare name (FindAssetFile) and returns at once. Whatever
// is still playing stops first. A missing, damaged or unplayable file, or no audio device, is
// silent.
void PlaySound(const QString &bareName);
