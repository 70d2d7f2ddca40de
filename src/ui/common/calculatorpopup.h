#pragma once

#include "ui/common/calculator.h"

#include <QFrame>

#include <functional>

class QLabel;

// The drop-down calculator of a money field: a popup with the digits, the comma, + − × ÷, "=" and
// "C", worked by mouse or keyboard. "=" offers the result to the field; when the field takes it
// the popup closes, otherwise it shows the error. Escape closes it without a result.
class CalculatorPopup : public QFrame
{
    Q_OBJECT

public:
    // takeResult returns false when the field cannot hold the result.
    CalculatorPopup(double startValue, std::function<bool(double)> takeResult,
                    QWidget *parent = nullptr);

    QString displayText() const;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void addButton(const QString &caption, const QString &name, int row, int column,
                   const std::function<void()> &action, int columnSpan = 1);
    void run(const std::function<void()> &action);
    void equalsClick();

    Calculator m_calculator;
    std::function<bool(double)> m_takeResult;
    QLabel *m_display;
};
