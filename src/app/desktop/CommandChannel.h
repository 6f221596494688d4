#pragma once
// The running copy's end of the control socket: a local server on the main loop that reads one
// request line per connection, answers it through RunningCopyCommands and hangs up. Reading and
// writing are event driven, so a slow or silent client never holds up the main thread; a client
// of another user is disconnected unanswered, and one that sends nothing is dropped after a few
// seconds.

#include <QObject>
#include <memory>
#include <string>

class QLocalServer;
class QLocalSocket;

namespace vantlo {

class NotificationCenter;

class CommandChannel : public QObject {
  public:
    static constexpr int kClientTimeoutMs = 3000;

    explicit CommandChannel(NotificationCenter& notifications);
    ~CommandChannel() override;

    // Starts listening at `socketPath`, replacing a socket left behind by a copy that ended (the
    // caller holds the single-instance lock, so no other copy listens there). False, with the
    // reason logged, when it cannot.
    bool listen(const std::string& socketPath);
    std::string socketPath() const { return socketPath_; }

  private:
    void accept();
    void serve(QLocalSocket* client);
    static void log(const std::string& line);

    NotificationCenter& notifications_;
    std::unique_ptr<QLocalServer> server_;
    std::string socketPath_;
};

}  // namespace vantlo
