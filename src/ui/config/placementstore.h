#pragma once

#include "ui/config/windowstore.h"

#include <QSize>

#include <optional>

// The screen that a placement is stored for: its size in pixels and its pixels per inch.
struct ScreenMetrics
{
    QSize size;
    int pixelsPerInch = 0;
};

// The position, size and state of a main window in its section of the configuration file:
// "Flags" 0, "ShowCmd" 1 normal, 2 minimized, 3 maximized, "PixelsPerInch", "MinMaxPos" and
// "NormPos" (left, top, right, bottom of the normal window), both under a key with the screen
// size in parentheses and under the plain key, and "Visible" ("1" only when written as the window
// is destroyed, never read). A position is restored only at the pixels per inch it was stored at;
// the key for the present screen size wins over the plain key.
class PlacementStore final : public WindowStore
{
    Q_OBJECT

public:
    PlacementStore(QWidget *window, const QString &section, bool active = true,
                   const QString &fileName = defaultFileName());
    ~PlacementStore() override;

    // Fixes the screen that is measured; without it, the window's own screen counts.
    void setScreenMetrics(const ScreenMetrics &metrics);

protected:
    void restore(const IniFile &ini) override;
    void save(IniFile &ini) override;

private:
    ScreenMetrics screenMetrics() const;
    void restoreNormalRect(const QString &normPos);
    void restoreState(int showCmd);

    std::optional<ScreenMetrics> m_screen;
};
