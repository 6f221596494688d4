#pragma once
// Callbacks that run only while their owner lives: `guardedBy(weak_from_this(), [](Self& self,
// args...) {...})` gives a callable that locks the owner for each call and does nothing (answers
// a default value) once the owner is gone. Deferred work and event handlers use it instead of
// writing the lock-and-check at every call site.

#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

namespace vantlo {

template <typename Owner, typename F>
auto guardedBy(std::weak_ptr<Owner> owner, F f) {
    return [owner = std::move(owner), f = std::move(f)](auto&&... args) {
        using Result = std::invoke_result_t<const F&, Owner&, decltype(args)...>;
        auto alive = owner.lock();
        if constexpr (std::is_void_v<Result>) {
            if (alive)
                std::invoke(f, *alive, std::forward<decltype(args)>(args)...);
        } else {
            if (!alive)
                return Result{};
            return std::invoke(f, *alive, std::forward<decltype(args)>(args)...);
        }
    };
}

// The same, guarding on an owner held strongly elsewhere (the callable holds it weakly).
template <typename Owner, typename F>
auto guardedBy(const std::shared_ptr<Owner>& owner, F f) {
    return guardedBy(std::weak_ptr<Owner>(owner), std::move(f));
}

}  // namespace vantlo
