#include "platform/NotificationCenter.h"

#include <algorithm>

#include "platform/Dispatch.h"

namespace vantlo {

NotificationCenter::NotificationCenter(Dispatch& dispatch) : dispatch_(dispatch) {}

NotificationCenter::Token NotificationCenter::addObserver(const std::string& name, Handler handler,
                                                          Delivery delivery) {
    std::lock_guard lock(mutex_);
    Token token = nextToken_++;
    observers_.push_back({token, name, std::make_shared<Handler>(std::move(handler)), delivery,
                          std::make_shared<std::atomic<bool>>(true)});
    return token;
}

void NotificationCenter::removeObserver(Token token) {
    std::lock_guard lock(mutex_);
    auto it = std::find_if(observers_.begin(), observers_.end(),
                           [&](const Observer& o) { return o.token == token; });
    if (it == observers_.end())
        return;
    *it->alive = false;
    observers_.erase(it);
}

void NotificationCenter::post(const std::string& name, std::any object) {
    std::vector<Observer> matching;
    {
        std::lock_guard lock(mutex_);
        for (const auto& observer : observers_) {
            if (observer.name == name)
                matching.push_back(observer);
        }
    }
    auto notification = std::make_shared<Notification>(Notification{name, std::move(object)});
    for (const auto& observer : matching) {
        if (observer.delivery == Delivery::mainQueue) {
            dispatch_.async([observer, notification] {
                if (*observer.alive)
                    (*observer.handler)(*notification);
            });
            continue;
        }
        if (*observer.alive)
            (*observer.handler)(*notification);
    }
}

}  // namespace vantlo
