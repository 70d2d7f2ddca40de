#pragma once

#include <QWidget>

class QLabel;
class QTimer;
class RelayLamp;

// Shows the eight units of a simulated port as lamps, for a person watching a demonstration.
// It only reads the register; it polls often enough to show a change within 100 ms.
class RelayBoardWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr int UnitCount = 8;
    static constexpr int PollIntervalMs = 50;

    explicit RelayBoardWindow(quint32 port, QWidget *parent = nullptr);

public slots:
    void refresh();

private:
    void showRegister(quint8 value);
    void showNoRegister(const QString &reason);

    quint32 m_port;
    QList<RelayLamp *> m_lamps;
    QList<QLabel *> m_states;
    QLabel *m_value;
    QLabel *m_status;
    QTimer *m_poll;
};
