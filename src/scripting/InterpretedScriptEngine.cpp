#include "scripting/InterpretedScriptEngine.h"

#include <cmath>

#include "scripting/ScriptParser.h"

namespace vantlo {

InterpretedScriptEngine::InterpretedScriptEngine(
    std::shared_ptr<ScriptApplicationRegistry> registry, std::shared_ptr<const Clock> clock,
    std::uint64_t maxSteps)
    : registry_(std::move(registry)), clock_(std::move(clock)), maxSteps_(maxSteps) {}

std::optional<ScriptValue> InterpretedScriptEngine::execute(const std::string& source,
                                                            double timeoutSeconds) {
    if (!(timeoutSeconds > 0) || !std::isfinite(timeoutSeconds))
        return std::nullopt;
    ScriptDeadline deadline(*clock_, clock_->now() + timeoutSeconds);
    auto program = ScriptParser::parse(source);
    if (!program)
        return std::nullopt;
    ScriptInterpreter interpreter(*registry_, deadline, maxSteps_);
    auto result = interpreter.run(*program);
    if (!result)
        return std::nullopt;
    return result->toScriptValue();
}

std::map<std::string, std::string> InterpretedScriptEngine::pageIconAddresses(
    const std::string& applicationName) {
    auto app = registry_->find(applicationName);
    return app ? app->pageIconAddresses() : std::map<std::string, std::string>{};
}

}  // namespace vantlo
