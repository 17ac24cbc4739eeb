#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace utility {
class DataAccess;
}

namespace correction {

// A deletion journal read back: its statements, each with its line, ready to run.
struct JournalStatement {
    int line;
    QString sql;
    bool identitySwitch;  // SET IDENTITY_INSERT: SQL Server only
};
struct JournalScript {
    std::vector<JournalStatement> statements;
    QString warning;  // a journal cut mid-statement: what was left out
};

// Reads a journal. A file that is no journal, or damaged before its last line, raises a
// run-time error and nothing runs; a last statement cut short is left out, with a warning.
JournalScript LeerDiario(const QString& path);

struct RestoreCount {
    long long restored = 0;  // rows put back
    long long present = 0;   // rows that were already there
};

// Runs the journal's inserts in one transaction: all rows come back, or none.
RestoreCount ReponerDiario(utility::DataAccess& session, const JournalScript& script);

}  // namespace correction
