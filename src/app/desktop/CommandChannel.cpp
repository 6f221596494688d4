#include "app/desktop/CommandChannel.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

#include "app/RunningCopyCommands.h"
#include "platform/Platform.h"
#include "platform/posix/ControlSocket.h"

namespace vantlo {

CommandChannel::CommandChannel(NotificationCenter& notifications)
    : notifications_(notifications), server_(std::make_unique<QLocalServer>()) {
    QObject::connect(server_.get(), &QLocalServer::newConnection, this, [this] { accept(); });
}

CommandChannel::~CommandChannel() {
    if (server_->isListening())
        server_->close();
}

bool CommandChannel::listen(const std::string& socketPath) {
    std::string error;
    if (!ControlSocket::prepareFolder(socketPath, error)) {
        log("[Vantlo] Commands to this copy are off (" + error + ")");
        return false;
    }
    QString path = QString::fromStdString(socketPath);
    QLocalServer::removeServer(path);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(path)) {
        log("[Vantlo] Commands to this copy are off (cannot listen at " + socketPath + ": " +
            server_->errorString().toStdString() + ")");
        return false;
    }
    if (!ControlSocket::restrictSocket(socketPath, error)) {
        server_->close();
        log("[Vantlo] Commands to this copy are off (" + error + ")");
        return false;
    }
    socketPath_ = socketPath;
    return true;
}

void CommandChannel::accept() {
    while (QLocalSocket* client = server_->nextPendingConnection()) {
        QObject::connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
        auto uid = ControlSocket::peerUid(static_cast<int>(client->socketDescriptor()));
        if (!uid || *uid != ControlSocket::currentUid()) {
            log("[Vantlo] Refused a command from another user");
            client->abort();
            client->deleteLater();
            continue;
        }
        serve(client);
    }
}

void CommandChannel::serve(QLocalSocket* client) {
    // A client that sends no complete line in time is dropped.
    QTimer::singleShot(kClientTimeoutMs, client, [client] { client->abort(); });
    QObject::connect(client, &QLocalSocket::readyRead, client, [this, client] {
        if (!client->canReadLine()) {
            if (client->bytesAvailable() >= static_cast<qint64>(ControlSocket::kMaxLine))
                client->abort();
            return;
        }
        QByteArray line = client->readLine(ControlSocket::kMaxLine).trimmed();
        std::string reply = RunningCopyCommands::answer(line.toStdString(), notifications_) + "\n";
        client->write(reply.data(), static_cast<qint64>(reply.size()));
        // Out now: "quit" ends the event loop that would otherwise send it later.
        client->flush();
        client->disconnectFromServer();
    });
}

void CommandChannel::log(const std::string& line) {
    if (platform().log)
        platform().log->write(line);
}

}  // namespace vantlo
