#pragma once
// The host's connection to Vantlo: a Unix stream socket that is trusted only when it lies in this
// user's private folder and the listening process runs as this user. Writes are queued and sent
// as the socket accepts them, so a slow Vantlo never stops the host from reading the browser.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "protocol/FrameReader.h"

namespace vantlo::bridge {

class VantloLink {
  public:
    using Log = std::function<void(const std::string&)>;

    explicit VantloLink(Log log);
    ~VantloLink();
    VantloLink(const VantloLink&) = delete;
    VantloLink& operator=(const VantloLink&) = delete;

    // Connects to the socket at `path`; false (with the reason in `lastFailure()`) when Vantlo is
    // not there or the socket cannot be trusted.
    bool connect(const std::string& path);
    void disconnect();
    bool connected() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    const std::string& lastFailure() const { return lastFailure_; }

    // Queues one framed message. Drops the connection when Vantlo has stopped reading for so long
    // that the queue passed its bound.
    void send(const std::string& payload);
    bool wantsToWrite() const { return !outgoing_.empty(); }
    // Writes what the socket accepts now; false when the connection broke.
    bool flush();
    // Reads what arrived and appends the complete messages to `messages`; false when Vantlo closed
    // the connection or sent a stream that cannot be read.
    bool receive(std::vector<std::string>& messages);

  private:
    bool fail(std::string why);

    Log log_;
    int fd_ = -1;
    std::string outgoing_;
    std::optional<FrameReader> reader_;
    std::string lastFailure_;
};

}  // namespace vantlo::bridge
