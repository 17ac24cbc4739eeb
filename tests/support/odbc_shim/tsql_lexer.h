#pragma once

// Tokens of a T-SQL text (UTF-8), enough to rewrite it outside literals, quoted names and
// comments. Every byte of the text belongs to exactly one token, so joining the tokens'
// texts gives the text back.
#include <string>
#include <string_view>
#include <vector>

namespace odbcshim {

enum class TokenKind {
    Space,        // blanks and line breaks
    Comment,      // -- to the end of the line, or /* */ (nested, as T-SQL nests them)
    String,       // '...' with '' standing for a quote
    NString,      // N'...'
    BracketName,  // [...] with ]] standing for ]
    QuotedName,   // "..." with "" standing for "
    Number,       // 12, 1.5, 2e-3
    Hex,          // 0x1F (also 0x alone, the empty binary)
    Word,         // names and keywords, @variables, @@functions, #temporary tables
    Punct,        // any other single character
};

struct Token {
    TokenKind kind;
    std::string_view text;
};

std::vector<Token> tokenize(std::string_view sql);

// The word in upper case (ASCII letters only; T-SQL keywords are ASCII).
std::string upper(std::string_view word);
bool isWord(const Token& token, std::string_view upperWord);
bool isPunct(const Token& token, char c);
// A name as the engine reads it: brackets and double quotes taken off, doubled closers
// made single.
std::string nameOf(const Token& token);
// The value of a '...' or N'...' literal.
std::string stringValue(const Token& token);

}  // namespace odbcshim
