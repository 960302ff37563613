// The local socket between a command and the window of the same installation and user: its
// name, the command's side and the window's side. A request is one line; the window answers
// with one line, or for a play with --wait with two: started, then ended. A conversation (the
// wiring test) goes on on the same connection: each line the window sends before its last asks
// a question, and the command's next line answers it.
#pragma once

#include "command/request.h"

#include <QLocalServer>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>

class QLocalSocket;

namespace command {

// How long a command waits for the window's answer before it gives up.
inline constexpr int WindowTimeoutMs = 5000;

// The socket of the window of the program in programDirectory, for this user: in the user's
// runtime directory, named after the program's real directory. Empty when there is no directory
// that only this user can reach: then no window listens and every command runs on its own.
QString socketName(const QString &programDirectory);

// Sends the request to the window at name and returns its answer; nothing when no window
// listens there. A window that takes longer than timeoutMs to answer gives a failure; the end of
// a play with --wait is waited for without a limit, as long as the window is there.
//
// With `answer`, a line before the last is a question (its `out`); answer gives the line to send
// back, or nothing to give up. The conversation then waits without a limit, as long as the
// window is there.
using Answerer = std::function<std::optional<QString>(const QString &question)>;
std::optional<Reply> askWindow(
    const QString &name, const Request &request, int timeoutMs, const Answerer &answer = {});

// The window's side. Takes connections of this user only, reads one request of at most
// MaxRequestBytes from each, refuses anything unsound itself and hands sound requests to the
// handler one at a time, in the order they came.
class RequestServer : public QObject
{
    Q_OBJECT
public:
    // One request under way.
    class Call : public std::enable_shared_from_this<Call>
    {
    public:
        explicit Call(QLocalSocket *socket);
        // A play with --wait has started; finish() follows when it has ended.
        void started();
        // Conversations: asks a question; the command's answer comes to `answered`, each line
        // of at most MaxAnswerBytes. `gone` is called when the command goes away unfinished.
        void ask(const QString &question);
        void converse(std::function<void(const QString &)> answered, std::function<void()> gone);
        // The connection, which lives as long as the command is there.
        QObject *connection() const;
        void finish(const Reply &reply);
        bool open() const; // the command still waits for the answer
        bool finished() const { return m_finished; }

    private:
        QPointer<QLocalSocket> m_socket;
        bool m_finished = false;
    };
    using Handler = std::function<void(const Request &, const std::shared_ptr<Call> &)>;

    explicit RequestServer(Handler handler, QObject *parent = nullptr);
    ~RequestServer() override;

    // Listens at name unless another window already answers there; a socket left behind by a
    // window that ended without removing it is replaced. False when not listening.
    bool listen(const QString &name);
    QString name() const;
    // Requests that come before this wait for it: the window is not yet ready.
    void setReady();
    // No further requests: the window is closing. Every request that waits gets the refusal;
    // calls under way are the handler's to finish.
    void shutDown(const Reply &refusal);

    // A connection that has not sent its whole request after this long is closed; one whose
    // request is under way (a play with --wait) is not.
    static constexpr int IdleMs = 5000;
    // At most this many connections wait for their request; the oldest goes for a new one.
    static constexpr int MaxIdleConnections = 32;
    // At most this many connections at all; more are closed at once.
    static constexpr int MaxConnections = 256;

private:
    void accept();
    void read(QLocalSocket *socket);
    void runQueue();
    void keepListening();

    Handler m_handler;
    QLocalServer *m_server; // a child, like the connections it takes
    QString m_name;
    QList<QPointer<QLocalSocket>> m_idle; // oldest first
    int m_connections = 0;
    struct Pending
    {
        Request request;
        std::shared_ptr<Call> call;
    };
    QList<Pending> m_queue;
    bool m_ready = false;
    bool m_busy = false;
    std::optional<Reply> m_refusal;
};

} // namespace command
