#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class SolarSettings;
class DigitFieldFilter;

// " Solárko N": minutes, seconds and discount of a run started through a dialog.
class TFormStart : public QDialog
{
    Q_OBJECT

public:
    TFormStart(int unit, const SolarSettings &settings, QWidget *parent = nullptr);

    QString minutesText() const;
    QString secondsText() const;
    QString discountText() const;

protected:
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void FormActivate();
    void EditsChange(QWidget *changed);
    void updateStartButton();

    const SolarSettings &m_settings;
    bool m_activated = false;
    QLabel *m_labelSolar;
    QLineEdit *m_editStartMin;
    QLineEdit *m_editStartSec;
    QComboBox *m_comboBoxStartOff;
    QPushButton *m_bitBtnStart;
    QPushButton *m_bitBtnClose;
};
