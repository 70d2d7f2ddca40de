#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

// The length of a run is typed as two digits of minutes and two of seconds (seconds up to 99).
// A run may start only with both fields complete, not both zero, and a discount chosen.
bool isValidRunInput(const QString &minutes, const QString &seconds, const QString &discount);

// The discounts a run is offered: the settings' list, or "0" alone while that list is empty, so
// that a run can always start.
QStringList offeredDiscounts(const QStringList &discounts);

// The longest run that can be typed, "99" minutes and "99" seconds: shown as 100:39.
constexpr int LongestRunSeconds = 99 * 60 + 99;

// Seconds of a run typed as minutes and seconds.
int runSeconds(const QString &minutes, const QString &seconds);

// Lets only digits and backspace reach a run field, and selects its whole text when it gets the
// focus or is clicked, so that typing replaces it.
class DigitFieldFilter : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
