#include "scripting/ScriptLexer.h"

#include <cctype>
#include <charconv>

namespace vantlo {
namespace {

constexpr std::string_view kContinuation = "\xC2\xAC";      // ¬
constexpr std::string_view kNotEqual = "\xE2\x89\xA0";      // ≠
constexpr std::string_view kLessEqual = "\xE2\x89\xA4";     // ≤
constexpr std::string_view kGreaterEqual = "\xE2\x89\xA5";  // ≥

bool isWordStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}

bool isWordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

class Lexer {
  public:
    explicit Lexer(std::string_view source) : src_(source) {}

    std::optional<std::vector<ScriptToken>> run() {
        while (pos_ < src_.size()) {
            if (tokens_.size() > ScriptLexer::kMaxTokens || !next())
                return std::nullopt;
        }
        push(ScriptToken::Kind::lineEnd);
        push(ScriptToken::Kind::end);
        return std::move(tokens_);
    }

  private:
    bool next() {
        char c = src_[pos_];
        if (c == ' ' || c == '\t') {
            ++pos_;
            return true;
        }
        if (c == '\n' || c == '\r') {
            lineBreak();
            return true;
        }
        if (rest().starts_with(kContinuation))
            return continuation();
        if (rest().starts_with("--") || c == '#') {
            skipToLineEnd();
            return true;
        }
        if (rest().starts_with("(*"))
            return blockComment();
        if (c == '"')
            return text();
        if (isDigit(c))
            return number();
        if (isWordStart(c))
            return word();
        return symbol();
    }

    std::string_view rest() const { return src_.substr(pos_); }

    void push(ScriptToken::Kind kind, std::string text = {}) {
        ScriptToken token;
        token.kind = kind;
        token.text = std::move(text);
        token.line = line_;
        tokens_.push_back(std::move(token));
    }

    void lineBreak() {
        if (src_[pos_] == '\r' && pos_ + 1 < src_.size() && src_[pos_ + 1] == '\n')
            ++pos_;
        ++pos_;
        if (tokens_.empty() || tokens_.back().kind != ScriptToken::Kind::lineEnd)
            push(ScriptToken::Kind::lineEnd);
        ++line_;
    }

    // "¬" joins the next line to this one: skip it, blanks and the line break.
    bool continuation() {
        pos_ += kContinuation.size();
        while (pos_ < src_.size() && (src_[pos_] == ' ' || src_[pos_] == '\t'))
            ++pos_;
        if (pos_ < src_.size() && src_[pos_] == '\r')
            ++pos_;
        if (pos_ < src_.size() && src_[pos_] == '\n')
            ++pos_;
        ++line_;
        return true;
    }

    void skipToLineEnd() {
        while (pos_ < src_.size() && src_[pos_] != '\n' && src_[pos_] != '\r')
            ++pos_;
    }

    bool blockComment() {
        int depth = 0;
        while (pos_ < src_.size()) {
            if (rest().starts_with("(*")) {
                ++depth;
                pos_ += 2;
            } else if (rest().starts_with("*)")) {
                pos_ += 2;
                if (--depth == 0)
                    return true;
            } else {
                if (src_[pos_] == '\n')
                    ++line_;
                ++pos_;
            }
        }
        return false;
    }

    bool text() {
        ++pos_;
        std::string value;
        while (pos_ < src_.size()) {
            char c = src_[pos_++];
            if (c == '"') {
                push(ScriptToken::Kind::text, std::move(value));
                return true;
            }
            if (c == '\n')
                ++line_;
            if (c != '\\') {
                value += c;
                continue;
            }
            if (pos_ >= src_.size())
                return false;
            switch (src_[pos_++]) {
                case '"':
                    value += '"';
                    break;
                case '\\':
                    value += '\\';
                    break;
                case 'n':
                    value += '\n';
                    break;
                case 'r':
                    value += '\r';
                    break;
                case 't':
                    value += '\t';
                    break;
                default:
                    return false;
            }
        }
        return false;
    }

    bool number() {
        std::size_t start = pos_;
        while (pos_ < src_.size() && isDigit(src_[pos_]))
            ++pos_;
        bool isReal = false;
        if (pos_ + 1 < src_.size() && src_[pos_] == '.' && isDigit(src_[pos_ + 1])) {
            isReal = true;
            ++pos_;
            while (pos_ < src_.size() && isDigit(src_[pos_]))
                ++pos_;
        }
        if (pos_ < src_.size() && isWordChar(src_[pos_]))
            return false;  // "3rd", "1x": not a number of this dialect
        std::string_view digits = src_.substr(start, pos_ - start);
        ScriptToken token;
        token.line = line_;
        if (!isReal) {
            auto [end, error] =
                std::from_chars(digits.data(), digits.data() + digits.size(), token.integer);
            if (error == std::errc() && end == digits.data() + digits.size()) {
                token.kind = ScriptToken::Kind::integer;
                tokens_.push_back(std::move(token));
                return true;
            }
        }
        // Too large for an integer, or written with a fraction: a real.
        auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), token.real);
        if (error != std::errc() || end != digits.data() + digits.size())
            return false;
        token.kind = ScriptToken::Kind::real;
        tokens_.push_back(std::move(token));
        return true;
    }

    bool word() {
        std::size_t start = pos_;
        while (pos_ < src_.size() && isWordChar(src_[pos_]))
            ++pos_;
        std::string lower(src_.substr(start, pos_ - start));
        for (char& c : lower)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        push(ScriptToken::Kind::word, std::move(lower));
        return true;
    }

    bool symbol() {
        for (std::string_view two : {"<=", ">=", "<>"}) {
            if (rest().starts_with(two)) {
                push(ScriptToken::Kind::symbol,
                     two == "<>" ? std::string(kNotEqual) : std::string(two));
                pos_ += two.size();
                return true;
            }
        }
        for (auto [utf8, ascii] :
             {std::pair{kNotEqual, kNotEqual}, {kLessEqual, "<="}, {kGreaterEqual, ">="}}) {
            if (rest().starts_with(utf8)) {
                push(ScriptToken::Kind::symbol, std::string(ascii));
                pos_ += utf8.size();
                return true;
            }
        }
        char c = src_[pos_];
        if (std::string_view("{}(),=<>-").find(c) == std::string_view::npos)
            return false;
        ++pos_;
        push(ScriptToken::Kind::symbol, std::string(1, c));
        return true;
    }

    std::string_view src_;
    std::size_t pos_ = 0;
    int line_ = 1;
    std::vector<ScriptToken> tokens_;
};

}  // namespace

std::optional<std::vector<ScriptToken>> ScriptLexer::tokenize(std::string_view source) {
    if (source.size() > kMaxSourceBytes)
        return std::nullopt;
    return Lexer(source).run();
}

}  // namespace vantlo
