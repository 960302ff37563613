#include "command/channel.h"

#include "command/commands.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

#if defined(Q_OS_UNIX)
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace command {

namespace {

#if defined(Q_OS_UNIX)
// A directory of this user's alone: no one else may put a socket there or reach one in it.
bool ownPrivateDirectory(const QByteArray &path)
{
    struct stat st
    {
    };
    return ::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid()
        && (st.st_mode & 077) == 0;
}

QString runtimeDirectory()
{
    const QByteArray xdg = qgetenv("XDG_RUNTIME_DIR");
    if (xdg.startsWith('/') && ownPrivateDirectory(xdg))
        return QFile::decodeName(xdg);
    // Where the variable is not set (cron, a service), the session's directory is still there,
    // and the window of the desktop session listens in it.
    const QByteArray session = "/run/user/" + QByteArray::number(::geteuid());
    if (xdg.isEmpty() && ownPrivateDirectory(session))
        return QFile::decodeName(session);
    // Without a session: one of our own in the temporary directory, which must not be anyone
    // else's (a directory made there by another user is not used).
    const QByteArray own
        = QFile::encodeName(QDir::tempPath() + QStringLiteral("/pravlon-%1").arg(::geteuid()));
    ::mkdir(own.constData(), 0700);
    if (ownPrivateDirectory(own))
        return QFile::decodeName(own);
    // Another user made that directory first, which anyone may do in the temporary directory:
    // a place in this user's own home instead, where no one else can make one. Not in a home
    // of someone else's (sudo -E), which would get a folder it cannot use.
    struct stat home
    {
    };
    const QByteArray homePath = QFile::encodeName(QDir::homePath());
    if (!homePath.startsWith('/') || ::stat(homePath.constData(), &home) != 0
        || home.st_uid != ::geteuid())
        return QString();
    const QByteArray cache = homePath + "/.cache", ours = cache + "/pravlon";
    ::mkdir(cache.constData(), 0700);
    ::mkdir(ours.constData(), 0700);
    // The socket's name must fit a socket address (108 bytes).
    return ownPrivateDirectory(ours) && ours.size() < 80 ? QFile::decodeName(ours) : QString();
}

bool sameUser(qintptr descriptor)
{
#if defined(Q_OS_LINUX)
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(int(descriptor), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0
        && peer.uid == ::geteuid();
#else
    uid_t uid = 0;
    gid_t gid = 0;
    return ::getpeereid(int(descriptor), &uid, &gid) == 0 && uid == ::geteuid();
#endif
}
#else
// A pipe's name is seen by every user; the server's access list lets in this user alone.
QString runtimeDirectory()
{
    return QString();
}

bool sameUser(qintptr)
{
    return true;
}
#endif

Reply noAnswer(int timeoutMs)
{
    return failure(Failed,
        QStringLiteral("Okno programu neodpovídá ani po %1 s; možná v něm čeká zpráva na "
                       "potvrzení. Příkaz nemusel být proveden.")
            .arg(timeoutMs / 1000.0));
}

} // namespace

QString socketName(const QString &programDirectory)
{
    const QFileInfo dir(programDirectory);
    const QString real
        = dir.canonicalFilePath().isEmpty() ? dir.absoluteFilePath() : dir.canonicalFilePath();
    const QString tag = QString::fromLatin1(
        QCryptographicHash::hash(real.toUtf8(), QCryptographicHash::Sha256).toHex().left(16));
#if defined(Q_OS_UNIX)
    const QString runtime = runtimeDirectory();
    return runtime.isEmpty() ? QString() : runtime + QStringLiteral("/pravlon-") + tag;
#else
    return QStringLiteral("pravlon-%1-%2").arg(qEnvironmentVariable("USERNAME"), tag);
#endif
}

std::optional<Reply> askWindow(
    const QString &name, const Request &request, int timeoutMs, const Answerer &answer)
{
    if (name.isEmpty())
        return std::nullopt;
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(timeoutMs)) {
        // No socket, or one left behind by a window that is gone: no window.
        if (socket.error() != QLocalSocket::SocketTimeoutError)
            return std::nullopt;
        return noAnswer(timeoutMs);
    }
    socket.write(encode(request));
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(timeoutMs))
            return noAnswer(timeoutMs);
    }
    int limit = timeoutMs;
    for (;;) {
        while (!socket.canReadLine()) {
            if (!socket.waitForReadyRead(limit)) {
                if (socket.error() == QLocalSocket::SocketTimeoutError)
                    return noAnswer(timeoutMs);
                if (!socket.canReadLine())
                    return failure(Failed,
                        QStringLiteral("Okno programu se zavřelo dřív, než příkaz dokončilo."));
            }
        }
        const std::optional<ReplyLine> line
            = decodeReply(socket.readLine().chopped(1), commandOf(request.verb).since);
        if (!line)
            return failure(Failed, QStringLiteral("Okno programu odpovědělo nesrozumitelně."));
        if (line->final)
            return line->reply;
        limit = -1; // the play has started, or the window asks: it takes what it takes
        if (!answer)
            continue;
        const std::optional<QString> given = answer(line->reply.out);
        if (!given)
            return failure(Failed, QStringLiteral("Test zapojení nebyl dokončen."));
        socket.write(given->toUtf8().left(MaxAnswerBytes - 1) + '\n');
        while (socket.bytesToWrite() > 0) {
            if (!socket.waitForBytesWritten(timeoutMs))
                return noAnswer(timeoutMs);
        }
    }
}

RequestServer::Call::Call(QLocalSocket *socket)
    : m_socket(socket)
{ }

