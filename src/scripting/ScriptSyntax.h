#pragma once
// The parsed form of a script: statements holding expressions, as the parser builds them and the
// interpreter walks them.

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "scripting/RuntimeValue.h"

namespace vantlo {

struct ScriptExpr {
    enum class Kind {
        literal,     // value
        list,        // operands: the items
        variable,    // name
        property,    // name of container (container null: of the tell target)
        element,     // name (element class) index of container
        elements,    // name (element class, plural) of container
        count,       // operands[0]
        compare,     // operands[0] op operands[1]
        logicalAnd,  // operands[0], operands[1]
        logicalOr,   // operands[0], operands[1]
        logicalNot,  // operands[0]
        coerce,      // operands[0] as name
        negate,      // operands[0]
    };

    Kind kind = Kind::literal;
    int line = 0;
    RuntimeValue value;
    std::string name;
    std::string op;  // "=", "≠", "<", ">", "<=", ">="
    std::vector<std::unique_ptr<ScriptExpr>> operands;
    std::unique_ptr<ScriptExpr> index;
    std::unique_ptr<ScriptExpr> container;
};

struct ScriptStmt {
    enum class Kind {
        tell,         // name: application; body
        set,          // variable `name`, or the property `target`, to `value`
        setEnd,       // append `value` to the list in variable `name`
        repeatWith,   // variable `name` from `value` to `limit`; body
        ifThen,       // `value` then body else otherwise
        tryBlock,     // body; on error: otherwise
        returnValue,  // `value` (may be null)
        command,  // name ("activate", "close", "pause") with direct parameter `value` (may be null)
        expression,  // `value`
    };

    Kind kind = Kind::expression;
    int line = 0;
    std::string name;
    std::unique_ptr<ScriptExpr> target;
    std::unique_ptr<ScriptExpr> value;
    std::unique_ptr<ScriptExpr> limit;
    std::vector<ScriptStmt> body;
    std::vector<ScriptStmt> otherwise;
};

struct ScriptProgram {
    std::vector<ScriptStmt> statements;
    // Every application named in a tell statement.
    std::set<std::string> applications;
};

}  // namespace vantlo
