#include "console/rundialogs.h"

#include "console/startdialog.h"
#include "ui/common/sounds.h"

std::optional<StartInput> WindowRunDialogs::askStart(int unit, const SolarSettings &settings,
                                                     QWidget *parent)
{
    TFormStart dialog(unit, settings, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return StartInput{dialog.minutesText(), dialog.secondsText(), dialog.discountText()};
}

TFormStop::Result WindowRunDialogs::askStop(const StopFigures &figures, QWidget *parent)
{
    TFormStop dialog(figures, parent);
    playSound(QStringLiteral("Information.wav"));
    return TFormStop::Result(dialog.exec());
}
