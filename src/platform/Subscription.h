#pragma once
// The handle every "add an observer, monitor, listener or watch" hands back: while it lives the
// handler stays registered, and destroying or resetting it takes the handler away exactly once.
// It holds its source weakly, so it may outlive the source (then it does nothing). Move-only; an
// empty handle (default-constructed, moved from, or refused by its source) removes nothing.

#include <functional>
#include <memory>
#include <utility>

namespace vantlo {

class [[nodiscard]] Subscription {
  public:
    Subscription() = default;
    // `unsubscribe` runs once, when the handle is reset or destroyed.
    explicit Subscription(std::function<void()> unsubscribe)
        : unsubscribe_(std::move(unsubscribe)) {}
    Subscription(Subscription&& other) noexcept
        : unsubscribe_(std::exchange(other.unsubscribe_, nullptr)) {}
    Subscription& operator=(Subscription&& other) noexcept {
        if (this != &other) {
            reset();
            unsubscribe_ = std::exchange(other.unsubscribe_, nullptr);
        }
        return *this;
    }
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;
    ~Subscription() { reset(); }

    // A handle that calls `remove(source)` when it ends, if the source still exists then.
    template <typename Source, typename Remove>
    static Subscription removing(std::weak_ptr<Source> source, Remove remove) {
        return Subscription([source = std::move(source), remove = std::move(remove)] {
            if (auto alive = source.lock())
                remove(*alive);
        });
    }

    void reset() {
        if (auto unsubscribe = std::exchange(unsubscribe_, nullptr))
            unsubscribe();
    }
    // Whether the handler is still registered through this handle.
    explicit operator bool() const { return static_cast<bool>(unsubscribe_); }

  private:
    std::function<void()> unsubscribe_;
};

}  // namespace vantlo
