#include "scripting/ScriptParser.h"

#include <initializer_list>

#include "scripting/ScriptLexer.h"
#include "scripting/ScriptVocabulary.h"

namespace vantlo {
namespace {

using Kind = ScriptToken::Kind;
using ExprPtr = std::unique_ptr<ScriptExpr>;

class Parser {
  public:
    explicit Parser(std::vector<ScriptToken> tokens) : tokens_(std::move(tokens)) {}

    std::optional<ScriptProgram> run() {
        ScriptProgram program;
        auto statements = block({});
        if (!statements || failed_ || peek().kind != Kind::end)
            return std::nullopt;
        program.statements = std::move(*statements);
        program.applications = std::move(applications_);
        return program;
    }

  private:
    // Depth guard: every nested block or expression holds one while it parses.
    class Nesting {
      public:
        explicit Nesting(Parser& p) : p_(p) {
            if (++p_.depth_ > ScriptParser::kMaxNesting)
                p_.failed_ = true;
        }
        ~Nesting() { --p_.depth_; }
        Nesting(const Nesting&) = delete;
        Nesting& operator=(const Nesting&) = delete;

      private:
        Parser& p_;
    };

    const ScriptToken& peek(std::size_t ahead = 0) const {
        std::size_t at = pos_ + ahead;
        return at < tokens_.size() ? tokens_[at] : tokens_.back();
    }
    const ScriptToken& take() {
        const ScriptToken& token = peek();
        if (pos_ < tokens_.size() - 1)
            ++pos_;
        return token;
    }
    bool acceptWord(const char* word) {
        if (!peek().isWord(word))
            return false;
        take();
        return true;
    }
    bool acceptSymbol(const char* symbol) {
        if (!peek().isSymbol(symbol))
            return false;
        take();
        return true;
    }
    bool expectWord(const char* word) {
        if (acceptWord(word))
            return true;
        failed_ = true;
        return false;
    }
    bool atLineEnd() const { return peek().kind == Kind::lineEnd || peek().kind == Kind::end; }
    bool expectLineEnd() {
        if (peek().kind == Kind::lineEnd) {
            take();
            return true;
        }
        failed_ = peek().kind != Kind::end;
        return !failed_;
    }
    void skipLineEnds() {
        while (peek().kind == Kind::lineEnd)
            take();
    }
    bool atAnyWord(std::initializer_list<const char*> words) const {
        for (const char* w : words) {
            if (peek().isWord(w))
                return true;
        }
        return false;
    }

    // Statements up to (not including) "end", one of `stops`, or the end of the text.
    std::optional<std::vector<ScriptStmt>> block(std::initializer_list<const char*> stops) {
        Nesting nesting(*this);
        std::vector<ScriptStmt> statements;
        while (!failed_) {
            skipLineEnds();
            if (peek().kind == Kind::end || peek().isWord("end") || atAnyWord(stops))
                return statements;
            auto stmt = statement();
            if (!stmt || !expectLineEnd())
                return std::nullopt;
            statements.push_back(std::move(*stmt));
        }
        return std::nullopt;
    }

    bool closeBlock(const char* word) {
        if (!expectWord("end"))
            return false;
        acceptWord(word);  // "end tell" and plain "end" are both accepted
        return true;
    }

    std::optional<ScriptStmt> statement() {
        Nesting nesting(*this);
        if (failed_)
            return std::nullopt;
        ScriptStmt stmt;
        stmt.line = peek().line;
        bool ok = false;
        if (acceptWord("tell"))
            ok = tell(stmt);
        else if (acceptWord("set"))
            ok = set(stmt);
        else if (acceptWord("repeat"))
            ok = repeat(stmt);
        else if (acceptWord("if"))
            ok = ifStatement(stmt);
        else if (acceptWord("try"))
            ok = tryBlock(stmt);
        else if (acceptWord("return"))
            ok = returnStatement(stmt);
        else if (atAnyWord({"activate", "pause", "close"}))
            ok = command(stmt);
        else
            ok = expressionStatement(stmt);
        if (!ok || failed_) {
            failed_ = true;
            return std::nullopt;
        }
        return stmt;
    }

