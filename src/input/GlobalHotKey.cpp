#include "input/GlobalHotKey.h"

#include <map>
#include <mutex>

#include "platform/Platform.h"

namespace vantlo {
namespace {

// Shared by every instance. The platform may report presses on any thread, so the callbacks are
// looked up under the lock; the lock is never held while calling the platform or a callback.
struct Registry {
    std::mutex lock;
    std::map<std::uint32_t, std::shared_ptr<GlobalHotKey::Handler>> handlers;
    std::uint32_t nextID = 1;
    // The service the one press handler is installed on.
    std::weak_ptr<HotKeys> handlerInstalledOn;
};

Registry& registry() {
    static Registry shared;
    return shared;
}

std::shared_ptr<GlobalHotKey::Handler> handlerFor(std::uint32_t id) {
    auto& shared = registry();
    std::lock_guard guard(shared.lock);
    auto it = shared.handlers.find(id);
    return it == shared.handlers.end() ? nullptr : it->second;
}

void runOnMain(std::uint32_t id) {
    // Looked up again: the instance may have gone while the press waited in the queue.
    if (auto handler = handlerFor(id))
        (*handler)();
}

void onPress(std::uint32_t id, const std::weak_ptr<Dispatch>& dispatchRef) {
    if (!handlerFor(id))
        return;
    if (auto dispatch = dispatchRef.lock())
        dispatch->async([id] { runOnMain(id); });
}

}  // namespace

GlobalHotKey::GlobalHotKey(std::uint32_t keyCode, std::uint32_t carbonModifiers, Handler handler)
    : hotKeys_(platform().hotKeys) {
    {
        auto& shared = registry();
        std::lock_guard guard(shared.lock);
        id_ = shared.nextID++;
        shared.handlers[id_] = std::make_shared<Handler>(std::move(handler));
    }
    if (!hotKeys_)
        return;
    installSharedHandlerIfNeeded(hotKeys_);
    registered_ = hotKeys_->registerHotKey(id_, keyCode, carbonModifiers);
}

GlobalHotKey::~GlobalHotKey() {
    if (registered_)
        hotKeys_->unregisterHotKey(id_);
    auto& shared = registry();
    std::lock_guard guard(shared.lock);
    shared.handlers.erase(id_);
}

void GlobalHotKey::installSharedHandlerIfNeeded(const std::shared_ptr<HotKeys>& hotKeys) {
    auto& shared = registry();
    {
        std::lock_guard guard(shared.lock);
        if (shared.handlerInstalledOn.lock() == hotKeys)
            return;
    }
    std::weak_ptr<Dispatch> dispatch = platform().dispatch;
    hotKeys->setPressHandler([dispatch](std::uint32_t id) { onPress(id, dispatch); });
    std::lock_guard guard(shared.lock);
    shared.handlerInstalledOn = hotKeys;
}

void GlobalHotKey::resetShared() {
    auto& shared = registry();
    std::lock_guard guard(shared.lock);
    shared.handlers.clear();
    shared.nextID = 1;
    shared.handlerInstalledOn.reset();
}

}  // namespace vantlo
