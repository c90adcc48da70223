#include "platform/ado/JetSql.h"

#include "platform/ado/SqlValue.h"
#include "platform/basic/DateTime.h"

#include <cctype>
#include <mutex>
#include <vector>

namespace ado {

namespace {

enum class TokenKind {
    Space,
    Word,        // keyword or bare identifier
    Number,
    Text,        // '...'
    Identifier,  // "...", `...`, [...]
    DateLiteral, // #...#
    Symbol,      // operators, parentheses, commas, ?
};

struct Token {
    TokenKind kind;
    std::string text;
};

bool isWordChar(char ch)
{
    const auto u = static_cast<unsigned char>(ch);
    return std::isalnum(u) || ch == '_' || ch == '$' || u >= 0x80;
}

// Text from `open` to the matching `close`, a doubled close standing for
// itself; an unterminated one runs to the end (SQLite then refuses it).
size_t scanQuoted(std::string_view sql, size_t start, char close, bool doubledEscapes)
{
    size_t i = start + 1;
    while (i < sql.size()) {
        if (sql[i] == close) {
            if (doubledEscapes && i + 1 < sql.size() && sql[i + 1] == close) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return sql.size();
}

std::vector<Token> tokenize(std::string_view sql)
{
    std::vector<Token> tokens;
    size_t i = 0;
    while (i < sql.size()) {
        const char ch = sql[i];
        size_t end = i + 1;
        TokenKind kind = TokenKind::Symbol;
        if (std::isspace(static_cast<unsigned char>(ch))) {
            while (end < sql.size() && std::isspace(static_cast<unsigned char>(sql[end])))
                ++end;
            kind = TokenKind::Space;
        } else if (ch == '\'') {
            end = scanQuoted(sql, i, '\'', true);
            kind = TokenKind::Text;
        } else if (ch == '"') {
            end = scanQuoted(sql, i, '"', true);
            kind = TokenKind::Identifier;
        } else if (ch == '`') {
            end = scanQuoted(sql, i, '`', true);
            kind = TokenKind::Identifier;
        } else if (ch == '[') {
            end = scanQuoted(sql, i, ']', false);
            kind = TokenKind::Identifier;
        } else if (ch == '#') {
            end = scanQuoted(sql, i, '#', false);
            kind = TokenKind::DateLiteral;
        } else if (std::isdigit(static_cast<unsigned char>(ch))
                   || (ch == '.' && i + 1 < sql.size() && std::isdigit(static_cast<unsigned char>(sql[i + 1])))) {
            while (end < sql.size()
                   && (std::isalnum(static_cast<unsigned char>(sql[end])) || sql[end] == '.'
                       || ((sql[end] == '+' || sql[end] == '-') && (sql[end - 1] == 'e' || sql[end - 1] == 'E'))))
                ++end;
            kind = TokenKind::Number;
        } else if (isWordChar(ch)) {
            while (end < sql.size() && isWordChar(sql[end]))
                ++end;
            kind = TokenKind::Word;
        } else if (i + 1 < sql.size()) {
            const std::string_view two = sql.substr(i, 2);
            if (two == "<=" || two == ">=" || two == "<>" || two == "!=" || two == "||" || two == "==")
                end = i + 2;
        }
        tokens.push_back({kind, std::string(sql.substr(i, end - i))});
        i = end;
    }
    return tokens;
}

bool isWord(const Token& t, std::string_view word)
{
    if (t.kind != TokenKind::Word || t.text.size() != word.size())
        return false;
    for (size_t i = 0; i < word.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(t.text[i])) != word[i])
            return false;
    }
    return true;
}

// The contents of a quoted identifier, without its quotes.
std::string identifierName(const Token& t)
{
    if (t.kind == TokenKind::Word)
        return t.text;
    std::string inner = t.text.substr(1, t.text.size() >= 2 ? t.text.size() - 2 : 0);
    if (t.text.front() == '[')
        return inner;
    const char q = t.text.front();
    std::string name;
    for (size_t i = 0; i < inner.size(); ++i) {
        name += inner[i];
        if (inner[i] == q && i + 1 < inner.size() && inner[i + 1] == q)
            ++i;
    }
    return name;
}

// Jet's date literal: y-m-d or m/d/y, optionally with a time.
bool jetDate(std::string_view inner, vb::Date& out)
{
    if (inner.empty())
        return false;
    return vb::TryParseDate(inner, out);
}

// Words that end the upper bound of a BETWEEN.
bool endsBetweenBound(const Token& t)
{
    static constexpr std::string_view kEnders[] = {
        "AND", "OR", "ORDER", "GROUP", "HAVING", "LIMIT", "UNION", "EXCEPT", "INTERSECT",
        "WHEN", "THEN", "ELSE", "END", "WINDOW", "AS", "FROM", "WHERE", "ASC", "DESC",
    };
    for (auto w : kEnders) {
        if (isWord(t, w))
            return true;
    }
    return false;
}

std::string join(const std::vector<Token>& tokens, size_t from, size_t to)
{
    std::string out;
    for (size_t i = from; i < to; ++i)
        out += tokens[i].text;
    return out;
}

std::string trimmed(std::string s)
{
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    const auto last = s.find_last_not_of(" \t\r\n");
    return s.substr(first, last - first + 1);
}

// Rewrites every BETWEEN from token `start` on; returns the text.
std::string rewriteBetween(const std::vector<Token>& tokens)
{
    std::string out;
    size_t i = 0;
    while (i < tokens.size()) {
        if (!isWord(tokens[i], "BETWEEN")) {
            out += tokens[i].text;
            ++i;
            continue;
        }
        // Lower bound: up to the AND at this nesting level.
        size_t j = i + 1;
        int depth = 0;
        while (j < tokens.size() && !(depth == 0 && isWord(tokens[j], "AND"))) {
            if (tokens[j].text == "(")
                ++depth;
            else if (tokens[j].text == ")")
                --depth;
            if (depth < 0)
                break;
            ++j;
        }
        if (j >= tokens.size() || depth != 0) {
            // Not a BETWEEN ... AND ...: leave it to SQLite.
            out += tokens[i].text;
            ++i;
            continue;
        }
        const size_t andPos = j;
        // Upper bound: up to a word or symbol that cannot continue an expression.
        size_t k = andPos + 1;
        depth = 0;
        while (k < tokens.size()) {
            const Token& t = tokens[k];
            if (t.text == "(") {
                ++depth;
            } else if (t.text == ")") {
                if (depth == 0)
                    break;
                --depth;
            } else if (depth == 0 && (t.text == "," || t.text == ";" || endsBetweenBound(t))) {
                break;
            }
            ++k;
        }
        // Keep the blanks before the next clause outside the max(...).
        size_t upperEnd = k;
        while (upperEnd > andPos + 1 && tokens[upperEnd - 1].kind == TokenKind::Space)
            --upperEnd;
        const std::string lower = trimmed(join(tokens, i + 1, andPos));
        const std::string upper = trimmed(join(tokens, andPos + 1, upperEnd));
        if (lower.empty() || upper.empty()) {
            out += tokens[i].text;
            ++i;
            continue;
        }
        out += tokens[i].text + " min(" + lower + ", " + upper + ") " + tokens[andPos].text + " max(" + lower
            + ", " + upper + ")";
        i = upperEnd;
    }
    return out;
}

std::mutex& handlerMutex()
{
    static std::mutex m;
    return m;
}

std::shared_ptr<CommandTextHandler>& installedHandler()
{
    static std::shared_ptr<CommandTextHandler> handler;
    return handler;
}

} // namespace

std::string SqlQuote(std::string_view text)
{
    std::string out = "'";
    for (const char ch : text) {
        out += ch;
        if (ch == '\'')
            out += '\'';
    }
    out += '\'';
    return out;
}

namespace jet {

std::string QuoteIdentifier(std::string_view name)
{
    std::string out = "\"";
    for (const char ch : name) {
        out += ch;
        if (ch == '"')
            out += '"';
    }
    out += '"';
    return out;
}

std::optional<std::string> BareTableName(std::string_view commandText)
{
    std::vector<Token> tokens = tokenize(commandText);
    const Token* only = nullptr;
    for (const auto& t : tokens) {
        if (t.kind == TokenKind::Space)
            continue;
        if (only)
            return std::nullopt;
        only = &t;
    }
    if (!only || (only->kind != TokenKind::Word && only->kind != TokenKind::Identifier))
        return std::nullopt;
    if (only->kind == TokenKind::Word && std::isdigit(static_cast<unsigned char>(only->text.front())))
        return std::nullopt;
    std::string name = identifierName(*only);
    if (name.empty())
        return std::nullopt;
    return name;
}

std::string RewriteSql(std::string_view jetSql)
{
    std::vector<Token> tokens = tokenize(jetSql);
    for (auto& t : tokens) {
        if (t.kind == TokenKind::DateLiteral && t.text.size() >= 2 && t.text.back() == '#') {
            vb::Date d;
            if (jetDate(std::string_view(t.text).substr(1, t.text.size() - 2), d)) {
                t.text = "'" + DateTimeText(d) + "'";
                t.kind = TokenKind::Text;
            }
        } else if (t.kind == TokenKind::Identifier && t.text.front() == '`') {
            t.text = QuoteIdentifier(identifierName(t));
        }
    }
    return rewriteBetween(tokens);
}

} // namespace jet

void SetCommandTextHandler(std::shared_ptr<CommandTextHandler> handler)
{
    std::lock_guard lock(handlerMutex());
    installedHandler() = std::move(handler);
}

std::shared_ptr<CommandTextHandler> HandlerFor(std::string_view commandText)
{
    std::shared_ptr<CommandTextHandler> handler;
    {
        std::lock_guard lock(handlerMutex());
        handler = installedHandler();
    }
    if (handler && handler->Claims(commandText))
        return handler;
    return nullptr;
}

} // namespace ado
