#pragma once
// A script engine that runs nothing: every source is recorded (FakeEffects::scripts) and answered
// by the result a test set for that exact source text, else by the handler, else with nothing (as
// a script that failed). The handler is the seam for richer engines (an interpreter-backed one).
//
//   fake.scripts->setResult("tell application \"Music\" to pause", ScriptValue());
//   fake.scripts->setHandler([](const std::string& source, double) -> std::optional<ScriptValue> {
//       return source.find("count windows") != std::string::npos ? ScriptValue(2) : std::nullopt;
//   });

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "platform/ScriptEngine.h"
#include "testing/FakeEffects.h"

namespace vantlo {

class FakeScriptEngine : public ScriptEngine {
  public:
    using Handler =
        std::function<std::optional<ScriptValue>(const std::string& source, double timeoutSeconds)>;

    explicit FakeScriptEngine(std::shared_ptr<FakeEffects> effects)
        : effects_(std::move(effects)) {}

    std::optional<ScriptValue> execute(const std::string& source, double timeoutSeconds) override {
        {
            std::lock_guard lock(effects_->mutex);
            effects_->scripts.push_back({source, timeoutSeconds});
            effects_->note("script " + source);
        }
        Handler handler;
        {
            std::lock_guard lock(mutex_);
            if (auto it = results_.find(source); it != results_.end())
                return it->second;
            handler = handler_;
        }
        // The handler runs unlocked: it may set results or run scripts of its own.
        return handler ? handler(source, timeoutSeconds) : std::nullopt;
    }

    std::map<std::string, std::string> pageIconAddresses(
        const std::string& applicationName) override {
        IconSource source;
        {
            std::lock_guard lock(mutex_);
            source = iconSource_;
        }
        return source ? source(applicationName) : std::map<std::string, std::string>{};
    }

    // Answers `source` with `result` (nothing: the script fails) from now on.
    void setResult(const std::string& source, std::optional<ScriptValue> result) {
        std::lock_guard lock(mutex_);
        results_[source] = std::move(result);
    }
    void setHandler(Handler handler) {
        std::lock_guard lock(mutex_);
        handler_ = std::move(handler);
    }
    // Where page icons come from (none by default).
    using IconSource = std::function<std::map<std::string, std::string>(const std::string&)>;
    void setPageIconSource(IconSource source) {
        std::lock_guard lock(mutex_);
        iconSource_ = std::move(source);
    }
    // The sources run so far, in order.
    std::vector<std::string> sources() const {
        std::lock_guard lock(effects_->mutex);
        std::vector<std::string> result;
        for (const auto& record : effects_->scripts)
            result.push_back(record.source);
        return result;
    }

  private:
    std::shared_ptr<FakeEffects> effects_;
    mutable std::mutex mutex_;
    std::map<std::string, std::optional<ScriptValue>> results_;
    Handler handler_;
    IconSource iconSource_;
};

}  // namespace vantlo
