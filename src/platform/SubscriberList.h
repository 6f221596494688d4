#pragma once
// The registry behind a source of Subscriptions: entries kept in the order they were added, each
// removed when its Subscription ends. Safe to use from several threads; a snapshot taken for a
// delivery stays valid while handlers add or remove entries, and `isSubscribed` tells whether an
// entry was removed since (a removed entry hears nothing after its Subscription ended).

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/Subscription.h"

namespace vantlo {

template <typename Entry>
class SubscriberList {
  public:
    struct Slot {
        explicit Slot(Entry e) : entry(std::move(e)) {}
        Entry entry;
        std::atomic<bool> subscribed{true};
    };
    using SlotRef = std::shared_ptr<Slot>;

    SubscriberList() : state_(std::make_shared<State>()) {}
    ~SubscriberList() { clear(); }
    SubscriberList(const SubscriberList&) = delete;
    SubscriberList& operator=(const SubscriberList&) = delete;

    Subscription add(Entry entry) {
        auto slot = std::make_shared<Slot>(std::move(entry));
        std::uint64_t token = 0;
        {
            std::lock_guard lock(state_->mutex);
            token = state_->nextToken++;
            state_->slots.emplace(token, std::move(slot));
        }
        return Subscription::removing(std::weak_ptr<State>(state_),
                                      [token](State& state) { state.remove(token); });
    }

    // The entries now registered, oldest first.
    std::vector<SlotRef> snapshot() const {
        std::lock_guard lock(state_->mutex);
        std::vector<SlotRef> slots;
        slots.reserve(state_->slots.size());
        for (const auto& [token, slot] : state_->slots)
            slots.push_back(slot);
        return slots;
    }

    // Calls `f(entry)` for each entry, oldest first, skipping any removed during the walk.
    template <typename F>
    void forEach(F&& f) const {
        for (const auto& slot : snapshot()) {
            if (slot->subscribed)
                f(slot->entry);
        }
    }

    std::size_t size() const {
        std::lock_guard lock(state_->mutex);
        return state_->slots.size();
    }
    bool empty() const { return size() == 0; }

    // Drops every entry; their Subscriptions then remove nothing.
    void clear() {
        std::map<std::uint64_t, SlotRef> doomed;
        {
            std::lock_guard lock(state_->mutex);
            doomed.swap(state_->slots);
        }
        for (auto& [token, slot] : doomed)
            slot->subscribed = false;
    }

  private:
    struct State {
        std::mutex mutex;
        std::uint64_t nextToken = 1;
        std::map<std::uint64_t, SlotRef> slots;

        void remove(std::uint64_t token) {
            SlotRef doomed;
            {
                std::lock_guard lock(mutex);
                auto it = slots.find(token);
                if (it == slots.end())
                    return;
                doomed = std::move(it->second);
                slots.erase(it);
            }
            // Released outside the lock: the handler's captures may end other subscriptions.
            doomed->subscribed = false;
        }
    };

    std::shared_ptr<State> state_;
};

}  // namespace vantlo
