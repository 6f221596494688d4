#include "scripting/ScriptInterpreter.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <utility>

#include "scripting/ScriptableApplication.h"

namespace vantlo {
namespace {

// How often, in steps, the clock is read while nothing else reads it.
constexpr std::uint64_t kDeadlineCheckInterval = 64;

std::string textOfReal(double value) {
    char buffer[64];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string text(buffer, error == std::errc() ? end : buffer);
    if (text.find_first_of(".eni") == std::string::npos)
        text += ".0";
    return text;
}

std::size_t characterCount(const std::string& text) {
    std::size_t count = 0;
    for (unsigned char c : text)
        count += (c & 0xC0) != 0x80;
    return count;
}

std::optional<std::int64_t> roundedInteger(double value) {
    if (!std::isfinite(value))
        return std::nullopt;
    double rounded = std::nearbyint(value);
    if (rounded < -9.2e18 || rounded > 9.2e18)
        return std::nullopt;
    return static_cast<std::int64_t>(rounded);
}

}  // namespace

ScriptInterpreter::ScriptInterpreter(const ScriptApplicationRegistry& registry,
                                     ScriptDeadline deadline, std::uint64_t maxSteps)
    : registry_(registry), deadline_(deadline), maxSteps_(maxSteps) {}

std::optional<RuntimeValue> ScriptInterpreter::run(const ScriptProgram& program) {
    steps_ = 0;
    failure_ = Failure::none;
    message_.clear();
    variables_.clear();
    tellTargets_.clear();
    result_ = RuntimeValue();
    applications_.clear();
    for (const auto& name : program.applications) {
        auto app = registry_.find(name);
        if (!app) {
            message_ = "no application named \"" + name + "\"";
            return std::nullopt;
        }
        applications_[name] = std::move(app);
    }
    if (deadline_.hasPassed()) {
        message_ = "out of time";
        return std::nullopt;
    }
    if (execute(program.statements) == Flow::failed)
        return std::nullopt;
    return std::move(result_);
}

bool ScriptInterpreter::charge(std::uint64_t cost) {
    if (failure_ == Failure::abort)
        return false;
    std::uint64_t before = steps_;
    steps_ += cost;
    if (steps_ > maxSteps_ || steps_ < before) {
        abort("step limit reached");
        return false;
    }
    if (before / kDeadlineCheckInterval != steps_ / kDeadlineCheckInterval &&
        deadline_.hasPassed()) {
        abort("out of time");
        return false;
    }
    return true;
}

ScriptInterpreter::Value ScriptInterpreter::error(std::string message) {
    if (failure_ != Failure::abort) {
        failure_ = Failure::error;
        message_ = std::move(message);
    }
    return std::nullopt;
}

ScriptInterpreter::Value ScriptInterpreter::abort(std::string message) {
    failure_ = Failure::abort;
    message_ = std::move(message);
    return std::nullopt;
}

// ---- statements

ScriptInterpreter::Flow ScriptInterpreter::execute(const std::vector<ScriptStmt>& statements) {
    for (const auto& stmt : statements) {
        Flow flow = execute(stmt);
        if (flow != Flow::next)
            return flow;
    }
    return Flow::next;
}

ScriptInterpreter::Flow ScriptInterpreter::execute(const ScriptStmt& stmt) {
    if (!charge())
        return Flow::failed;
    switch (stmt.kind) {
        case ScriptStmt::Kind::tell:
            return tell(stmt);
        case ScriptStmt::Kind::set:
            return set(stmt);
        case ScriptStmt::Kind::setEnd:
            return setEnd(stmt);
        case ScriptStmt::Kind::repeatWith:
            return repeatWith(stmt);
        case ScriptStmt::Kind::ifThen:
            return ifThen(stmt);
        case ScriptStmt::Kind::tryBlock:
            return tryBlock(stmt);
        case ScriptStmt::Kind::command:
            return command(stmt);
        case ScriptStmt::Kind::returnValue: {
            if (!stmt.value) {
                result_ = RuntimeValue();
                return Flow::returned;
            }
            auto value = evaluate(*stmt.value);
            if (!value)
                return Flow::failed;
            result_ = std::move(*value);
            return Flow::returned;
        }
        case ScriptStmt::Kind::expression: {
            auto value = evaluate(*stmt.value);
            if (!value)
                return Flow::failed;
            result_ = std::move(*value);
            return Flow::next;
        }
    }
    return Flow::failed;
}

ScriptInterpreter::Flow ScriptInterpreter::tell(const ScriptStmt& stmt) {
    tellTargets_.push_back(ObjectSpecifier{stmt.name, {}});
    Flow flow = execute(stmt.body);
    tellTargets_.pop_back();
    return flow;
}

ScriptInterpreter::Flow ScriptInterpreter::set(const ScriptStmt& stmt) {
    if (!stmt.target) {
        auto value = evaluate(*stmt.value);
        if (!value)
            return Flow::failed;
        result_ = *value;
        variables_[stmt.name] = std::move(*value);
        return Flow::next;
    }
    auto object = container(stmt.target->container.get());
    if (!object)
        return Flow::failed;
    auto value = evaluate(*stmt.value);
    if (!value)
        return Flow::failed;
    auto* app = application(object->application);
    if (!app || !answer(app->setProperty(*object, stmt.target->name, *value, deadline_)))
        return Flow::failed;
    result_ = std::move(*value);
    return Flow::next;
}

ScriptInterpreter::Flow ScriptInterpreter::setEnd(const ScriptStmt& stmt) {
    auto value = evaluate(*stmt.value);
    if (!value)
        return Flow::failed;
    auto it = variables_.find(stmt.name);
    if (it == variables_.end()) {
        error("variable " + stmt.name + " is not defined");
        return Flow::failed;
    }
    auto* list = it->second.get<RuntimeValue::List>();
    if (!list) {
        error("can't set end of a " + std::string(it->second.className()));
        return Flow::failed;
    }
    list->push_back(std::move(*value));
    return Flow::next;
}

ScriptInterpreter::Flow ScriptInterpreter::repeatWith(const ScriptStmt& stmt) {
    auto from = evaluate(*stmt.value);
    auto first = from ? integerOf(*from) : std::nullopt;
    auto to = first ? evaluate(*stmt.limit) : std::nullopt;
    auto last = to ? integerOf(*to) : std::nullopt;
    if (!last)
        return Flow::failed;
    for (std::int64_t i = *first; i <= *last; ++i) {
        if (!charge())
            return Flow::failed;
        variables_[stmt.name] = RuntimeValue(i);
        Flow flow = execute(stmt.body);
        if (flow != Flow::next)
            return flow;
        if (i == std::numeric_limits<std::int64_t>::max())
            break;
    }
    return Flow::next;
}

ScriptInterpreter::Flow ScriptInterpreter::ifThen(const ScriptStmt& stmt) {
    auto condition = evaluate(*stmt.value);
    auto truth = condition ? booleanOf(*condition) : std::nullopt;
    if (!truth)
        return Flow::failed;
    return execute(*truth ? stmt.body : stmt.otherwise);
}

ScriptInterpreter::Flow ScriptInterpreter::tryBlock(const ScriptStmt& stmt) {
    Flow flow = execute(stmt.body);
    if (flow != Flow::failed || failure_ != Failure::error)
        return flow;
    failure_ = Failure::none;
    std::string message = std::exchange(message_, {});
    if (stmt.otherwise.empty())
        return Flow::next;
    if (!stmt.name.empty())
        variables_[stmt.name] = RuntimeValue(std::move(message));
    return execute(stmt.otherwise);
}

ScriptInterpreter::Flow ScriptInterpreter::command(const ScriptStmt& stmt) {
    if (tellTargets_.empty()) {
        error(stmt.name + " needs an application to tell");
        return Flow::failed;
    }
    RuntimeValue direct;
    if (stmt.value) {
        auto value = evaluate(*stmt.value);
        if (!value)
            return Flow::failed;
        direct = std::move(*value);
    }
    auto* app = application(tellTargets_.back().application);
    auto reply = app ? answer(app->perform(stmt.name, direct, deadline_)) : std::nullopt;
    if (!reply)
        return Flow::failed;
    result_ = std::move(*reply);
    return Flow::next;
}

// ---- expressions

ScriptInterpreter::Value ScriptInterpreter::evaluate(const ScriptExpr& expr) {
    if (!charge())
        return std::nullopt;
    switch (expr.kind) {
        case ScriptExpr::Kind::literal:
            if (!charge(expr.value.weight()))
                return std::nullopt;
            return expr.value;
        case ScriptExpr::Kind::list: {
            RuntimeValue::List items;
            for (const auto& operand : expr.operands) {
                auto item = evaluate(*operand);
                if (!item)
                    return std::nullopt;
                items.push_back(std::move(*item));
            }
            return RuntimeValue(std::move(items));
        }
        case ScriptExpr::Kind::variable: {
            auto it = variables_.find(expr.name);
            if (it == variables_.end())
                return error("variable " + expr.name + " is not defined");
            if (!charge(it->second.weight()))
                return std::nullopt;
            return it->second;
        }
        case ScriptExpr::Kind::property:
            return property(expr);
        case ScriptExpr::Kind::element:
            return element(expr);
        case ScriptExpr::Kind::elements:
            return error("every " + expr.name + " can only be counted here");
        case ScriptExpr::Kind::count:
            return count(expr);
        case ScriptExpr::Kind::compare:
            return compare(expr);
        case ScriptExpr::Kind::logicalAnd:
        case ScriptExpr::Kind::logicalOr:
        case ScriptExpr::Kind::logicalNot:
            return logical(expr);
        case ScriptExpr::Kind::coerce:
            return coerce(expr);
        case ScriptExpr::Kind::negate:
            return negate(expr);
    }
    return error("unknown expression");
}

std::optional<ObjectSpecifier> ScriptInterpreter::container(const ScriptExpr* expr) {
    if (!expr) {
        if (tellTargets_.empty()) {
            error("no application to ask");
            return std::nullopt;
        }
        return tellTargets_.back();
    }
    auto value = evaluate(*expr);
    if (!value)
        return std::nullopt;
    if (auto* object = value->get<ObjectSpecifier>())
        return std::move(*object);
    error(std::string("a ") + value->className() + " has no elements or properties");
    return std::nullopt;
}

ScriptableApplication* ScriptInterpreter::application(const std::string& name) {
    auto it = applications_.find(name);
    if (it == applications_.end()) {
        error("no application named \"" + name + "\"");
        return nullptr;
    }
    return it->second.get();
}

ScriptInterpreter::Value ScriptInterpreter::answer(const DictionaryReply& reply) {
    if (reply.status == DictionaryReply::Status::timedOut || deadline_.hasPassed())
        return abort("out of time");
    if (reply.status != DictionaryReply::Status::ok)
        return error(reply.message);
    if (!charge(reply.value.weight()))
        return std::nullopt;
    return reply.value;
}

ScriptInterpreter::Value ScriptInterpreter::property(const ScriptExpr& expr) {
    auto object = container(expr.container.get());
    if (!object)
        return std::nullopt;
    auto* app = application(object->application);
    if (!app)
        return std::nullopt;
    return answer(app->getProperty(*object, expr.name, deadline_));
}

ScriptInterpreter::Value ScriptInterpreter::element(const ScriptExpr& expr) {
    auto parent = container(expr.container.get());
    if (!parent)
        return std::nullopt;
    auto indexValue = evaluate(*expr.index);
    auto index = indexValue ? integerOf(*indexValue) : std::nullopt;
    if (!index)
        return std::nullopt;
    auto* app = application(parent->application);
    if (!app)
        return std::nullopt;
    auto object = parent->child(SpecifierStep::atIndex(expr.name, *index));
    auto resolved = answer(app->resolve(object, deadline_));
    if (!resolved)
        return std::nullopt;
    if (!resolved->get<ObjectSpecifier>())
        return error("the application answered no reference for " + object.describe());
    return resolved;
}

ScriptInterpreter::Value ScriptInterpreter::count(const ScriptExpr& expr) {
    const ScriptExpr& operand = *expr.operands[0];
    if (operand.kind == ScriptExpr::Kind::elements) {
        auto parent = container(operand.container.get());
        if (!parent)
            return std::nullopt;
        auto* app = application(parent->application);
        if (!app)
            return std::nullopt;
        auto counted = answer(app->countElements(*parent, operand.name, deadline_));
        if (!counted)
            return std::nullopt;
        if (!counted->get<std::int64_t>())
            return error("the application counted no number");
        return counted;
    }
    auto value = evaluate(operand);
    if (!value)
        return std::nullopt;
    if (auto* list = value->get<RuntimeValue::List>())
        return RuntimeValue(static_cast<std::int64_t>(list->size()));
    if (auto* text = value->get<std::string>())
        return RuntimeValue(static_cast<std::int64_t>(characterCount(*text)));
    return error(std::string("can't count a ") + value->className());
}

ScriptInterpreter::Value ScriptInterpreter::compare(const ScriptExpr& expr) {
    auto left = evaluate(*expr.operands[0]);
    auto right = left ? evaluate(*expr.operands[1]) : std::nullopt;
    if (!right)
        return std::nullopt;
    if (expr.op == "=" || expr.op == "≠") {
        if (!charge(left->weight() + right->weight()))
            return std::nullopt;
        return RuntimeValue(left->scriptEquals(*right) == (expr.op == "="));
    }
    int order = 0;
    auto* leftText = left->get<std::string>();
    auto* rightText = right->get<std::string>();
    if (leftText && rightText) {
        int c = leftText->compare(*rightText);
        order = c < 0 ? -1 : c > 0 ? 1 : 0;
    } else {
        auto asNumber = [](const RuntimeValue& v) -> std::optional<double> {
            if (auto* i = v.get<std::int64_t>())
                return static_cast<double>(*i);
            if (auto* d = v.get<double>())
                return *d;
            return std::nullopt;
        };
        auto* leftInt = left->get<std::int64_t>();
        auto* rightInt = right->get<std::int64_t>();
        auto a = asNumber(*left);
        auto b = asNumber(*right);
        if (!a || !b)
            return error(std::string("can't compare a ") + left->className() + " with a " +
                         right->className());
        if (leftInt && rightInt)
            order = *leftInt < *rightInt ? -1 : *leftInt > *rightInt ? 1 : 0;
        else
            order = *a < *b ? -1 : *a > *b ? 1 : 0;
    }
    if (expr.op == "<")
        return RuntimeValue(order < 0);
    if (expr.op == ">")
        return RuntimeValue(order > 0);
    if (expr.op == "<=")
        return RuntimeValue(order <= 0);
    return RuntimeValue(order >= 0);
}

ScriptInterpreter::Value ScriptInterpreter::logical(const ScriptExpr& expr) {
    auto left = evaluate(*expr.operands[0]);
    auto a = left ? booleanOf(*left) : std::nullopt;
    if (!a)
        return std::nullopt;
    if (expr.kind == ScriptExpr::Kind::logicalNot)
        return RuntimeValue(!*a);
    // Both operators stop early, so "x is not \"\" and y" never evaluates y when x is empty.
    if (expr.kind == ScriptExpr::Kind::logicalAnd && !*a)
        return RuntimeValue(false);
    if (expr.kind == ScriptExpr::Kind::logicalOr && *a)
        return RuntimeValue(true);
    auto right = evaluate(*expr.operands[1]);
    auto b = right ? booleanOf(*right) : std::nullopt;
    if (!b)
        return std::nullopt;
    return RuntimeValue(*b);
}

ScriptInterpreter::Value ScriptInterpreter::coerce(const ScriptExpr& expr) {
    auto value = evaluate(*expr.operands[0]);
    if (!value)
        return std::nullopt;
    const std::string& type = expr.name;
    if (type == "text" || type == "string") {
        if (value->get<std::string>())
            return std::move(*value);
        if (auto* i = value->get<std::int64_t>())
            return RuntimeValue(std::to_string(*i));
        if (auto* d = value->get<double>())
            return RuntimeValue(textOfReal(*d));
        if (auto* b = value->get<bool>())
            return RuntimeValue(*b ? "true" : "false");
        if (auto* list = value->get<RuntimeValue::List>()) {
            std::string joined;
            for (const auto& item : *list) {
                auto* text = item.get<std::string>();
                if (!text)
                    return error("can't make a list of " + std::string(item.className()) +
                                 " into text");
                joined += *text;
            }
            return RuntimeValue(std::move(joined));
        }
    } else if (type == "integer") {
        if (auto i = integerOf(*value))
            return RuntimeValue(*i);
        return std::nullopt;
    } else if (type == "real" || type == "number") {
        if (value->get<double>() || (type == "number" && value->get<std::int64_t>()))
            return std::move(*value);
        if (auto* i = value->get<std::int64_t>())
            return RuntimeValue(static_cast<double>(*i));
        if (auto* text = value->get<std::string>()) {
            double d = 0;
            auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), d);
            if (ec == std::errc() && end == text->data() + text->size() && std::isfinite(d))
                return RuntimeValue(d);
        }
    } else if (type == "boolean") {
        if (auto b = booleanOf(*value))
            return RuntimeValue(*b);
        return std::nullopt;
    } else if (type == "list") {
        if (value->get<RuntimeValue::List>())
            return std::move(*value);
        return RuntimeValue(RuntimeValue::List{std::move(*value)});
    }
    return error(std::string("can't make a ") + value->className() + " into type " + type);
}

