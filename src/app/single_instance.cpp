#include "app/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>

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
#ifdef _WIN32
    // Named pipes live in one namespace per session; the folder's hash keeps users apart.
    const QByteArray hash =
        QCryptographicHash::hash(folder_.toUtf8(), QCryptographicHash::Sha1).toHex();
    return QStringLiteral("horalog-") + QString::fromLatin1(hash.left(16));
#else
    // Beside the lock in the user's own folder, where no other user can take the name first.
    return folder_ + QStringLiteral("/horalog.socket");
#endif
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
