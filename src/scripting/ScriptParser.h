#pragma once
// Parses the script dialect the browser and media scripts are written in: tell blocks and the
// one-line tell form, set (also "set end of"), repeat with … from … to, if/else, try, return,
// lists, count, element references, properties, coercions, comparisons, and/or/not and the
// commands activate, close and pause.

#include <optional>
#include <string_view>

#include "scripting/ScriptSyntax.h"

namespace vantlo {

class ScriptParser {
  public:
    // How deeply blocks and expressions may nest before the script is refused.
    static constexpr int kMaxNesting = 64;

    // The program, or nothing when the text is not a script of this dialect.
    static std::optional<ScriptProgram> parse(std::string_view source);
};

}  // namespace vantlo
