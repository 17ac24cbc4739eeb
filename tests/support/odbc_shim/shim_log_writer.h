#pragma once

// The record of what the program sends: one JSON object a line, appended to the file
// STOCKFIX_SHIM_LOG names (nothing is written when it is unset), e.g.
//   {"pid":4711,"conn":1,"stmt":3,"op":"prepare","text":"SELECT 1\nFROM T"}
// "op" is prepare, execute, direct, commit, rollback, "autocommit on" or "autocommit off";
// "text" (for the first three only) is the statement text exactly as it arrived; "stmt" is
// 0 for the connection's own records, "conn" 0 for a whole environment's.
#include <string>
#include <string_view>

namespace odbcshim {

// `jsonText` is a JSON string literal (see jsonString) or empty for none.
void logCall(std::string_view op, int connection, int statement, const std::string& jsonText = {});

}  // namespace odbcshim
