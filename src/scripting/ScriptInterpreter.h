#pragma once
// Runs a parsed script against the applications of a registry, within a step budget and a
// deadline. Errors inside the script (a missing window, a refused property, a wrong type) are
// script errors that a "try" block absorbs; running out of steps or time ends the run at once,
// whatever "try" blocks it is in.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "scripting/ScriptApplicationRegistry.h"
#include "scripting/ScriptDeadline.h"
#include "scripting/ScriptSyntax.h"

namespace vantlo {

class ScriptInterpreter {
  public:
    // Enough for listing thousands of tabs; a runaway loop stops long before it hurts.
    static constexpr std::uint64_t kDefaultMaxSteps = 1'000'000;

    ScriptInterpreter(const ScriptApplicationRegistry& registry, ScriptDeadline deadline,
                      std::uint64_t maxSteps = kDefaultMaxSteps);

    // The value of the `return` that ended the script, else of its last statement; nothing when
    // an application it names is unknown, an error escaped every "try", or the run ran out of
    // steps or time.
    std::optional<RuntimeValue> run(const ScriptProgram& program);

    std::uint64_t stepsTaken() const { return steps_; }
    // Why the last run failed, for diagnostics ("" after a successful run).
    const std::string& failureMessage() const { return message_; }

  private:
    enum class Flow { next, returned, failed };
    enum class Failure { none, error, abort };

    using Value = std::optional<RuntimeValue>;

    Flow execute(const std::vector<ScriptStmt>& statements);
    Flow execute(const ScriptStmt& stmt);
    Flow tell(const ScriptStmt& stmt);
    Flow set(const ScriptStmt& stmt);
    Flow setEnd(const ScriptStmt& stmt);
    Flow repeatWith(const ScriptStmt& stmt);
    Flow ifThen(const ScriptStmt& stmt);
    Flow tryBlock(const ScriptStmt& stmt);
    Flow command(const ScriptStmt& stmt);

    Value evaluate(const ScriptExpr& expr);
    Value property(const ScriptExpr& expr);
    Value element(const ScriptExpr& expr);
    Value count(const ScriptExpr& expr);
    Value compare(const ScriptExpr& expr);
    Value logical(const ScriptExpr& expr);
    Value coerce(const ScriptExpr& expr);
    Value negate(const ScriptExpr& expr);

    std::optional<ObjectSpecifier> container(const ScriptExpr* expr);
    std::optional<std::int64_t> integerOf(const RuntimeValue& value);
    std::optional<bool> booleanOf(const RuntimeValue& value);
    ScriptableApplication* application(const std::string& name);
    Value answer(const DictionaryReply& reply);

    // Charges `cost` steps; false (and the run is aborted) past the budget or the deadline.
    bool charge(std::uint64_t cost = 1);
    Value error(std::string message);
    Value abort(std::string message);

    const ScriptApplicationRegistry& registry_;
    ScriptDeadline deadline_;
    std::uint64_t maxSteps_;
    std::uint64_t steps_ = 0;
    std::map<std::string, std::shared_ptr<ScriptableApplication>> applications_;
    std::vector<ObjectSpecifier> tellTargets_;
    std::unordered_map<std::string, RuntimeValue> variables_;
    RuntimeValue result_;
    Failure failure_ = Failure::none;
    std::string message_;
};

}  // namespace vantlo
