#include "BrowserHost.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include <poll.h>
#include <unistd.h>

#include "protocol/Frame.h"
#include "protocol/MessageCheck.h"

namespace vantlo::bridge {

BrowserHost::BrowserHost(Options options, Log log)
    : options_(std::move(options)),
      log_(std::move(log)),
      link_(log_),
      browserReader_(kMaxBrowserMessage) {}

int BrowserHost::run() {
    for (;;) {
        if (!link_.connected() && std::chrono::steady_clock::now() >= nextAttempt_)
            tryToConnect();
        pollfd fds[2] = {{options_.browserInput, POLLIN, 0}, {-1, 0, 0}};
        if (link_.connected())
            fds[1] = {link_.fd(), static_cast<short>(POLLIN | (link_.wantsToWrite() ? POLLOUT : 0)),
                      0};
        if (::poll(fds, 2, pollTimeout()) < 0) {
            if (errno == EINTR)
                continue;
            log_(std::string("poll: ") + std::strerror(errno));
            return 1;
        }
        if (fds[0].revents) {
            Step step = readBrowser();
            if (step == Step::browserClosed)
                return 0;
            if (step == Step::browserBroken)
                return 1;
        }
        if (link_.connected() && (fds[1].revents & POLLOUT) && !link_.flush())
            lostVantlo();
        if (link_.connected() && (fds[1].revents & (POLLIN | POLLHUP | POLLERR)))
            readVantlo();
    }
}

void BrowserHost::tryToConnect() {
    if (!link_.connect(options_.socketPath)) {
        if (!reportedWaiting_)
            log_("waiting for Vantlo: " + link_.lastFailure());
        reportedWaiting_ = true;
        nextAttempt_ = std::chrono::steady_clock::now() + options_.retryInterval;
        return;
    }
    log_("connected to Vantlo at " + options_.socketPath);
    reportedWaiting_ = false;
    link_.send(options_.identity.dump());
    if (extensionHello_)
        link_.send(*extensionHello_);
}

int BrowserHost::pollTimeout() const {
    if (link_.connected())
        return -1;
    auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(
        nextAttempt_ - std::chrono::steady_clock::now());
    return static_cast<int>(std::max<std::chrono::milliseconds::rep>(wait.count(), 0));
}

BrowserHost::Step BrowserHost::readBrowser() {
    char chunk[65536];
    ssize_t got = ::read(options_.browserInput, chunk, sizeof(chunk));
    if (got < 0)
        return errno == EINTR || errno == EAGAIN ? Step::goOn : Step::browserBroken;
    if (got == 0) {
        if (browserReader_.pending() > 0)
            log_("the browser closed its side in the middle of a message");
        return Step::browserClosed;
    }
    browserReader_.append({chunk, static_cast<std::size_t>(got)});
    while (auto payload = browserReader_.next())
        fromBrowser(*payload);
    if (browserReader_.failed()) {
        log_("refused the browser's stream: " + browserReader_.error());
        return Step::browserBroken;
    }
    return Step::goOn;
}

void BrowserHost::fromBrowser(const std::string& payload) {
    CheckedMessage message = MessageCheck::browserMessage(payload);
    if (!message.ok()) {
        log_("refused a message from the browser: " + message.error);
        return;
    }
    std::string checked =
        message.value->dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    if ((*message.value)["type"] == "hello")
        extensionHello_ = checked;
    if (link_.connected()) {
        link_.send(checked);
        if (!link_.connected())
            lostVantlo();
    }
}

void BrowserHost::readVantlo() {
    std::vector<std::string> payloads;
    bool open = link_.receive(payloads);
    for (const auto& payload : payloads) {
        CheckedMessage request = MessageCheck::vantloRequest(payload);
        if (!request.ok()) {
            log_("refused a request from Vantlo: " + request.error);
            continue;
        }
        if (!toBrowser(request.value->dump()))
            return;
    }
    if (!open)
        lostVantlo();
}

bool BrowserHost::toBrowser(const std::string& payload) {
    if (payload.size() > kMaxMessageToBrowser) {
        log_("refused a request larger than the browser accepts");
        return true;
    }
    std::string frame = encodeFrame(payload);
    std::size_t done = 0;
    while (done < frame.size()) {
        ssize_t written = ::write(options_.browserOutput, frame.data() + done, frame.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            log_(std::string("writing to the browser failed: ") + std::strerror(errno));
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

void BrowserHost::lostVantlo() {
    link_.disconnect();
    log_("Vantlo went away; waiting for it to come back");
    reportedWaiting_ = true;
    nextAttempt_ = std::chrono::steady_clock::now() + options_.retryInterval;
}

}  // namespace vantlo::bridge