void RequestServer::Call::started()
{
    if (open()) {
        m_socket->write(encode(Reply(), false));
        m_socket->flush();
    }
}

void RequestServer::Call::finish(const Reply &reply)
{
    if (!open())
        return;
    m_finished = true;
    // Written at once: the window may be about to end.
    m_socket->write(encode(reply));
    m_socket->flush();
    m_socket->disconnectFromServer();
}

void RequestServer::Call::ask(const QString &question)
{
    if (open()) {
        m_socket->write(encode(Reply{Done, question, QString()}, false));
        m_socket->flush();
    }
}

void RequestServer::Call::converse(
    std::function<void(const QString &)> answered, std::function<void()> gone)
{
    if (!m_socket)
        return;
    QLocalSocket *socket = m_socket;
    socket->setReadBufferSize(MaxAnswerBytes + 1);
    // The connection keeps the call while the conversation lasts.
    const std::shared_ptr<Call> self = shared_from_this();
    const auto read = [self, socket, answered] {
        while (!self->m_finished && socket->canReadLine())
            answered(QString::fromUtf8(socket->readLine(MaxAnswerBytes + 1)).trimmed());
        if (!self->m_finished && !socket->canReadLine()
            && socket->bytesAvailable() > MaxAnswerBytes)
            self->finish(failure(
                Usage, QStringLiteral("Odpověď je delší než %1 bajtů.").arg(MaxAnswerBytes)));
    };
    QObject::connect(socket, &QLocalSocket::readyRead, socket, read);
    QObject::connect(socket, &QLocalSocket::disconnected, socket, [self, gone] {
        if (!self->m_finished)
            gone();
    });
    read();
}

QObject *RequestServer::Call::connection() const
{
    return m_socket;
}

bool RequestServer::Call::open() const
{
    return !m_finished && m_socket && m_socket->state() == QLocalSocket::ConnectedState;
}

RequestServer::RequestServer(Handler handler, QObject *parent)
    : QObject(parent)
    , m_handler(std::move(handler))
    , m_server(new QLocalServer(this))
{
    connect(m_server, &QLocalServer::newConnection, this, &RequestServer::accept);
    // Qt closes the server, and removes its socket, when an accept fails (no descriptor left):
    // it listens again as soon as it can.
    auto *watch = new QTimer(this);
    connect(watch, &QTimer::timeout, this, &RequestServer::keepListening);
    watch->start(2000);
}

void RequestServer::keepListening()
{
    if (!m_refusal && !m_name.isEmpty() && !m_server->isListening())
        listen(m_name);
}

RequestServer::~RequestServer() = default;

bool RequestServer::listen(const QString &name)
{
    if (name.isEmpty())
        return false;
    QLocalSocket other;
    other.connectToServer(name);
    if (other.waitForConnected(WindowTimeoutMs))
        return false; // another window of this installation takes the commands
    QLocalServer::removeServer(name);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(name))
        return false;
    m_name = name;
    return true;
}

QString RequestServer::name() const
{
    return m_server->fullServerName();
}

void RequestServer::setReady()
{
    m_ready = true;
    runQueue();
}

void RequestServer::shutDown(const Reply &refusal)
{
    m_refusal = refusal;
    m_server->close();
    const QList<Pending> queue = std::exchange(m_queue, {});
    for (const Pending &p : queue)
        p.call->finish(refusal);
}

void RequestServer::accept()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        ++m_connections;
        connect(socket, &QObject::destroyed, this, [this] { --m_connections; });
        if (!sameUser(socket->socketDescriptor()) || m_connections > MaxConnections) {
            socket->abort();
            continue;
        }
        // Connections that send nothing must not use up the window's descriptors: the oldest
        // of them gives way to a new one, and each has IdleMs to send its request.
        m_idle.removeAll(nullptr);
        if (m_idle.size() >= MaxIdleConnections) {
            if (QLocalSocket *oldest = m_idle.takeFirst())
                oldest->abort();
        }
        m_idle.append(socket);
        QTimer::singleShot(IdleMs, socket, [this, socket] {
            if (m_idle.removeAll(socket))
                socket->abort();
        });
        // Enough for one request and the byte that shows it too long; no more is held.
        socket->setReadBufferSize(MaxRequestBytes + 1);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { read(socket); });
        read(socket);
    }
}

void RequestServer::read(QLocalSocket *socket)
{
    const bool tooLong = !socket->canReadLine() && socket->bytesAvailable() > MaxRequestBytes;
    if (!socket->canReadLine() && !tooLong)
        return;
    // One request per connection: whatever follows it is not read.
    disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
    m_idle.removeAll(socket);
    auto call = std::make_shared<Call>(socket);
    if (tooLong) {
        call->finish(failure(Usage,
            QStringLiteral("Požadavek je delší než %1 bajtů; nic se nezměnilo.")
                .arg(MaxRequestBytes)));
        return;
    }
    const std::variant<Request, Reply> decoded
        = decodeRequest(socket->readLine(MaxRequestBytes + 1).chopped(1));
    if (const Reply *refused = std::get_if<Reply>(&decoded)) {
        call->finish(*refused);
        return;
    }
    if (m_refusal) {
        call->finish(*m_refusal);
        return;
    }
    m_queue.append({std::get<Request>(decoded), call});
    runQueue();
}

void RequestServer::runQueue()
{
    // A handler may wait in a message box; requests that come meanwhile queue behind it.
    if (!m_ready || m_busy)
        return;
    m_busy = true;
    while (!m_queue.isEmpty()) {
        const Pending next = m_queue.takeFirst();
        if (next.call->open())
            m_handler(next.request, next.call);
    }
    m_busy = false;
}

} // namespace command
