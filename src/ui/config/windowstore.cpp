#include "ui/config/windowstore.h"

#include <QEvent>

WindowStore::WindowStore(QWidget *window, const QString &section, bool active,
                         const QString &fileName)
    : m_window(window), m_section(section), m_fileName(fileName), m_active(active)
{
    if (m_active && m_window)
        m_window->installEventFilter(this);
}

WindowStore::~WindowStore()
{
    if (m_window)
        m_window->removeEventFilter(this);
}

bool WindowStore::read(ConfigError *error)
{
    m_readSinceWrite = true;
    IniFile ini(m_fileName);
    if (!ini.load(error))
        return false;
    if (m_window &&
        ini.intValue(m_section, QStringLiteral("FormVersion"), 0) >= SettingsStore::FormVersion)
        restore(ini);
    return true;
}

bool WindowStore::write(ConfigError *error)
{
    if (!m_window || (m_active && !m_readSinceWrite))
        return true;
    IniFile ini(m_fileName);
    if (!ini.loadForRewrite(error))
        return false;
    ini.setValue(m_section, QStringLiteral("FormVersion"),
                 QString::number(SettingsStore::FormVersion));
    save(ini);
    if (!ini.save(error))
        return false;
    m_readSinceWrite = false;
    return true;
}

void WindowStore::writeBeforeDestruction()
{
    if (!m_active)
        return;
    m_destroying = true;
    ConfigError error;
    if (!write(&error))
        SettingsStore::report(error);
}

bool WindowStore::eventFilter(QObject *watched, QEvent *event)
{
    // Spontaneous events come from the window system (minimizing, restoring): no showing or
    // closing of the window itself.
    if (watched == m_window && !event->spontaneous() &&
        (event->type() == QEvent::Show || event->type() == QEvent::Hide)) {
        ConfigError error;
        const bool done = event->type() == QEvent::Show ? read(&error) : write(&error);
        if (!done)
            SettingsStore::report(error);
    }
    return QObject::eventFilter(watched, event);
}
