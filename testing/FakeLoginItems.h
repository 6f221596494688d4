#pragma once
// The start-at-login registration in memory. `failNext(error)` makes the next request fail;
// `setStatus` stands for the user changing it in the system settings.

#include <mutex>

#include "platform/LoginItems.h"

namespace vantlo {

class FakeLoginItems : public LoginItems {
  public:
    LoginItemStatus status() override {
        std::lock_guard lock(mutex_);
        return status_;
    }
    std::string registerItem() override { return request(LoginItemStatus::enabled); }
    std::string unregisterItem() override { return request(LoginItemStatus::notRegistered); }

    void setStatus(LoginItemStatus status) {
        std::lock_guard lock(mutex_);
        status_ = status;
    }
    void failNext(std::string error) {
        std::lock_guard lock(mutex_);
        nextError_ = std::move(error);
    }
    int requestCount() {
        std::lock_guard lock(mutex_);
        return requests_;
    }

  private:
    std::string request(LoginItemStatus result) {
        std::lock_guard lock(mutex_);
        ++requests_;
        if (!nextError_.empty())
            return std::exchange(nextError_, {});
        status_ = result;
        return {};
    }

    std::mutex mutex_;
    LoginItemStatus status_ = LoginItemStatus::notRegistered;
    std::string nextError_;
    int requests_ = 0;
};

}  // namespace vantlo
