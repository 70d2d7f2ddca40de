#pragma once

#include <QWidget>

// One relay of the board as a round lamp: lit when the relay is on.
class RelayLamp : public QWidget
{
    Q_OBJECT

public:
    explicit RelayLamp(QWidget *parent = nullptr);

    bool isOn() const { return m_on; }
    void setOn(bool on);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_on = false;
};
