#include "tsql_adapter.h"

#include "tsql_lexer.h"

#include <algorithm>
#include <array>
#include <utility>

namespace odbcshim {

namespace {

using Tokens = std::vector<Token>;
using Range = std::pair<size_t, size_t>;
constexpr size_t npos = size_t(-1);

bool significant(const Token& t) { return t.kind != TokenKind::Space && t.kind != TokenKind::Comment; }
bool isName(const Token& t) {
    return t.kind == TokenKind::Word || t.kind == TokenKind::BracketName || t.kind == TokenKind::QuotedName;
}
bool endsWith(std::string_view s, std::string_view tail) {
    return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}
template <size_t N>
bool oneOf(const std::string& word, const std::array<std::string_view, N>& words) {
    return std::find(words.begin(), words.end(), word) != words.end();
}

std::string trim(std::string s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; };
    size_t b = 0, e = s.size();
    while (b < e && blank(s[b])) ++b;
    while (e > b && blank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

std::string quoted(std::string_view value) {
    std::string out = "'";
    for (char c : value) {
        out += c;
        if (c == '\'') out += '\'';
    }
    return out + "'";
}

std::string doubleQuoted(std::string_view name) {
    std::string out = "\"";
    for (char c : name) {
        out += c;
        if (c == '"') out += '"';
    }
    return out + "\"";
}

// OBJECT_ID takes "schema.name" and bracketed parts; the fixture keeps bare names.
std::string objectName(std::string value) {
    if (const size_t dot = value.rfind('.'); dot != std::string::npos) value.erase(0, dot + 1);
    if (value.size() >= 2 && value.front() == '[' && value.back() == ']') value = value.substr(1, value.size() - 2);
    return value;
}

// 0xABC is 0x0ABC to SQL Server; SQLite wants whole bytes.
std::string hexLiteral(std::string_view text) {
    std::string digits(text.substr(2));
    if (digits.size() % 2) digits.insert(digits.begin(), '0');
    return "X'" + digits + "'";
}

size_t nextSignificant(const Tokens& t, size_t i, size_t e) {
    while (i < e && !significant(t[i])) ++i;
    return i;
}

// The table of `INSERT [INTO] a.b.table`: its last part, and the token after the name.
std::string multipartName(const Tokens& t, size_t& i, size_t e) {
    std::string name;
    while (i < e && isName(t[i])) {
        name = nameOf(t[i]);
        const size_t dot = nextSignificant(t, i + 1, e);
        if (dot < e && isPunct(t[dot], '.')) {
            i = nextSignificant(t, dot + 1, e);
            continue;
        }
        i = dot;
        break;
    }
    return name;
}

class Rewriter {
public:
    explicit Rewriter(const Tokens& t) : t_(t) {}

    std::string run(size_t b, size_t e) const {
        std::string out;
        for (size_t i = b; i < e; ++i) {
            const Token& tok = t_[i];
            switch (tok.kind) {
            case TokenKind::String:
            case TokenKind::NString:
                // Right after another literal a blank keeps the two apart ('a'N'b' must not
                // turn into the single literal 'a''b').
                if (!out.empty() && out.back() == '\'') out += ' ';
                out += tok.kind == TokenKind::NString ? tok.text.substr(1) : tok.text;
                break;
            case TokenKind::Hex: out += hexLiteral(tok.text); break;
            case TokenKind::BracketName:
                // SQLite reads [x] but knows no ]] inside: such a name goes in double quotes.
                out += tok.text.find("]]") == std::string_view::npos ? std::string(tok.text) : doubleQuoted(nameOf(tok));
                break;
            case TokenKind::Punct: out += isPunct(tok, '+') ? std::string_view("||") : tok.text; break;
            case TokenKind::Word:
                if (!rewriteWord(b, i, e, out)) out += tok.text;
                break;
            default: out += tok.text;
            }
        }
        return out;
    }

private:
    size_t next(size_t i, size_t e) const { return nextSignificant(t_, i, e); }

    size_t previous(size_t b, size_t i) const {
        while (i > b)
            if (significant(t_[--i])) return i;
        return npos;
    }

    // The ')' closing the '(' at `open`, or `e`.
    size_t closing(size_t open, size_t e) const {
        int depth = 0;
        for (size_t i = open; i < e; ++i) {
            if (isPunct(t_[i], '(')) ++depth;
            else if (isPunct(t_[i], ')') && --depth == 0) return i;
        }
        return e;
    }

    std::vector<Range> arguments(size_t open, size_t close) const {
        std::vector<Range> args;
        if (next(open + 1, close) == close) return args;
        int depth = 0;
        size_t from = open + 1;
        for (size_t i = open + 1; i < close; ++i) {
            if (isPunct(t_[i], '(')) ++depth;
            else if (isPunct(t_[i], ')')) --depth;
            else if (depth == 0 && isPunct(t_[i], ',')) {
                args.emplace_back(from, i);
                from = i + 1;
            }
        }
        args.emplace_back(from, close);
        return args;
    }

    std::string trimmed(Range r) const { return trim(run(r.first, r.second)); }

    // X standing alone where it was an argument: in parentheses unless it is one token.
    std::string operand(Range r) const {
        const size_t first = next(r.first, r.second);
        const bool single = first < r.second && next(first + 1, r.second) == r.second;
        return single ? trimmed(r) : "(" + trimmed(r) + ")";
    }

    std::string cast(Range x, Range type) const {
        static constexpr std::array<std::string_view, 7> texts{"CHAR", "VARCHAR", "NCHAR", "NVARCHAR", "TEXT", "NTEXT", "SYSNAME"};
        static constexpr std::array<std::string_view, 3> binaries{"BINARY", "VARBINARY", "IMAGE"};
        // Kept as they are: SQLite stores these as text or numbers already.
        static constexpr std::array<std::string_view, 14> kept{
            "DECIMAL", "NUMERIC", "MONEY", "SMALLMONEY", "DATETIME2", "DATETIMEOFFSET", "TIME",
            "DATE", "DATETIME", "SMALLDATETIME", "GEOGRAPHY", "GEOMETRY", "XML", "HIERARCHYID"};
        const size_t name = next(type.first, type.second);
        const std::string word = name < type.second && t_[name].kind == TokenKind::Word ? upper(t_[name].text) : std::string();
        if (oneOf(word, texts)) return "CAST(" + trimmed(x) + " AS TEXT)";
        if (oneOf(word, binaries)) return "CAST(" + trimmed(x) + " AS BLOB)";
        if (oneOf(word, kept)) return operand(x);
        return "CAST(" + trimmed(x) + " AS " + trimmed(type) + ")";
    }

    // A statement's first word: nothing before it but a statement's end or a block's start.
    bool startsStatement(size_t b, size_t i) const {
        const size_t p = previous(b, i);
        return p == npos || isPunct(t_[p], ';') || isPunct(t_[p], ')') || isWord(t_[p], "BEGIN") ||
               isWord(t_[p], "ELSE") || isWord(t_[p], "THEN");
    }

    bool onlyHintWords(size_t b, size_t e) const {
        bool wantWord = true;
        for (size_t i = next(b, e); i < e; i = next(i + 1, e)) {
            if (wantWord ? t_[i].kind != TokenKind::Word : !isPunct(t_[i], ',')) return false;
            wantWord = !wantWord;
        }
        return !wantWord;
    }

    // Rewrites the word at `i` (and what it takes with it) onto `out`; `i` moves to the last
    // token used. False leaves both alone.
    bool rewriteWord(size_t b, size_t& i, size_t e, std::string& out) const {
        const std::string w = upper(t_[i].text);
        const size_t j = next(i + 1, e);
        if (w == "@@IDENTITY") {
            out += "last_insert_rowid()";
            return true;
        }
        if (w == "COLLATE" && j < e && t_[j].kind == TokenKind::Word) {
            const std::string collation = upper(t_[j].text);
            // Binary comparison that still ignores trailing blanks, as SQL Server's = does.
            if (endsWith(collation, "_BIN2") || endsWith(collation, "_BIN")) {
                out += std::string(t_[i].text) + " RTRIM";
                i = j;
                return true;
            }
            return false;
        }
        if ((w == "DELETE" || w == "INSERT") && startsStatement(b, i) && j < e && isName(t_[j]) &&
            !isWord(t_[j], w == "DELETE" ? "FROM" : "INTO") && !isWord(t_[j], "TOP")) {
            out += std::string(t_[i].text) + (w == "DELETE" ? " FROM" : " INTO");
            return true;
        }
        if (w == "SYS" && j < e && isPunct(t_[j], '.')) {
            const size_t m = next(j + 1, e);
            if (m < e && (isWord(t_[m], "COLUMNS") || isWord(t_[m], "TYPES") || isWord(t_[m], "OBJECTS"))) {
                std::string table = "shim_sys_" + upper(t_[m].text);
                for (char& c : table) c = char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
                out += table;
                i = m;
                return true;
            }
            return false;
        }
        if (j >= e || !isPunct(t_[j], '(')) return false;
        const size_t k = closing(j, e);
        if (k >= e) return false;
        if (w == "WITH") {
            // A table hint: WITH (UPDLOCK, HOLDLOCK) right after a table's name or alias.
            const size_t p = previous(b, i);
            if (p == npos || !isName(t_[p]) || !onlyHintWords(j + 1, k)) return false;
            i = k;
            return true;
        }
        const std::vector<Range> args = arguments(j, k);
        std::string replacement;
        if (w == "CONVERT" && (args.size() == 2 || args.size() == 3)) {
            replacement = args.size() == 3 ? operand(args[1]) : cast(args[1], args[0]);
        } else if (w == "CAST") {
            size_t as = npos;
            int depth = 0;
            for (size_t m = j + 1; m < k; ++m) {
                if (isPunct(t_[m], '(')) ++depth;
                else if (isPunct(t_[m], ')')) --depth;
                else if (depth == 0 && isWord(t_[m], "AS")) as = m;
            }
            if (as == npos) return false;
            replacement = cast({j + 1, as}, {as + 1, k});
        } else if (w == "DATALENGTH" && args.size() == 1) {
            replacement = "length(CAST(" + trimmed(args[0]) + " AS BLOB))";
        } else if (w == "OBJECT_ID" && (args.size() == 1 || args.size() == 2)) {
            const size_t s = next(args[0].first, args[0].second);
            if (s >= args[0].second || (t_[s].kind != TokenKind::String && t_[s].kind != TokenKind::NString) ||
                next(s + 1, args[0].second) != args[0].second)
                return false;
            // SQL Server compares names without regard to case.
            replacement = "(SELECT object_id FROM shim_sys_objects WHERE name = " + quoted(objectName(stringValue(t_[s]))) +
                          " COLLATE NOCASE)";
        } else if (w == "TYPE_NAME" && args.size() == 1) {
            // Renamed columns, so that names in the argument cannot bind to the fixture's own.
            replacement = "(SELECT shim_type_name FROM (SELECT name AS shim_type_name, user_type_id AS shim_type_id "
                          "FROM shim_sys_types) WHERE shim_type_id = " +
                          trimmed(args[0]) + ")";
        } else if (w == "NCHAR" && args.size() == 1) {
            replacement = "char(" + trimmed(args[0]) + ")";
        } else if (w == "SCOPE_IDENTITY" && args.empty()) {
            replacement = "last_insert_rowid()";
        } else {
            return false;
        }
        out += replacement;
        i = k;
        return true;
    }

    const Tokens& t_;
};

// A line holding GO alone (a count or a comment may follow): the batch separator of the
// client tools, which the server itself never accepts.
bool holdsGoLine(const Tokens& t) {
    const auto breaksLine = [](const Token& tok) {
        return tok.kind == TokenKind::Space && tok.text.find_first_of("\r\n") != std::string_view::npos;
    };
    for (size_t i = 0; i < t.size(); ++i) {
        if (!isWord(t[i], "GO")) continue;
        bool alone = i == 0 || breaksLine(t[i - 1]) || (i == 1 && t[0].kind == TokenKind::Space);
        for (size_t k = i + 1; alone && k < t.size() && !breaksLine(t[k]); ++k)
            alone = t[k].kind == TokenKind::Space || t[k].kind == TokenKind::Number || t[k].kind == TokenKind::Comment;
        if (alone) return true;
    }
    return false;
}

// SET options SQLite has no counterpart for and whose effect the statements here do not
// depend on. XACT_ABORT is not among them: it changes what an error does.
bool isSessionOption(const std::string& word) {
    static constexpr std::array<std::string_view, 10> options{
        "NOCOUNT", "QUOTED_IDENTIFIER", "ANSI_NULLS", "ANSI_WARNINGS", "ANSI_PADDING", "ANSI_NULL_DFLT_ON",
        "ARITHABORT", "ARITHIGNORE", "CONCAT_NULL_YIELDS_NULL", "NUMERIC_ROUNDABORT"};
    return oneOf(word, options);
}

// SET IDENTITY_INSERT t ON|OFF, or SET option[, option] ON|OFF, at `i`; `end` is the token
// after it.
bool readSessionSet(const Tokens& t, size_t i, size_t n, Statement& st, size_t& end) {
    if (!isWord(t[i], "SET")) return false;
    size_t j = nextSignificant(t, i + 1, n);
    if (j >= n || t[j].kind != TokenKind::Word) return false;
    const auto onOff = [&](size_t k) { return k < n && (isWord(t[k], "ON") || isWord(t[k], "OFF")); };
    if (isWord(t[j], "IDENTITY_INSERT")) {
        size_t k = nextSignificant(t, j + 1, n);
        const std::string table = multipartName(t, k, n);
        if (table.empty() || !onOff(k)) return false;
        st = Statement{};
        st.kind = Statement::Kind::IdentityInsert;
        st.table = table;
        st.on = isWord(t[k], "ON");
        end = k + 1;
        return true;
    }
    while (j < n && t[j].kind == TokenKind::Word && isSessionOption(upper(t[j].text))) {
        const size_t d = nextSignificant(t, j + 1, n);
        if (d < n && isPunct(t[d], ',')) {
            j = nextSignificant(t, d + 1, n);
            continue;
        }
        if (!onOff(d)) return false;
        st = Statement{};
        st.kind = Statement::Kind::SessionOption;
        st.on = isWord(t[d], "ON");
        end = d + 1;
        return true;
    }
    return false;
}

void readInsert(const Tokens& t, size_t b, size_t e, Statement& st) {
    size_t i = nextSignificant(t, b, e);
    if (i >= e || !isWord(t[i], "INSERT")) return;
    i = nextSignificant(t, i + 1, e);
    if (i < e && isWord(t[i], "INTO")) i = nextSignificant(t, i + 1, e);
    const std::string table = multipartName(t, i, e);
    if (table.empty()) return;
    st.insert = true;
    st.table = table;
    if (i >= e || !isPunct(t[i], '(')) return;
    for (size_t k = nextSignificant(t, i + 1, e); k < e && isName(t[k]);) {
        st.insertColumns.push_back(nameOf(t[k]));
        const size_t d = nextSignificant(t, k + 1, e);
        if (d >= e || !isPunct(t[d], ',')) break;
        k = nextSignificant(t, d + 1, e);
    }
}

}  // namespace

Batch readBatch(std::string_view tsql) {
    Batch batch;
    const Tokens t = tokenize(tsql);
    if (holdsGoLine(t)) {
        batch.error = ServerError{"42000", 102, "Incorrect syntax near 'GO'."};
        return batch;
    }
    const Rewriter rewriter(t);
    const size_t n = t.size();
    size_t i = 0;
    while (true) {
        while (i < n && (!significant(t[i]) || isPunct(t[i], ';'))) ++i;
        if (i >= n) break;
        Statement st;
        size_t end = i;
        if (readSessionSet(t, i, n, st, end)) {
            batch.statements.push_back(std::move(st));
            i = end;
            continue;
        }
        // A statement runs to a ';' or to a session SET, which T-SQL needs no ';' before.
        size_t j = i;
        int depth = 0;
        Statement following;
        for (; j < n; ++j) {
            if (isPunct(t[j], '(')) ++depth;
            else if (isPunct(t[j], ')')) --depth;
            else if (depth <= 0 && isPunct(t[j], ';')) break;
            else if (depth <= 0 && j > i && readSessionSet(t, j, n, following, end)) break;
            else if (isPunct(t[j], '?')) st.hasParameters = true;
        }
        st.sqlite = trim(rewriter.run(i, j));
        readInsert(t, i, j, st);
        batch.statements.push_back(std::move(st));
        i = j;
    }
    return batch;
}

std::string toSqlite(std::string_view tsql) {
    const Tokens t = tokenize(tsql);
    return Rewriter(t).run(0, t.size());
}

}  // namespace odbcshim
