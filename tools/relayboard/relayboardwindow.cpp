#include "relayboard/relayboardwindow.h"

#include "portio/portaddress.h"
#include "portio/simulatorfiles.h"
#include "portio/unitswitch.h"
#include "relayboard/relaylamp.h"

#include <QGridLayout>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

RelayBoardWindow::RelayBoardWindow(quint32 port, QWidget *parent)
    : QWidget(parent), m_port(port), m_value(new QLabel(this)), m_status(new QLabel(this)),
      m_poll(new QTimer(this))
{
    setWindowTitle(QStringLiteral(" Reléová deska – port %1").arg(portTextFromAddress(port)));

    auto *units = new QGridLayout;
    units->setHorizontalSpacing(18);
    for (int unit = 1; unit <= UnitCount; ++unit) {
        const int column = unit - 1;
        auto *lamp = new RelayLamp(this);
        lamp->setObjectName(QStringLiteral("LampSolar%1").arg(unit));
        auto *name = new QLabel(QStringLiteral("Solárko %1").arg(unit), this);
        auto *state = new QLabel(this);
        state->setObjectName(QStringLiteral("LabelSolarState%1").arg(unit));
        units->addWidget(lamp, 0, column, Qt::AlignHCenter);
        units->addWidget(name, 1, column, Qt::AlignHCenter);
        units->addWidget(state, 2, column, Qt::AlignHCenter);
        m_lamps.append(lamp);
        m_states.append(state);
    }

    m_value->setObjectName(QStringLiteral("LabelValue"));
    QFont valueFont = m_value->font();
    valueFont.setBold(true);
    valueFont.setPointSizeF(valueFont.pointSizeF() * 1.3);
    m_value->setFont(valueFont);
    m_status->setObjectName(QStringLiteral("LabelStatus"));
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(units);
    layout->addSpacing(8);
    layout->addWidget(m_value);
    layout->addWidget(m_status);

    m_poll->setInterval(PollIntervalMs);
    connect(m_poll, &QTimer::timeout, this, &RelayBoardWindow::refresh);
    m_poll->start();
    refresh();
}

void RelayBoardWindow::refresh()
{
    if (!isSimulatedPort(m_port)) {
        showNoRegister(QStringLiteral("Simulovaná deska nemá na adrese %1 žádný port.")
                           .arg(portTextFromAddress(m_port)));
        return;
    }
    const auto value = readSimulatedRegister(m_port);
    if (!value) {
        showNoRegister(
            QStringLiteral("Port zatím nebyl použit (%1).").arg(simulatorFilePath(m_port)));
        return;
    }
    showRegister(*value);
}

void RelayBoardWindow::showRegister(quint8 value)
{
    for (int unit = 1; unit <= UnitCount; ++unit) {
        const bool on = value & unitMask(unit);
        m_lamps[unit - 1]->setOn(on);
        m_states[unit - 1]->setText(on ? QStringLiteral("zapnuto") : QStringLiteral("vypnuto"));
    }
    const QString hex = QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
    m_value->setText(QStringLiteral("Hodnota registru: 0x") + hex);
    m_status->setText(simulatorFilePath(m_port));
}

void RelayBoardWindow::showNoRegister(const QString &reason)
{
    for (int unit = 1; unit <= UnitCount; ++unit) {
        m_lamps[unit - 1]->setOn(false);
        m_states[unit - 1]->setText(QStringLiteral("–"));
    }
    m_value->setText(QStringLiteral("Hodnota registru: –"));
    m_status->setText(reason);
}
