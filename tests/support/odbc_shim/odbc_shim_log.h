#pragma once

// Reads the record the shim driver writes to the file STOCKFIX_SHIM_LOG names: one JSON
// object a line, {"pid":N,"conn":N,"stmt":N,"op":"...","text":"..."}.
#include <QList>
#include <QString>
#include <QStringList>

namespace odbcshim {

struct ShimLogRecord {
    QString op;  // prepare, execute, direct, commit, rollback, "autocommit on", "autocommit off"
    QString text;  // prepare, execute, direct: the statement text exactly as it was sent
    bool hasText = false;
    qint64 pid = 0;
    int connection = 0;  // the shim's number for the connection within its process; 0: none
    int statement = 0;   // the shim's number for the statement; 0 for connection records
};

// Every record of the file in order; a missing file has none. A line that is not a record
// makes it fail, with the line's number in `error`.
bool readShimLog(const QString& path, QList<ShimLogRecord>& records, QString* error = nullptr);

// The texts of the records of one kind, in order.
QStringList shimLogTexts(const QList<ShimLogRecord>& records, const QString& op);
// Each record as one line, "op" or "op: text", for messages of failed expectations.
QString describeShimLog(const QList<ShimLogRecord>& records);

// The texts of a log checked as T-SQL offline, by tests/support/tsql_check.mjs under Node.
struct TsqlCheck {
    bool ran = false;     // false: node or the parser is missing (tests skip), see `message`
    bool parsed = false;  // every text parsed
    QString message;      // names the first text that did not
};
TsqlCheck checkTsql(const QString& logPath);

}  // namespace odbcshim
