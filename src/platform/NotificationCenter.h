#pragma once
// The process-wide notification centre: named notifications with an optional object, delivered
// to observers registered by name. Observers are identified by a token.
//
// Synchronous observers run on the posting thread before `post` returns; main-queue observers run
// later on the main queue. Adding or removing observers from inside a delivery is safe: a removed
// observer receives nothing after `removeObserver` returns (on the main thread), and an observer
// added during a delivery does not receive that notification.

#include <any>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace vantlo {

class Dispatch;

struct Notification {
    std::string name;
    std::any object;
};

class NotificationCenter {
  public:
    using Token = std::uint64_t;
    using Handler = std::function<void(const Notification&)>;
    enum class Delivery { synchronous, mainQueue };

    explicit NotificationCenter(Dispatch& dispatch);

    Token addObserver(const std::string& name, Handler handler,
                      Delivery delivery = Delivery::synchronous);
    void removeObserver(Token token);
    void post(const std::string& name, std::any object = {});

  private:
    struct Observer {
        Token token;
        std::string name;
        std::shared_ptr<Handler> handler;
        Delivery delivery;
        std::shared_ptr<std::atomic<bool>> alive;
    };

    Dispatch& dispatch_;
    std::mutex mutex_;
    Token nextToken_ = 1;
    std::vector<Observer> observers_;
};

// RAII holder that removes its observer when destroyed.
class ObserverRegistration {
  public:
    ObserverRegistration() = default;
    ObserverRegistration(NotificationCenter& center, NotificationCenter::Token token)
        : center_(&center), token_(token) {}
    ObserverRegistration(ObserverRegistration&& other) noexcept { *this = std::move(other); }
    ObserverRegistration& operator=(ObserverRegistration&& other) noexcept {
        if (this != &other) {
            reset();
            center_ = other.center_;
            token_ = other.token_;
            other.center_ = nullptr;
        }
        return *this;
    }
    ObserverRegistration(const ObserverRegistration&) = delete;
    ObserverRegistration& operator=(const ObserverRegistration&) = delete;
    ~ObserverRegistration() { reset(); }

    void reset() {
        if (center_)
            center_->removeObserver(token_);
        center_ = nullptr;
    }

  private:
    NotificationCenter* center_ = nullptr;
    NotificationCenter::Token token_ = 0;
};

}  // namespace vantlo
