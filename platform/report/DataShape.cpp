#include "platform/report/DataShape.h"

#include "platform/ado/Connection.h"
#include "platform/basic/Strings.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <unordered_map>

namespace report {

namespace {

class Scanner {
public:
    explicit Scanner(std::string_view text) : s_(text) {}

    void skipBlanks()
    {
        while (pos_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[pos_])))
            ++pos_;
    }
    bool atEnd()
    {
        skipBlanks();
        return pos_ >= s_.size();
    }
    // The keyword as a whole word, without case.
    bool keyword(std::string_view word)
    {
        skipBlanks();
        if (s_.size() - pos_ < word.size())
            return false;
        for (size_t i = 0; i < word.size(); ++i)
            if (std::toupper(static_cast<unsigned char>(s_[pos_ + i])) != word[i])
                return false;
        const size_t end = pos_ + word.size();
        if (end < s_.size() && isNameChar(s_[end]))
            return false;
        pos_ = end;
        return true;
    }
    bool symbol(char c)
    {
        skipBlanks();
        if (pos_ < s_.size() && s_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    // A name: letters, digits and underscores, or one in brackets or back quotes.
    std::optional<std::string> name()
    {
        skipBlanks();
        if (pos_ >= s_.size())
            return std::nullopt;
        if (s_[pos_] == '[' || s_[pos_] == '`') {
            const char close = s_[pos_] == '[' ? ']' : '`';
            const size_t end = s_.find(close, pos_ + 1);
            if (end == std::string_view::npos || end == pos_ + 1)
                return std::nullopt;
            std::string n(s_.substr(pos_ + 1, end - pos_ - 1));
            pos_ = end + 1;
            return n;
        }
        const size_t start = pos_;
        while (pos_ < s_.size() && isNameChar(s_[pos_]))
            ++pos_;
        if (pos_ == start)
            return std::nullopt;
        return std::string(s_.substr(start, pos_ - start));
    }
    // 'text' with '' for a quote.
    std::optional<std::string> quoted()
    {
        skipBlanks();
        if (pos_ >= s_.size() || s_[pos_] != '\'')
            return std::nullopt;
        std::string out;
        for (size_t i = pos_ + 1; i < s_.size(); ++i) {
            if (s_[i] == '\'') {
                if (i + 1 < s_.size() && s_[i + 1] == '\'') {
                    out += '\'';
                    ++i;
                    continue;
                }
                pos_ = i + 1;
                return out;
            }
            out += s_[i];
        }
        return std::nullopt;
    }
    // The text between "{" and its matching "}", trimmed.
    std::optional<std::string> braced()
    {
        skipBlanks();
        if (pos_ >= s_.size() || s_[pos_] != '{')
            return std::nullopt;
        int depth = 0;
        char quote = 0;
        for (size_t i = pos_; i < s_.size(); ++i) {
            const char c = s_[i];
            if (quote) {
                if (c == quote)
                    quote = 0;
                continue;
            }
            if (c == '\'' || c == '"' || c == '`') {
                quote = c;
            } else if (c == '{') {
                ++depth;
            } else if (c == '}' && --depth == 0) {
                std::string_view inner = s_.substr(pos_ + 1, i - pos_ - 1);
                pos_ = i + 1;
                while (!inner.empty() && std::isspace(static_cast<unsigned char>(inner.front())))
                    inner.remove_prefix(1);
                while (!inner.empty() && std::isspace(static_cast<unsigned char>(inner.back())))
                    inner.remove_suffix(1);
                return std::string(inner);
            }
        }
        return std::nullopt;
    }

private:
    static bool isNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

    std::string_view s_;
    size_t pos_ = 0;
};

size_t columnIndex(const std::vector<ado::Column>& columns, const std::string& name, std::string_view role)
{
    for (size_t c = 0; c < columns.size(); ++c)
        if (vb::SameText(columns[c].name, name))
            return c;
    ado::RaiseError(ado::kErrItemNotFound, std::string(role) + " column '" + name + "'");
}

// Keys compare as the database compares them: numbers by value, text
// without case (the text columns are NOCASE).
std::string keyOf(const ado::CellView& v)
{
    switch (v.kind) {
    case ado::CellView::Kind::Null: return std::string(1, '\0');
    case ado::CellView::Kind::Integer: return "n" + std::to_string(v.integer);
    case ado::CellView::Kind::Real: {
        if (std::nearbyint(v.real) == v.real && std::fabs(v.real) < 9.0e15)
            return "n" + std::to_string(static_cast<int64_t>(v.real));
        char buf[40];
        std::snprintf(buf, sizeof buf, "r%a", v.real);
        return buf;
    }
    case ado::CellView::Kind::Text: {
        std::string k = "t";
        for (char c : v.text)
            k += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return k;
    }
    }
    return {};
}

void copyRow(const ado::RowSet& from, size_t row, ado::RowSet& to)
{
    for (size_t c = 0; c < from.columns.size(); ++c) {
        const ado::CellView v = from.View(row, c);
        switch (v.kind) {
        case ado::CellView::Kind::Null: to.AppendNull(); break;
        case ado::CellView::Kind::Integer: to.AppendInteger(v.integer); break;
        case ado::CellView::Kind::Real: to.AppendReal(v.real); break;
        case ado::CellView::Kind::Text: to.AppendText(v.text); break;
        }
    }
}

// Same value, same kind: the rows of one group mostly follow each other,
// and an exact match needs no key.
bool sameCell(const ado::CellView& a, const ado::CellView& b)
{
    if (a.kind != b.kind)
        return false;
    switch (a.kind) {
    case ado::CellView::Kind::Null: return true;
    case ado::CellView::Kind::Integer: return a.integer == b.integer;
    case ado::CellView::Kind::Real: return a.real == b.real; // NaN is never stored
    case ado::CellView::Kind::Text: return a.text == b.text;
    }
    return false;
}

// The rows go straight from the statement into their group's rowset.
ado::RowSet runCompute(ado::Connection& connection, const ShapeCommand& cmd)
{
    ado::RowSet parents;
    std::vector<ado::Column> columns;
    size_t by = 0;
    std::vector<std::shared_ptr<ado::RowSet>> groups;
    std::unordered_map<std::string, size_t> groupOf;
    ado::RowSet* current = nullptr;
    ado::CellView last;
    std::string lastText; // last.text's own copy: the statement's moves on
    connection.Query(
        cmd.parentSql,
        [&](const std::vector<ado::Column>& names) {
            columns = names;
            by = columnIndex(columns, cmd.groupColumn, "BY");
            parents.columns = {{cmd.chapterName, ado::ColumnType::Chapter}, columns[by]};
        },
        [&](const ado::CellView* cells) {
            const ado::CellView& value = cells[by];
            if (!current || !sameCell(value, last)) {
                auto [it, added] = groupOf.try_emplace(keyOf(value), groups.size());
                if (added) {
                    auto group = std::make_shared<ado::RowSet>();
                    group->columns = columns;
                    groups.push_back(group);
                    parents.AddRow({static_cast<int64_t>(it->second), ado::CellOf(value)});
                }
                current = groups[it->second].get();
                last = value;
                if (value.kind == ado::CellView::Kind::Text) {
                    lastText.assign(value.text);
                    last.text = lastText;
                }
            }
            for (size_t c = 0; c < columns.size(); ++c)
                current->Append(cells[c]);
        });
    parents.chapters.assign(groups.begin(), groups.end());
    return parents;
}

ado::RowSet runAppend(ado::Connection& connection, const ShapeCommand& cmd)
{
    ado::RowSet parentRows = connection.Query(cmd.parentSql);
    ado::RowSet childRows = connection.Query(cmd.childSql);
    const size_t pk = columnIndex(parentRows.columns, cmd.relateParent, "RELATE");
    const size_t ck = columnIndex(childRows.columns, cmd.relateChild, "RELATE ... TO");

    std::unordered_map<std::string, std::vector<size_t>> childrenOf;
    for (size_t r = 0; r < childRows.RowCount(); ++r) {
        const ado::CellView key = childRows.View(r, ck);
        if (key.kind != ado::CellView::Kind::Null)
            childrenOf[keyOf(key)].push_back(r);
    }

    ado::RowSet parents;
    parents.columns = parentRows.columns;
    parents.columns.push_back({cmd.chapterName, ado::ColumnType::Chapter});
    for (size_t r = 0; r < parentRows.RowCount(); ++r) {
        auto chapter = std::make_shared<ado::RowSet>();
        chapter->columns = childRows.columns;
        const ado::CellView key = parentRows.View(r, pk);
        if (key.kind != ado::CellView::Kind::Null) {
            if (auto it = childrenOf.find(keyOf(key)); it != childrenOf.end())
                for (size_t child : it->second)
                    copyRow(childRows, child, *chapter);
        }
        copyRow(parentRows, r, parents);
        parents.AppendInteger(static_cast<int64_t>(parents.chapters.size()));
        parents.chapters.push_back(std::move(chapter));
    }
    return parents;
}

} // namespace

bool IsShapeCommand(std::string_view text)
{
    Scanner s(text);
    return s.keyword("SHAPE");
}

std::optional<ShapeCommand> ParseShape(std::string_view text, std::string* error)
{
    auto fail = [&](const char* why) -> std::optional<ShapeCommand> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    Scanner s(text);
    ShapeCommand cmd;
    if (!s.keyword("SHAPE"))
        return fail("the command does not start with SHAPE");
    auto sql = s.braced();
    if (!sql || sql->empty())
        return fail("SHAPE must be followed by a query in braces");
    cmd.parentSql = *sql;
    if (!s.keyword("AS"))
        return fail("the query must be named with AS");
    auto alias = s.name();
    if (!alias)
        return fail("AS must be followed by a name");
    cmd.parentAlias = *alias;

    if (s.keyword("COMPUTE")) {
        cmd.kind = ShapeCommand::Kind::Compute;
        auto computed = s.name();
        if (!computed || !vb::SameText(*computed, cmd.parentAlias))
            return fail("COMPUTE must name the shaped query");
        cmd.chapterName = *computed;
        if (!s.keyword("BY"))
            return fail("COMPUTE needs BY 'column'");
        auto column = s.quoted();
        if (!column)
            column = s.name();
        if (!column || column->empty())
            return fail("BY must name a column");
        cmd.groupColumn = *column;
    } else if (s.keyword("APPEND")) {
        cmd.kind = ShapeCommand::Kind::Append;
        if (!s.symbol('('))
            return fail("APPEND needs a parenthesised child query");
        auto child = s.braced();
        if (!child || child->empty())
            return fail("the child query must stand in braces");
        cmd.childSql = *child;
        if (!s.keyword("AS"))
            return fail("the child query must be named with AS");
        auto childAlias = s.name();
        if (!childAlias)
            return fail("AS must be followed by a name");
        cmd.childAlias = *childAlias;
        if (!s.keyword("RELATE"))
            return fail("APPEND needs RELATE 'column' TO 'column'");
        auto parentColumn = s.quoted();
        if (!parentColumn)
            parentColumn = s.name();
        if (!parentColumn || !s.keyword("TO"))
            return fail("RELATE needs 'column' TO 'column'");
        auto childColumn = s.quoted();
        if (!childColumn)
            childColumn = s.name();
        if (!childColumn)
            return fail("RELATE needs 'column' TO 'column'");
        cmd.relateParent = *parentColumn;
        cmd.relateChild = *childColumn;
        if (!s.symbol(')'))
            return fail("the child part must end with ')'");
        if (!s.keyword("AS"))
            return fail("the chapter must be named with AS");
        auto chapter = s.name();
        if (!chapter)
            return fail("AS must be followed by a name");
        cmd.chapterName = *chapter;
    } else {
        return fail("SHAPE needs COMPUTE or APPEND");
    }
    if (!s.atEnd())
        return fail("unexpected text after the command");
    return cmd;
}

ado::RowSet RunShape(ado::Connection& connection, const ShapeCommand& command)
{
    return command.kind == ShapeCommand::Kind::Compute ? runCompute(connection, command)
                                                       : runAppend(connection, command);
}

bool DataShapeHandler::Claims(std::string_view commandText) const
{
    return IsShapeCommand(commandText);
}

ado::RowSet DataShapeHandler::Run(ado::Connection& connection, std::string_view commandText)
{
    std::string why;
    const std::optional<ShapeCommand> cmd = ParseShape(commandText, &why);
    if (!cmd)
        ado::RaiseError(ado::kErrCommandText, "Data shape command: " + why + ".");
    return RunShape(connection, *cmd);
}

void InstallDataShape()
{
    if (!std::dynamic_pointer_cast<DataShapeHandler>(ado::HandlerFor("SHAPE {} AS x COMPUTE x BY 'x'")))
        ado::SetCommandTextHandler(std::make_shared<DataShapeHandler>());
}

} // namespace report
