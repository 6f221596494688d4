#pragma once
// The native-messaging host's work: relay checked messages between the browser (framed JSON on
// two file descriptors, normally standard input and output) and Vantlo (its private socket).
// Vantlo may come and go: the host keeps trying to reach it and keeps the browser's port open
// meanwhile, because the extension's background worker lives only as long as that port. The host
// ends when the browser closes its side.

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "VantloLink.h"
#include "protocol/FrameReader.h"

namespace vantlo::bridge {

class BrowserHost {
  public:
    using Log = std::function<void(const std::string&)>;

    struct Options {
        int browserInput = 0;
        int browserOutput = 1;
        std::string socketPath;
        // Told to Vantlo first on every connection: which browser this is and its process.
        nlohmann::json identity;
        std::chrono::milliseconds retryInterval{1000};
    };

    BrowserHost(Options options, Log log);

    // Runs until the browser closes its input (0) or the browser's stream breaks (1).
    int run();

  private:
    enum class Step { goOn, browserClosed, browserBroken };

    void tryToConnect();
    int pollTimeout() const;
    Step readBrowser();
    void fromBrowser(const std::string& payload);
    void readVantlo();
    bool toBrowser(const std::string& payload);
    void lostVantlo();

    Options options_;
    Log log_;
    VantloLink link_;
    FrameReader browserReader_;
    std::optional<std::string> extensionHello_;
    std::chrono::steady_clock::time_point nextAttempt_{};
    bool reportedWaiting_ = false;
};

}  // namespace vantlo::bridge
