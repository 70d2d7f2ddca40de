#include "startup/singleinstance.h"

#include <QApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>

#include <unistd.h>

namespace {

const QByteArray RaiseRequest = "raise\n";
constexpr int ConnectTimeoutMs = 1000;

void restoreIfMinimized(QWidget *window)
{
    if (window->isMinimized())
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
}

} // namespace

SingleInstance::SingleInstance(const QString &name, QObject *parent) : QObject(parent), m_name(name)
{}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultName()
{
    return QStringLiteral("Velmora-%1").arg(getuid());
}

bool SingleInstance::claim()
{
    QLocalSocket probe;
    probe.connectToServer(m_name);
    if (probe.waitForConnected(ConnectTimeoutMs)) {
        probe.write(RaiseRequest);
        probe.waitForBytesWritten(ConnectTimeoutMs);
        probe.disconnectFromServer();
        return false;
    }
    // Nobody answers: whatever socket file is left belongs to a run that is gone.
    QLocalServer::removeServer(m_name);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name))
        return true; // the desk still works; only a second start would not be caught
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *client = m_server->nextPendingConnection()) {
            const auto handle = [this, client] {
                if (client->readAll().contains(RaiseRequest.trimmed()))
                    emit raiseRequested();
            };
            connect(client, &QLocalSocket::readyRead, this, handle);
            connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
            if (client->bytesAvailable() > 0)
                handle();
        }
    });
    return true;
}

void bringDeskToFront(QWidget *console, QWidget *progress)
{
    QWidget *main = console && console->isVisible() ? console : progress;
    QWidget *modal = QApplication::activeModalWidget();
    QWidget *front = modal ? modal : main;
    if (!front)
        return;
    if (main)
        restoreIfMinimized(main);
    restoreIfMinimized(front);
    front->raise();
    front->activateWindow();
}
