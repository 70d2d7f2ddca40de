#pragma once

#include <QObject>
#include <QString>

class QLocalServer;
class QWidget;

// One desk program per user: the first instance listens on a local socket named after the
// product; a later one reaches it, asks it to come to the front and gives up.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    explicit SingleInstance(const QString &name = defaultName(), QObject *parent = nullptr);
    ~SingleInstance() override;

    // "velmora-desk" in $XDG_RUNTIME_DIR, else "desk" in this user's own velmora-<user id>
    // folder in the temporary folder; empty when that folder is not this user's alone.
    static QString defaultName();

    // True when this process is the first; otherwise the running one has been asked to raise
    // its window. A socket left by a crashed run, or a server of another account, does not
    // count; without a name there is nothing to claim.
    bool claim();

signals:
    void raiseRequested();

private:
    QString m_name;
    QLocalServer *m_server = nullptr;
};

// What a second start asks of the running desk: its console (the progress window while the
// console is not shown yet) restored when minimized, a maximized one left maximized, and the
// window that waits for an answer (a modal dialog such as the login) brought to the front.
void bringDeskToFront(QWidget *console, QWidget *progress);
