#include "ui/common/sounds.h"

#include "ui/common/assetfiles.h"
#include "ui/common/wavecheck.h"

#include <QCoreApplication>
#include <QFile>
#include <QPointer>
#include <QSoundEffect>
#include <QUrl>

namespace {

// One effect for the whole program, so that a new sound replaces the one still playing.
QSoundEffect *programSound()
{
    static QPointer<QSoundEffect> effect;
    if (!effect)
        effect = new QSoundEffect(QCoreApplication::instance());
    return effect;
}

// The desk's sounds are short; a bigger file is not one of them and is not read whole.
constexpr qint64 LargestSoundFile = 8 * 1024 * 1024;

bool isPlayableWaveFile(const QString &path)
{
    QFile file(path);
    if (file.size() > LargestSoundFile || !file.open(QIODevice::ReadOnly))
        return false;
    return isCompleteWaveFile(file.readAll());
}

} // namespace

void playSound(const QString &bareName)
{
    QSoundEffect *effect = programSound();
    effect->stop();
    const QString path = findAssetFile(bareName);
    if (path.isEmpty() || !isPlayableWaveFile(path))
        return;
    effect->setSource(QUrl::fromLocalFile(path));
    effect->play();
}