    bool tell(ScriptStmt& stmt) {
        if (!expectWord("application") || peek().kind != Kind::text)
            return false;
        stmt.kind = ScriptStmt::Kind::tell;
        stmt.name = take().text;
        applications_.insert(stmt.name);
        if (acceptWord("to")) {
            auto inner = statement();
            if (!inner)
                return false;
            stmt.body.push_back(std::move(*inner));
            return true;
        }
        if (!expectLineEnd())
            return false;
        auto body = block({});
        if (!body)
            return false;
        stmt.body = std::move(*body);
        return closeBlock("tell");
    }

    bool set(ScriptStmt& stmt) {
        if (peek().isWord("end") && peek(1).isWord("of")) {
            take();
            take();
            if (peek().kind != Kind::word || ScriptVocabulary::isKeyword(peek().text))
                return false;
            stmt.kind = ScriptStmt::Kind::setEnd;
            stmt.name = take().text;
        } else {
            auto target = reference();
            if (!target)
                return false;
            if (target->kind == ScriptExpr::Kind::variable) {
                stmt.kind = ScriptStmt::Kind::set;
                stmt.name = target->name;
            } else if (target->kind == ScriptExpr::Kind::property) {
                stmt.kind = ScriptStmt::Kind::set;
                stmt.target = std::move(target);
            } else {
                return false;
            }
        }
        if (!expectWord("to"))
            return false;
        stmt.value = expression();
        return stmt.value != nullptr;
    }

    bool repeat(ScriptStmt& stmt) {
        if (!expectWord("with") || peek().kind != Kind::word ||
            ScriptVocabulary::isKeyword(peek().text))
            return false;
        stmt.kind = ScriptStmt::Kind::repeatWith;
        stmt.name = take().text;
        if (!expectWord("from") || !(stmt.value = expression()) || !expectWord("to") ||
            !(stmt.limit = expression()) || !expectLineEnd())
            return false;
        auto body = block({});
        if (!body)
            return false;
        stmt.body = std::move(*body);
        return closeBlock("repeat");
    }

    bool ifStatement(ScriptStmt& stmt) {
        bool blockForm = false;
        return ifChain(stmt, blockForm) && (!blockForm || closeBlock("if"));
    }

    // "if" condition "then" …, up to but not including the "end" that closes the whole chain.
    bool ifChain(ScriptStmt& stmt, bool& blockForm) {
        stmt.kind = ScriptStmt::Kind::ifThen;
        if (!(stmt.value = expression()) || !expectWord("then"))
            return false;
        if (!atLineEnd()) {
            // The one-line form: "if x then return true".
            auto inner = statement();
            if (!inner)
                return false;
            stmt.body.push_back(std::move(*inner));
            return true;
        }
        blockForm = true;
        take();
        auto body = block({"else"});
        if (!body)
            return false;
        stmt.body = std::move(*body);
        if (!acceptWord("else"))
            return true;
        if (acceptWord("if")) {
            ScriptStmt nested;
            nested.line = peek().line;
            bool nestedBlockForm = false;
            if (!ifChain(nested, nestedBlockForm) || !nestedBlockForm)
                return false;
            stmt.otherwise.push_back(std::move(nested));
            return true;
        }
        if (!expectLineEnd())
            return false;
        auto otherwise = block({});
        if (!otherwise)
            return false;
        stmt.otherwise = std::move(*otherwise);
        return true;
    }

    bool tryBlock(ScriptStmt& stmt) {
        stmt.kind = ScriptStmt::Kind::tryBlock;
        if (!expectLineEnd())
            return false;
        auto body = block({"on"});
        if (!body)
            return false;
        stmt.body = std::move(*body);
        if (acceptWord("on")) {
            if (!expectWord("error"))
                return false;
            if (peek().kind == Kind::word && !ScriptVocabulary::isKeyword(peek().text))
                stmt.name = take().text;
            if (!expectLineEnd())
                return false;
            auto handler = block({});
            if (!handler)
                return false;
            stmt.otherwise = std::move(*handler);
        }
        return closeBlock("try");
    }

