#include "platform/SingleInstance.h"

#include <QDataStream>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>

namespace {

constexpr quint32 RequestMagic = 0x514A5331; // "QJS1"
constexpr char Acknowledge = 'K';
// A running instance answers between two events; inside a modal dialog too, as its loop serves
// the socket. Half a second of silence on connect means nobody listens.
constexpr int ConnectTimeout = 500;
constexpr int ReplyTimeout = 10000;
constexpr int LockTimeout = 10000;

} // namespace

TSingleInstance::TSingleInstance(const QString& name, QObject* parent) : QObject(parent) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    FServerPath = QDir(folder).filePath(QStringLiteral("quorveljs.") + name);
}

TSingleInstance::~TSingleInstance() = default;

bool TSingleInstance::Listening() const {
    return FServer && FServer->isListening();
}

bool TSingleInstance::Start(const QStringList& files) {
    // Two programs started at the same moment must not both find no server and both listen.
    QLockFile lock(FServerPath + QStringLiteral(".lock"));
    const bool locked = lock.tryLock(LockTimeout);
    if (Forward(files))
        return false;
    Listen();
    if (locked)
        lock.unlock();
    return true;
}

bool TSingleInstance::Forward(const QStringList& files) {
    QLocalSocket socket;
    socket.connectToServer(FServerPath);
    if (!socket.waitForConnected(ConnectTimeout))
        return false;
    QByteArray request;
    QDataStream out(&request, QIODevice::WriteOnly);
    out << RequestMagic << files;
    socket.write(request);
    socket.flush();
    // The running instance acknowledges after it has the whole request; a server that closes
    // without answering is not one of ours, and this start goes on as the first.
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(ReplyTimeout))
            return false;
    }
    char reply = 0;
    return socket.getChar(&reply) && reply == Acknowledge;
}

void TSingleInstance::Listen() {
    FServer = new QLocalServer(this);
    FServer->setSocketOptions(QLocalServer::UserAccessOption);
    // A socket file nobody answers on is what a crashed instance leaves.
    QLocalServer::removeServer(FServerPath);
    if (!FServer->listen(FServerPath)) {
        qWarning("single instance: cannot listen on %s: %s", qPrintable(FServerPath),
                 qPrintable(FServer->errorString()));
        return;
    }
    connect(FServer, &QLocalServer::newConnection, this, &TSingleInstance::Serve);
}

void TSingleInstance::Serve() {
    while (QLocalSocket* socket = FServer->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto read = [this, socket] {
            QDataStream in(socket);
            in.startTransaction();
            quint32 magic = 0;
            QStringList files;
            in >> magic >> files;
            if (!in.commitTransaction())
                return; // more bytes to come
            if (magic != RequestMagic) {
                socket->abort();
                return;
            }
            socket->putChar(Acknowledge);
            socket->flush();
            // The files open after this handler returns, so a message box shown while opening
            // never holds the acknowledgement back.
            QTimer::singleShot(0, this, [this, files] { Q_EMIT Requested(files); });
        };
        connect(socket, &QLocalSocket::readyRead, socket, read);
        if (socket->bytesAvailable() > 0)
            read();
    }
}
