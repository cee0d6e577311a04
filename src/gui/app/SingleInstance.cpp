#include "app/SingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace kav {

namespace {

QString lockPath(const QString& name) {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) {
        dir = QDir::tempPath();
    }
    return dir + "/" + name + ".lock";
}

constexpr int kConnectMs = 1000;

} // namespace

SingleInstance::SingleInstance(const QString& name, QObject* parent)
    : QObject(parent), name_(name), lock_(lockPath(name)) {
    lock_.setStaleLockTime(0); // a crashed copy's lock is taken over once its process is gone
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::acquire() {
    if (!lock_.tryLock(0)) {
        return false;
    }
    server_ = std::make_unique<QLocalServer>();
    QLocalServer::removeServer(name_); // a socket left behind by a crash
    server_->listen(name_);
    connect(server_.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* peer = server_->nextPendingConnection()) {
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            emit raiseRequested();
        }
    });
    return true;
}

bool SingleInstance::askFirstToRaise() const {
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(kConnectMs)) {
        return false;
    }
    socket.disconnectFromServer();
    return true;
}

} // namespace kav