    bool returnStatement(ScriptStmt& stmt) {
        stmt.kind = ScriptStmt::Kind::returnValue;
        if (atLineEnd())
            return true;
        stmt.value = expression();
        return stmt.value != nullptr;
    }

    bool command(ScriptStmt& stmt) {
        stmt.kind = ScriptStmt::Kind::command;
        stmt.name = take().text;
        if (atLineEnd())
            return true;
        stmt.value = expression();
        return stmt.value != nullptr;
    }

    bool expressionStatement(ScriptStmt& stmt) {
        stmt.kind = ScriptStmt::Kind::expression;
        stmt.value = expression();
        return stmt.value != nullptr;
    }

    ExprPtr make(ScriptExpr::Kind kind, int line) {
        auto expr = std::make_unique<ScriptExpr>();
        expr->kind = kind;
        expr->line = line;
        return expr;
    }

    ExprPtr fail() {
        failed_ = true;
        return nullptr;
    }

    ExprPtr expression() {
        Nesting nesting(*this);
        if (failed_)
            return nullptr;
        return logical(ScriptExpr::Kind::logicalOr, "or");
    }

    ExprPtr logical(ScriptExpr::Kind kind, const char* word) {
        ExprPtr left = kind == ScriptExpr::Kind::logicalOr
                           ? logical(ScriptExpr::Kind::logicalAnd, "and")
                           : negation();
        while (left && peek().isWord(word)) {
            int line = take().line;
            ExprPtr right = kind == ScriptExpr::Kind::logicalOr
                                ? logical(ScriptExpr::Kind::logicalAnd, "and")
                                : negation();
            if (!right)
                return nullptr;
            auto node = make(kind, line);
            node->operands.push_back(std::move(left));
            node->operands.push_back(std::move(right));
            left = std::move(node);
        }
        return left;
    }

    ExprPtr negation() {
        if (!peek().isWord("not"))
            return comparison();
        Nesting nesting(*this);
        int line = take().line;
        auto operand = failed_ ? nullptr : negation();
        if (!operand)
            return fail();
        auto node = make(ScriptExpr::Kind::logicalNot, line);
        node->operands.push_back(std::move(operand));
        return node;
    }

    std::optional<std::string> comparisonOperator() {
        if (acceptWord("is"))
            return acceptWord("not") ? "≠" : "=";
        for (const char* symbol : {"=", "≠", "<", ">", "<=", ">="}) {
            if (acceptSymbol(symbol))
                return symbol;
        }
        return std::nullopt;
    }

    ExprPtr comparison() {
        ExprPtr left = coercion();
        if (!left)
            return nullptr;
        int line = peek().line;
        auto op = comparisonOperator();
        if (!op)
            return left;
        ExprPtr right = coercion();
        if (!right)
            return fail();
        auto node = make(ScriptExpr::Kind::compare, line);
        node->op = *op;
        node->operands.push_back(std::move(left));
        node->operands.push_back(std::move(right));
        return node;
    }

    ExprPtr coercion() {
        ExprPtr operand = unary();
        while (operand && peek().isWord("as")) {
            int line = take().line;
            if (peek().kind != Kind::word)
                return fail();
            auto node = make(ScriptExpr::Kind::coerce, line);
            node->name = take().text;
            node->operands.push_back(std::move(operand));
            operand = std::move(node);
        }
        return operand;
    }

    ExprPtr unary() {
        if (!peek().isSymbol("-"))
            return reference();
        Nesting nesting(*this);
        int line = take().line;
        auto operand = failed_ ? nullptr : unary();
        if (!operand)
            return fail();
        auto node = make(ScriptExpr::Kind::negate, line);
        node->operands.push_back(std::move(operand));
        return node;
    }

    // A term, and when it names something inside an object, "of" and that object.
    ExprPtr reference() {
        Nesting nesting(*this);
        ExprPtr term = failed_ ? nullptr : this->term();
        if (!term || !peek().isWord("of"))
            return term;
        bool takesContainer = term->kind == ScriptExpr::Kind::property ||
                              term->kind == ScriptExpr::Kind::element ||
                              term->kind == ScriptExpr::Kind::elements;
        if (!takesContainer || term->container)
            return fail();
        take();
        term->container = reference();
        if (!term->container)
            return fail();
        return term;
    }

