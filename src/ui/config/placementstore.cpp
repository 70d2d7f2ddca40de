#include "ui/config/placementstore.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>

namespace {

// The platform has no minimized or maximized position of its own: "none" in both places.
const QString NoMinMaxPosition = QStringLiteral("-1,-1,-1,-1");

enum ShowCmd { ShowNormal = 1, ShowMinimized = 2, ShowMaximized = 3 };

QString screenSuffix(const ScreenMetrics &screen)
{
    return QStringLiteral("(%1x%2)").arg(screen.size.width()).arg(screen.size.height());
}

// The key for the present screen size first; when it is missing or empty, the plain key.
QString positionValue(const IniFile &ini, const QString &section, const QString &key,
                      const ScreenMetrics &screen)
{
    const QString sized = ini.value(section, key + screenSuffix(screen));
    return sized.isEmpty() ? ini.value(section, key) : sized;
}

} // namespace

PlacementStore::PlacementStore(QWidget *window, const QString &section, bool active,
                               const QString &fileName)
    : WindowStore(window, section, active, fileName)
{}

PlacementStore::~PlacementStore()
{
    writeBeforeDestruction();
}

void PlacementStore::setScreenMetrics(const ScreenMetrics &metrics)
{
    m_screen = metrics;
}

ScreenMetrics PlacementStore::screenMetrics() const
{
    if (m_screen)
        return *m_screen;
    QScreen *screen = window()->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    return {screen->size(), qRound(screen->logicalDotsPerInch())};
}

void PlacementStore::save(IniFile &ini)
{
    const QWidget *w = window();
    const ScreenMetrics screen = screenMetrics();
    const QString suffix = screenSuffix(screen);
    const int showCmd = w->isMinimized()   ? ShowMinimized
                        : w->isMaximized() ? ShowMaximized
                                           : ShowNormal;
    // Windows' rectangles end one past the last pixel: right = left + width.
    QRect normal = w->normalGeometry();
    if (!normal.isValid())
        normal = w->geometry();
    const QString normPos = QStringLiteral("%1,%2,%3,%4")
                                .arg(normal.left())
                                .arg(normal.top())
                                .arg(normal.left() + normal.width())
                                .arg(normal.top() + normal.height());

    ini.setValue(section(), QStringLiteral("Flags"), QStringLiteral("0"));
    ini.setValue(section(), QStringLiteral("ShowCmd"), QString::number(showCmd));
    ini.setValue(section(), QStringLiteral("PixelsPerInch"), QString::number(screen.pixelsPerInch));
    ini.setValue(section(), QStringLiteral("MinMaxPos") + suffix, NoMinMaxPosition);
    ini.setValue(section(), QStringLiteral("MinMaxPos"), NoMinMaxPosition);
    ini.setValue(section(), QStringLiteral("NormPos") + suffix, normPos);
    ini.setValue(section(), QStringLiteral("NormPos"), normPos);
    ini.setValue(section(), QStringLiteral("Visible"),
                 isWindowBeingDestroyed() ? QStringLiteral("1") : QStringLiteral("0"));
}

void PlacementStore::restore(const IniFile &ini)
{
    const ScreenMetrics screen = screenMetrics();
    const QString minMaxPos = positionValue(ini, section(), QStringLiteral("MinMaxPos"), screen);
    const QString normPos = positionValue(ini, section(), QStringLiteral("NormPos"), screen);
    const int pixelsPerInch =
        ini.intValue(section(), QStringLiteral("PixelsPerInch"), screen.pixelsPerInch);
    // A position stored at another pixels per inch would put a differently scaled window
    // somewhere else; it is ignored.
    if ((!minMaxPos.isEmpty() || !normPos.isEmpty()) && pixelsPerInch == screen.pixelsPerInch)
        restoreNormalRect(normPos);
    restoreState(ini.intValue(section(), QStringLiteral("ShowCmd"), 0));
}

void PlacementStore::restoreNormalRect(const QString &normPos)
{
    QWidget *w = window();
    const QRect current = w->geometry();
    int edges[4] = {current.left(), current.top(), current.left() + current.width(),
                    current.top() + current.height()};
    const QStringList parts = normPos.split(QLatin1Char(','));
    for (int i = 0; i < 4 && i < parts.size(); ++i) {
        bool ok = false;
        const int edge = parts.at(i).trimmed().toInt(&ok);
        if (ok)
            edges[i] = edge;
    }
    const auto [left, top, right, bottom] = edges;
    // An empty rectangle would leave a window that cannot be seen.
    if (left >= right || top >= bottom)
        return;
    if (w->minimumSize() == w->maximumSize())
        w->move(left, top); // the user cannot resize it: it keeps its own size
    else
        w->setGeometry(left, top, right - left, bottom - top);
}

void PlacementStore::restoreState(int showCmd)
{
    QWidget *w = window();
    const Qt::WindowStates normal = w->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    switch (showCmd) {
    case 2:
    case 6:
    case 7:
        // Minimized from the normal state, so that it comes back as a normal window.
        w->setWindowState(normal | Qt::WindowMinimized);
        break;
    case 3:
        w->setWindowState(normal | Qt::WindowMaximized);
        break;
    default: // 1, 5, 9 and any other value
        w->setWindowState(normal);
        break;
    }
}
