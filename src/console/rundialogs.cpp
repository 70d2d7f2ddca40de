#include "console/rundialogs.h"

#include "console/startdialog.h"
#include "console/stopdialog.h"
#include "ui/common/messagedialogs.h"
#include "ui/common/sounds.h"

WindowRunDialogs::WindowRunDialogs(QWidget *parent, SettingsSource settings)
    : m_parent(parent), m_settings(std::move(settings))
{}

std::optional<StartInput> WindowRunDialogs::askStart(int unit)
{
    TFormStart dialog(unit, m_settings(), m_parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return StartInput{dialog.minutesText(), dialog.secondsText(), dialog.discountText()};
}

StopAnswer WindowRunDialogs::askStop(const StopFigures &figures)
{
    TFormStop dialog(figures, m_parent);
    playSound(QStringLiteral("Information.wav"));
    switch (dialog.exec()) {
    case TFormStop::Continue:
        return StopAnswer::Continue;
    case TFormStop::Print:
        return StopAnswer::Print;
    default:
        return StopAnswer::Close;
    }
}

bool WindowRunDialogs::confirmSwitchedOff(int unit)
{
    return ShowQuestion(QStringLiteral("Je solárko %1 vypnuté ?").arg(unit),
                        QStringLiteral("Port solárko nevypnul. Potvrďte, že je vypnuté jeho "
                                       "vlastním vypínačem; prodej se pak zapíše..."),
                        false);
}
