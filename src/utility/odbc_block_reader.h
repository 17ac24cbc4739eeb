#pragma once

#include "platform/recordset.h"

#include <QString>

namespace utility {

// What became of a block read.
enum class BlockRead {
    Done,        // every row is in the recordset
    NotSuitable, // nothing was fetched: a column is not plain bounded text, or the driver
                 // refuses block cursors; the statement is as it was, read it row by row
    Restart,     // a cell was longer than the driver said (or the driver failed midway):
                 // the statement must be run again and read row by row
};

// Reads the rest of an executed ODBC statement's rows in blocks of bound wide-character
// columns straight into `rs` (opened with the statement's fields), each cell what the
// row-by-row reading gives: text as the driver sends it, Null as Null. The statement is
// left with nothing bound. `statement` is the SQLHSTMT.
BlockRead readOdbcBlocks(void* statement, platform::Recordset& rs, QString& error);

// On by default; tests switch it off to read the same tables row by row.
void setOdbcBlockFetch(bool on);
bool odbcBlockFetch();
// What the last block read came to.
BlockRead lastOdbcBlockRead();

}  // namespace utility
