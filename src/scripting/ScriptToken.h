#pragma once
// One token of the script dialect: a word, a text literal, a number, a symbol or a line end.

#include <cstdint>
#include <string>

namespace vantlo {

struct ScriptToken {
    enum class Kind { word, text, integer, real, symbol, lineEnd, end };

    Kind kind = Kind::end;
    // word: the word in lower case (the dialect ignores case); text: the decoded literal;
    // symbol: the symbol ("{", "<=", "≠", ...).
    std::string text;
    std::int64_t integer = 0;
    double real = 0;
    int line = 1;

    bool isWord(const char* w) const { return kind == Kind::word && text == w; }
    bool isSymbol(const char* s) const { return kind == Kind::symbol && text == s; }
};

}  // namespace vantlo
