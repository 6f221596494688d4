#include "platform/NotificationCenter.h"

#include <memory>

#include "platform/Dispatch.h"

namespace vantlo {

NotificationCenter::NotificationCenter(Dispatch& dispatch) : dispatch_(dispatch) {}

Subscription NotificationCenter::addObserver(const std::string& name, Handler handler,
                                             Delivery delivery) {
    return observers_.add({name, std::move(handler), delivery});
}

void NotificationCenter::post(const std::string& name, std::any object) {
    auto notification = std::make_shared<Notification>(Notification{name, std::move(object)});
    for (const auto& slot : observers_.snapshot()) {
        if (slot->entry.name != name)
            continue;
        if (slot->entry.delivery == Delivery::mainQueue) {
            dispatch_.async([slot, notification] {
                if (slot->subscribed)
                    slot->entry.handler(*notification);
            });
            continue;
        }
        if (slot->subscribed)
            slot->entry.handler(*notification);
    }
}

}  // namespace vantlo
