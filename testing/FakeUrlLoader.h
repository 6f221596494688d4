#pragma once
// Address loading without a network. Tests queue responses (or errors) per address; each load
// takes the next one queued for its address, or fails with "offline" when none is. Completions
// arrive on a background queue of the fake dispatch, never inside `load`.

#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Dispatch.h"
#include "platform/UrlLoader.h"

namespace vantlo {

class FakeUrlLoader : public UrlLoader {
  public:
    explicit FakeUrlLoader(Dispatch& dispatch) : dispatch_(dispatch) {}

    void load(const std::string& url, double timeoutSeconds, Completion completion) override {
        Reply reply{std::nullopt, "offline"};
        {
            std::lock_guard lock(mutex_);
            requests_.push_back(url);
            auto& queued = replies_[url];
            if (!queued.empty()) {
                reply = std::move(queued.front());
                queued.pop_front();
            }
        }
        (void)timeoutSeconds;
        dispatch_.global(QualityOfService::utility,
                         [completion = std::move(completion), reply = std::move(reply)] {
                             if (completion)
                                 completion(reply.response, reply.error);
                         });
    }

    void respond(const std::string& url, UrlResponse response) {
        std::lock_guard lock(mutex_);
        replies_[url].push_back({std::move(response), ""});
    }
    void respond(const std::string& url, int statusCode, std::string mimeType, Data body) {
        respond(url, UrlResponse{statusCode, std::move(mimeType), std::move(body)});
    }
    void fail(const std::string& url, std::string error) {
        std::lock_guard lock(mutex_);
        replies_[url].push_back({std::nullopt, std::move(error)});
    }
    // Every address asked for, in order.
    std::vector<std::string> requests() const {
        std::lock_guard lock(mutex_);
        return requests_;
    }

  private:
    struct Reply {
        std::optional<UrlResponse> response;
        std::string error;
    };

    Dispatch& dispatch_;
    mutable std::mutex mutex_;
    std::map<std::string, std::deque<Reply>> replies_;
    std::vector<std::string> requests_;
};

}  // namespace vantlo
