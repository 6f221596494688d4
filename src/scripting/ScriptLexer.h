#pragma once
// Splits script source into tokens. Text literals may span lines and know the escapes \" \\ \n
// \r \t; comments ("--", "#" to the line end, "(* … *)" nested) and line continuations ("¬")
// are dropped.

#include <optional>
#include <string_view>
#include <vector>

#include "scripting/ScriptToken.h"

namespace vantlo {

class ScriptLexer {
  public:
    static constexpr std::size_t kMaxSourceBytes = 1 << 20;
    static constexpr std::size_t kMaxTokens = 200'000;

    // The tokens, ending with one `end` token; nothing when the source is malformed or too big.
    static std::optional<std::vector<ScriptToken>> tokenize(std::string_view source);
};

}  // namespace vantlo
