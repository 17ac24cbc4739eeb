#pragma once

// Texts between the driver manager's two forms (UTF-16 for the W functions, bytes for the
// others) and the UTF-8 the SQLite driver takes, and the rules of ODBC output buffers.
#include <sql.h>
#include <sqlext.h>

#include <string>
#include <string_view>

namespace odbcshim {

// The length of a counted text without the terminators some callers count in (Qt's
// QODBC does); SQL_NTS stays.
template <class Char>
SQLLEN withoutTerminator(const Char* text, SQLLEN length) {
    if (!text) return 0;
    while (length > 0 && text[length - 1] == 0) --length;
    return length;
}

// `length` counts SQLWCHARs, or is SQL_NTS. Unpaired surrogates become U+FFFD.
std::string utf8FromWide(const SQLWCHAR* text, SQLLEN length);
std::u16string wideFromUtf8(std::string_view text);
std::string bytesOf(const SQLCHAR* text, SQLLEN length);

// A JSON string literal of the text exactly: UTF-16 keeps even unpaired surrogates (as
// \u escapes); invalid UTF-8 bytes become U+FFFD.
std::string jsonString(std::u16string_view text);
std::string jsonString(std::string_view utf8);

// Copies `text` into an output buffer of `capacity` units (the terminator included) and
// tells its whole length in units; false when it was cut short. A unit is a byte for
// narrow buffers, a SQLWCHAR for wide ones; `bytes` chooses whether capacity and length
// count bytes even for wide buffers.
bool putNarrow(std::string_view text, void* out, SQLLEN capacity, SQLLEN* length);
bool putWide(std::string_view utf8, void* out, SQLLEN capacity, SQLLEN* length, bool bytes);

}  // namespace odbcshim
