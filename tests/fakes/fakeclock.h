#pragma once

#include "core/clock.h"

// A wall clock and tick count that tests set; both stand still unless moved.
class FakeClock : public Clock
{
public:
    QDateTime now() const override { return m_now; }
    qint64 tickCount() const override { return m_tick; }

    // Lets ms milliseconds pass on both, as they would on the real clock.
    void advance(qint64 ms);

    QDateTime m_now = QDateTime(QDate(2026, 12, 9), QTime(9, 5, 0));
    qint64 m_tick = 1000;
};
