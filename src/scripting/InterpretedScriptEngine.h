#pragma once
// The script engine of a platform without a system one: parses each script in this program's
// dialect and interprets it against the applications of a registry, bounded by the caller's
// time-out and a step budget.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/Clock.h"
#include "platform/ScriptEngine.h"
#include "scripting/ScriptApplicationRegistry.h"
#include "scripting/ScriptInterpreter.h"

namespace vantlo {

class InterpretedScriptEngine : public ScriptEngine {
  public:
    InterpretedScriptEngine(std::shared_ptr<ScriptApplicationRegistry> registry,
                            std::shared_ptr<const Clock> clock,
                            std::uint64_t maxSteps = ScriptInterpreter::kDefaultMaxSteps);

    // Nothing when the text does not parse, names an unknown application, fails outside every
    // "try", or runs out of steps or of `timeoutSeconds` (also when the time-out is not positive).
    std::optional<ScriptValue> execute(const std::string& source, double timeoutSeconds) override;
    // What the registered application of that name reports.
    std::map<std::string, std::string> pageIconAddresses(
        const std::string& applicationName) override;

    ScriptApplicationRegistry& registry() { return *registry_; }

  private:
    std::shared_ptr<ScriptApplicationRegistry> registry_;
    std::shared_ptr<const Clock> clock_;
    std::uint64_t maxSteps_;
};

}  // namespace vantlo