ScriptInterpreter::Value ScriptInterpreter::negate(const ScriptExpr& expr) {
    auto value = evaluate(*expr.operands[0]);
    if (!value)
        return std::nullopt;
    if (auto* i = value->get<std::int64_t>()) {
        if (*i == std::numeric_limits<std::int64_t>::min())
            return RuntimeValue(-static_cast<double>(*i));
        return RuntimeValue(-*i);
    }
    if (auto* d = value->get<double>())
        return RuntimeValue(-*d);
    return error(std::string("can't negate a ") + value->className());
}

std::optional<std::int64_t> ScriptInterpreter::integerOf(const RuntimeValue& value) {
    if (auto* i = value.get<std::int64_t>())
        return *i;
    if (auto* d = value.get<double>()) {
        if (auto rounded = roundedInteger(*d))
            return rounded;
    } else if (auto* text = value.get<std::string>()) {
        std::int64_t i = 0;
        const char* begin = text->data();
        const char* end = begin + text->size();
        if (begin != end && *begin == '+')
            ++begin;
        auto [stop, ec] = std::from_chars(begin, end, i);
        if (ec == std::errc() && stop == end && begin != end)
            return i;
        double d = 0;
        auto [stopReal, ecReal] = std::from_chars(begin, end, d);
        if (ecReal == std::errc() && stopReal == end && begin != end) {
            if (auto rounded = roundedInteger(d))
                return rounded;
        }
    } else if (auto* b = value.get<bool>()) {
        return *b ? 1 : 0;
    }
    error(std::string("can't make a ") + value.className() + " into an integer");
    return std::nullopt;
}

std::optional<bool> ScriptInterpreter::booleanOf(const RuntimeValue& value) {
    if (auto* b = value.get<bool>())
        return *b;
    if (auto* i = value.get<std::int64_t>()) {
        if (*i == 0 || *i == 1)
            return *i == 1;
    }
    if (auto* text = value.get<std::string>()) {
        if (*text == "true" || *text == "false")
            return *text == "true";
    }
    error(std::string("can't make a ") + value.className() + " into a boolean");
    return std::nullopt;
}

}  // namespace vantlo
