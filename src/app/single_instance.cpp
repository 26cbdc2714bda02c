#include "app/single_instance.h"

#include <QDir>
#include <QLocalSocket>

#include "platform/platform_paths.h"

namespace horalog {

SingleInstance::SingleInstance(const QString& folder, QObject* parent)
    : QObject(parent), folder_(folder) {
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            socket->disconnectFromServer();
            Q_EMIT anotherStartWanted();
        }
    });
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::serverName() const {
    return instanceServerName(folder_);
}

bool SingleInstance::claim() {
    QDir().mkpath(folder_);
    lock_ = std::make_unique<QLockFile>(folder_ + QStringLiteral("/horalog.lock"));
    // A lock whose owner is gone (a crash, a kill) is taken over at once.
    if (lock_->tryLock(0)) {
        QLocalServer::removeServer(serverName());
        server_.listen(serverName());
        return true;
    }
    QLocalSocket socket;
    socket.connectToServer(serverName());
    socket.waitForConnected(2000);
    socket.waitForDisconnected(2000);
    return false;
}

}  // namespace horalog
