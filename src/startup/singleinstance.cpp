#include "startup/singleinstance.h"

#include "core/ownerfiles.h"
#include "core/paths.h"

#include <QApplication>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>

#include <sys/socket.h>
#include <unistd.h>

namespace {

const QByteArray RaiseRequest = "raise\n";
constexpr int ConnectTimeoutMs = 1000;

// A server of another account is no desk of ours, whatever it answers.
bool isOwnProcess(qintptr socket)
{
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(int(socket), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 &&
           peer.uid == ::getuid();
}

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
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty())
        return JoinPath(runtime, QStringLiteral("velmora-desk"));
    // In the shared temporary folder, a folder of this user's alone: another account cannot
    // take the name first.
    const QString folder = JoinPath(QDir::tempPath(), QStringLiteral("velmora-%1").arg(getuid()));
    QString problem;
    if (!claimOwnFolder(folder, &problem)) {
        qWarning("Jediná instance: %s", qPrintable(problem));
        return QString();
    }
    return JoinPath(folder, QStringLiteral("desk"));
}

bool SingleInstance::claim()
{
    if (m_name.isEmpty())
        return true; // no place of our own for the name: only a second start is not caught
    QLocalSocket probe;
    probe.connectToServer(m_name);
    if (probe.waitForConnected(ConnectTimeoutMs) && isOwnProcess(probe.socketDescriptor())) {
        probe.write(RaiseRequest);
        probe.waitForBytesWritten(ConnectTimeoutMs);
        probe.disconnectFromServer();
        return false;
    }
    // Nobody of ours answers: whatever socket file is left belongs to a run that is gone, or to
    // an account that has no business in our folder.
    probe.abort();
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
