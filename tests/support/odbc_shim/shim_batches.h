#pragma once

// Statement texts on their way to SQLite: recorded, adapted, checked against the rules SQL
// Server enforces, and run, the SETs SQLite has no use for answered by the shim.
#include <sql.h>

#include <string>
#include <string_view>

namespace odbcshim {

// `text` is UTF-8; `json` the text exactly as the program sent it, as a JSON string.
SQLRETURN prepareBatch(SQLHSTMT stmt, std::string_view text, const std::string& json);
SQLRETURN executeDirect(SQLHSTMT stmt, std::string_view text, const std::string& json);
SQLRETURN executePrepared(SQLHSTMT stmt);

// A connection text with NoCreat=1 in place of any NoCreat the program gave: the SQLite
// driver would otherwise create a missing database file.
std::string withoutCreation(std::string_view connectionText);

}  // namespace odbcshim
