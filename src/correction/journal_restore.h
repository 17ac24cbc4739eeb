#pragma once

#include "correction/journal_format.h"
#include "platform/runtime_error.h"

#include <QString>
#include <vector>

namespace utility {
class DataAccess;
}

namespace correction {

// A journal that cannot be restored as it stands: nothing of it runs.
class JournalRefused : public platform::RuntimeError {
public:
    JournalRefused(const QString& path, const QString& why);
};

// A deletion journal read back: each row to put back, parsed from its line.
struct JournalStatement {
    int line;
    Dialect dialect;  // of the run that wrote it
    journal::Insert insert;
    bool confirmed;  // its batch said it committed (a run of before batch lines counts as such)
};
struct JournalScript {
    QString path;
    std::vector<JournalStatement> statements;
    QString warning;  // cut lines, a run without its last line: what was left out, and why
};

// Reads a journal. A file that is no journal, holds any line the writer does not write, or
// is damaged before its last line raises JournalRefused and nothing runs; a line cut by a run
// that died is left out, with a warning.
JournalScript LeerDiario(const QString& path);
// The same for a journal's bytes (`path` names it in the messages).
JournalScript LeerDiarioDeBytes(const QString& path, const QByteArray& bytes);

struct RestoreCount {
    long long restored = 0;  // rows put back
    long long present = 0;   // rows that were already there
    // The same for batches the journal does not say were committed (the run died between
    // writing them and committing): their rows are usually still there.
    long long unconfirmedRestored = 0;
    long long unconfirmedPresent = 0;
};

// Checks the journal against the session (its engine, the table's columns: JournalRefused),
// then runs the statements the writer builds from its rows, in one transaction: all rows
// come back, or none.
RestoreCount ReponerDiario(utility::DataAccess& session, const JournalScript& script);

}  // namespace correction
