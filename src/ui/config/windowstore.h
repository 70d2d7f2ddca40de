#pragma once

#include "data/config/settingsstore.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

// One window's section of the configuration file "Velmora.ini", kept in the window itself (its
// placement). The failures of the reads and writes that showing, closing or destroying a window
// started go to SettingsStore::report(); the window's action goes on.
//
// read() restores the section into the window, write() saves the window into it; the file is
// read first and replaced whole, so the other sections stay as they were. An Active store
// follows its window: it reads on every showing, writes on every closing and, when the window
// is destroyed, writes once more unless it has written since its last read. It writes nothing
// before its section was read, so an untouched window never overwrites the stored values with
// its initial ones. A store that is not Active only reads and writes when it is told to.
//
// Hold the store as a member of the window, declared after any control the window holds by value:
// its destructor makes the final write while the window and its controls still exist.
class WindowStore : public QObject
{
    Q_OBJECT

public:
    static QString defaultFileName() { return SettingsStore::defaultFileName(); }

    ~WindowStore() override;

    const QString &fileName() const { return m_fileName; }
    const QString &section() const { return m_section; }
    bool isActive() const { return m_active; }
    bool hasReadSinceWrite() const { return m_readSinceWrite; }

    bool read(ConfigError *error = nullptr);
    bool write(ConfigError *error = nullptr);

protected:
    WindowStore(QWidget *window, const QString &section, bool active, const QString &fileName);

    QWidget *window() const { return m_window; }
    bool isWindowBeingDestroyed() const { return m_destroying; }

    virtual void restore(const IniFile &ini) = 0;
    virtual void save(IniFile &ini) = 0;

    // The write at the window's destruction; the final classes call it from their destructors,
    // where save() still reaches them.
    void writeBeforeDestruction();

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> m_window;
    QString m_section;
    QString m_fileName;
    bool m_active;
    bool m_readSinceWrite = false;
    bool m_destroying = false;
};