    std::optional<std::string> propertyAhead() {
        for (const auto& property : ScriptVocabulary::properties()) {
            bool matches = true;
            for (std::size_t i = 0; i < property.words.size() && matches; ++i)
                matches = peek(i).kind == Kind::word && peek(i).text == property.words[i];
            if (matches) {
                pos_ += property.words.size();
                return property.canonical;
            }
        }
        return std::nullopt;
    }

    ExprPtr term() {
        const ScriptToken& token = peek();
        int line = token.line;
        switch (token.kind) {
            case Kind::integer:
                return literal(RuntimeValue(take().integer), line);
            case Kind::real:
                return literal(RuntimeValue(take().real), line);
            case Kind::text:
                return literal(RuntimeValue(take().text), line);
            case Kind::symbol:
                if (acceptSymbol("{"))
                    return list(line);
                if (acceptSymbol("(")) {
                    auto inner = expression();
                    if (!inner || !acceptSymbol(")"))
                        return fail();
                    return inner;
                }
                return fail();
            case Kind::word:
                return wordTerm(line);
            default:
                return fail();
        }
    }

    ExprPtr literal(RuntimeValue value, int line) {
        auto node = make(ScriptExpr::Kind::literal, line);
        node->value = std::move(value);
        return node;
    }

    ExprPtr list(int line) {
        auto node = make(ScriptExpr::Kind::list, line);
        if (acceptSymbol("}"))
            return node;
        do {
            auto item = expression();
            if (!item)
                return fail();
            node->operands.push_back(std::move(item));
        } while (acceptSymbol(","));
        if (!acceptSymbol("}"))
            return fail();
        return node;
    }

    ExprPtr wordTerm(int line) {
        if (acceptWord("true"))
            return literal(RuntimeValue(true), line);
        if (acceptWord("false"))
            return literal(RuntimeValue(false), line);
        if (peek().isWord("missing") && peek(1).isWord("value")) {
            pos_ += 2;
            return literal(RuntimeValue(), line);
        }
        if (acceptWord("count")) {
            acceptWord("of");
            auto operand = reference();
            if (!operand)
                return fail();
            auto node = make(ScriptExpr::Kind::count, line);
            node->operands.push_back(std::move(operand));
            return node;
        }
        if (auto property = propertyAhead()) {
            auto node = make(ScriptExpr::Kind::property, line);
            node->name = *property;
            return node;
        }
        for (const auto& elementClass : ScriptVocabulary::elementClasses) {
            if (acceptWord(elementClass.plural)) {
                auto node = make(ScriptExpr::Kind::elements, line);
                node->name = elementClass.singular;
                return node;
            }
            if (acceptWord(elementClass.singular)) {
                auto node = make(ScriptExpr::Kind::element, line);
                node->name = elementClass.singular;
                node->index = elementIndex();
                return node->index ? std::move(node) : fail();
            }
        }
        if (ScriptVocabulary::isKeyword(peek().text))
            return fail();
        auto node = make(ScriptExpr::Kind::variable, line);
        node->name = take().text;
        return node;
    }

    // The index after an element class: a plain term ("window 2", "tab tIndex"), never
    // swallowing the "of" that follows it.
    ExprPtr elementIndex() {
        Nesting nesting(*this);
        if (failed_)
            return nullptr;
        if (peek().isSymbol("-")) {
            int line = take().line;
            auto operand = elementIndex();
            if (!operand)
                return fail();
            auto node = make(ScriptExpr::Kind::negate, line);
            node->operands.push_back(std::move(operand));
            return node;
        }
        return term();
    }

    std::vector<ScriptToken> tokens_;
    std::size_t pos_ = 0;
    int depth_ = 0;
    bool failed_ = false;
    std::set<std::string> applications_;
};

}  // namespace

std::optional<ScriptProgram> ScriptParser::parse(std::string_view source) {
    auto tokens = ScriptLexer::tokenize(source);
    if (!tokens)
        return std::nullopt;
    return Parser(std::move(*tokens)).run();
}

}  // namespace vantlo
