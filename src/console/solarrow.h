#pragma once

#include <QFrame>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

// One unit's row of the console (PanelSolarRow): name, description, picture, price per minute,
// the start/stop button, the run's minutes, seconds and discount, the remaining time and the
// progress of the run.
class SolarRow : public QFrame
{
    Q_OBJECT

public:
    static constexpr int RowHeight = 65;

    SolarRow(int unit, QWidget *parent = nullptr);

    int unit() const { return m_unit; }

    // The unit's record as the settings left it: a closed unit shows its picture and takes no
    // input; in direct input the row's fields take the run, otherwise the start dialog does.
    void showUnit(bool active, const QString &description, double price, bool dialogMode,
                  const QStringList &discounts);
    void setReadyLook();   // "Start [F%d]" in black; the inputs back in direct input
    void setRunningLook(); // "Stop [F%d]" in red; the inputs locked
    // Back to "00", "00", "0", "00:00" and an empty gauge after a run.
    void resetInputs();

    bool active() const { return m_active; }
    bool directInput() const { return m_active && !m_dialogMode; }
    bool inputValid() const; // the test that enables the start button in direct input
    QString minutesText() const;
    QString secondsText() const;
    QString discountText() const;
    void setRunInput(const QString &minutes, const QString &seconds, const QString &discount);
    void setRemainingText(const QString &text);
    void startGauge(int totalSeconds);
    void setGaugeProgress(int usedSeconds);
    double price() const { return m_price; }

    QLabel *LabelSolarName() const { return m_labelSolarName; }
    QLabel *LabelSolarDescription() const { return m_labelSolarDescription; }
    QLabel *ImageSolar() const { return m_imageSolar; }
    QLineEdit *CurrencyEditSolarPrice() const { return m_currencyEditSolarPrice; }
    QPushButton *BitBtnSolar() const { return m_bitBtnSolar; }
    QLineEdit *EditSolarMin() const { return m_editSolarMin; }
    QLabel *LabelSolarColon() const { return m_labelSolarColon; }
    QLineEdit *EditSolarSec() const { return m_editSolarSec; }
    QComboBox *ComboBoxSolarOff() const { return m_comboBoxSolarOff; }
    QLineEdit *EditSolarOdd() const { return m_editSolarOdd; }
    QProgressBar *GaugeSolar() const { return m_gaugeSolar; }

signals:
    void commandRequested(int unit); // the button, or Enter in the row's inputs

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void EditsChange(QWidget *changed);
    void setInputsEnabled(bool enabled);
    void setButtonLook(const QString &caption, const QString &picture, const QColor &color);

    int m_unit;
    bool m_active = false;
    bool m_dialogMode = true;
    bool m_running = false;
    double m_price = 0;
    QLabel *m_labelSolarName;
    QLabel *m_labelSolarDescription;
    QLabel *m_imageSolar;
    QLineEdit *m_currencyEditSolarPrice;
    QPushButton *m_bitBtnSolar;
    QLineEdit *m_editSolarMin;
    QLabel *m_labelSolarColon;
    QLineEdit *m_editSolarSec;
    QComboBox *m_comboBoxSolarOff;
    QLineEdit *m_editSolarOdd;
    QProgressBar *m_gaugeSolar;
};
