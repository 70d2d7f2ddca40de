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

    static QString defaultName(); // "Velmora-<user id>"

    // True when this process is the first; otherwise the running one has been asked to raise
    // its window. A socket left by a crashed run does not count.
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
