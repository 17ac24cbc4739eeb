#include "tsql_lexer.h"

namespace odbcshim {

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isHexDigit(char c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
// Bytes of multi-byte UTF-8 sequences count as letters: names may hold accents.
bool startsWord(char c) { return isLetter(c) || c == '_' || c == '@' || c == '#' || static_cast<unsigned char>(c) >= 0x80; }
bool continuesWord(char c) { return startsWord(c) || isDigit(c) || c == '$'; }

// End (exclusive) of a run opened at `i` and closed by `close`, where a doubled closer
// stands for itself. An unterminated run goes to the end.
size_t quotedEnd(std::string_view s, size_t i, char close) {
    for (size_t j = i + 1; j < s.size(); ++j) {
        if (s[j] != close) continue;
        if (j + 1 < s.size() && s[j + 1] == close) {
            ++j;
            continue;
        }
        return j + 1;
    }
    return s.size();
}

size_t blockCommentEnd(std::string_view s, size_t i) {
    int depth = 0;
    for (size_t j = i; j + 1 < s.size(); ++j) {
        if (s[j] == '/' && s[j + 1] == '*') {
            ++depth;
            ++j;
        } else if (s[j] == '*' && s[j + 1] == '/') {
            ++j;
            if (--depth == 0) return j + 1;
        }
    }
    return s.size();
}

size_t numberEnd(std::string_view s, size_t i) {
    size_t j = i;
    while (j < s.size() && isDigit(s[j])) ++j;
    if (j < s.size() && s[j] == '.') {
        ++j;
        while (j < s.size() && isDigit(s[j])) ++j;
    }
    if (j < s.size() && (s[j] == 'e' || s[j] == 'E')) {
        size_t k = j + 1;
        if (k < s.size() && (s[k] == '+' || s[k] == '-')) ++k;
        if (k < s.size() && isDigit(s[k])) {
            j = k;
            while (j < s.size() && isDigit(s[j])) ++j;
        }
    }
    return j;
}

std::string undoubled(std::string_view inner, char close) {
    std::string out;
    out.reserve(inner.size());
    for (size_t i = 0; i < inner.size(); ++i) {
        out += inner[i];
        if (inner[i] == close && i + 1 < inner.size() && inner[i + 1] == close) ++i;
    }
    return out;
}

// The inside of a run from its opener to its closer (the closer may be missing).
std::string_view inside(std::string_view text, size_t openerLength, char close) {
    std::string_view rest = text.substr(openerLength);
    if (!rest.empty() && rest.back() == close) rest.remove_suffix(1);
    return rest;
}

}  // namespace

std::vector<Token> tokenize(std::string_view s) {
    std::vector<Token> tokens;
    size_t i = 0;
    while (i < s.size()) {
        const char c = s[i];
        TokenKind kind = TokenKind::Punct;
        size_t end = i + 1;
        if (isSpace(c)) {
            kind = TokenKind::Space;
            while (end < s.size() && isSpace(s[end])) ++end;
        } else if (c == '-' && i + 1 < s.size() && s[i + 1] == '-') {
            kind = TokenKind::Comment;
            while (end < s.size() && s[end] != '\n' && s[end] != '\r') ++end;
        } else if (c == '/' && i + 1 < s.size() && s[i + 1] == '*') {
            kind = TokenKind::Comment;
            end = blockCommentEnd(s, i);
        } else if (c == '\'') {
            kind = TokenKind::String;
            end = quotedEnd(s, i, '\'');
        } else if ((c == 'N' || c == 'n') && i + 1 < s.size() && s[i + 1] == '\'') {
            kind = TokenKind::NString;
            end = quotedEnd(s, i + 1, '\'');
        } else if (c == '[') {
            kind = TokenKind::BracketName;
            end = quotedEnd(s, i, ']');
        } else if (c == '"') {
            kind = TokenKind::QuotedName;
            end = quotedEnd(s, i, '"');
        } else if (c == '0' && i + 1 < s.size() && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
            kind = TokenKind::Hex;
            end = i + 2;
            while (end < s.size() && isHexDigit(s[end])) ++end;
        } else if (isDigit(c)) {
            kind = TokenKind::Number;
            end = numberEnd(s, i);
        } else if (startsWord(c)) {
            kind = TokenKind::Word;
            while (end < s.size() && continuesWord(s[end])) ++end;
        }
        tokens.push_back({kind, s.substr(i, end - i)});
        i = end;
    }
    return tokens;
}

std::string upper(std::string_view word) {
    std::string out(word);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return out;
}

bool isWord(const Token& token, std::string_view upperWord) {
    return token.kind == TokenKind::Word && upper(token.text) == upperWord;
}

bool isPunct(const Token& token, char c) { return token.kind == TokenKind::Punct && token.text[0] == c; }

std::string nameOf(const Token& token) {
    switch (token.kind) {
    case TokenKind::BracketName: return undoubled(inside(token.text, 1, ']'), ']');
    case TokenKind::QuotedName: return undoubled(inside(token.text, 1, '"'), '"');
    default: return std::string(token.text);
    }
}

std::string stringValue(const Token& token) {
    const size_t opener = token.kind == TokenKind::NString ? 2 : 1;
    return undoubled(inside(token.text, opener, '\''), '\'');
}

}  // namespace odbcshim
