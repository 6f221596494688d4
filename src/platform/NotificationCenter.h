#pragma once
// The process-wide notification centre: named notifications with an optional object, delivered
// to the observers registered by name. Each observer stays registered while its Subscription
// lives.
//
// Synchronous observers run on the posting thread before `post` returns; main-queue observers run
// later on the main queue. Adding or removing observers from inside a delivery is safe: an
// observer whose Subscription has ended receives nothing after that (on the main thread), and an
// observer added during a delivery does not receive that notification.

#include <any>
#include <functional>
#include <string>

#include "platform/SubscriberList.h"
#include "platform/Subscription.h"

namespace vantlo {

class Dispatch;

struct Notification {
    std::string name;
    std::any object;
};

class NotificationCenter {
  public:
    using Handler = std::function<void(const Notification&)>;
    enum class Delivery { synchronous, mainQueue };

    explicit NotificationCenter(Dispatch& dispatch);

    Subscription addObserver(const std::string& name, Handler handler,
                             Delivery delivery = Delivery::synchronous);
    void post(const std::string& name, std::any object = {});

  private:
    struct Observer {
        std::string name;
        Handler handler;
        Delivery delivery;
    };

    Dispatch& dispatch_;
    SubscriberList<Observer> observers_;
};

}  // namespace vantlo
