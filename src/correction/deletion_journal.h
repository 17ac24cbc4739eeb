#pragma once

#include "correction/journal_columns.h"
#include "correction/journal_format.h"
#include "platform/append_file.h"
#include "platform/runtime_error.h"

#include "utility/statement.h"

#include <QString>
#include <QVariant>
#include <functional>

namespace utility {
class DataAccess;
}

namespace correction {

// The first line of every run in a journal file; appending and restoring look for it.
inline constexpr const char* kJournalSignature = journal::kSignature;

// Where journals go and who hears of a new one.
struct JournalSettings {
    QString file;                                     // every run appends here; empty: a new file per run
    std::function<void(const QString& path)> opened;  // told the path once the header is on disk
};
JournalSettings& journalSettings();

// The folders a new journal goes to, in order of preference: "diarios" in the application
// folder (unless the program is installed in a system folder), then "stockfix/diarios" in
// the user's data folder.
QStringList journalFolders();

// Another run holds the journal: this one stops before it deletes anything.
class JournalInUse : public platform::RuntimeError {
public:
    explicit JournalInUse(const QString& path);
};

// The deletion journal: a T-SQL script that puts back every stock row a run deletes.
// Rows are added voucher by voucher into a pending part; sync() writes the pending part
// and waits until it is on disk. Nothing a journal covers may be deleted before its sync.
// The run holds the file locked from its header to its last line. Failures raise a run-time
// error naming the file.
class DeletionJournal {
public:
    // Creates the file (or appends to settings.file) and writes the header, synced.
    DeletionJournal(utility::DataAccess& session, const QString& selection, const JournalSettings& settings);
    DeletionJournal(const DeletionJournal&) = delete;
    DeletionJournal& operator=(const DeletionJournal&) = delete;

    const QString& path() const { return path_; }

    // Reads the voucher's stock rows, as the voucher's deletion will find them, and adds
    // one idempotent insert per row. Within a transaction that holds the write lock the
    // rows cannot change before the deletion. Returns the number of rows.
    int addVoucher(const QVariant& tc, const QVariant& idComprobante);
    void sync();
    // The batch synced last was committed: said with the next sync.
    void batchCommitted();
    // The closing comment with the run's counts, synced.
    void finish();
    // A run that stopped: says so in the file, best effort, never raises.
    void stopped(const QString& why) noexcept;

    int vouchers() const { return vouchers_; }
    long long rows() const { return rows_; }

private:
    void open(const JournalSettings& settings);
    void openNamed(const QString& file);
    void closeTornLine();
    int readRows(utility::Statement& q, const std::vector<JournalColumn>& columns, QString& block);
    void writeHeader(const QString& selection);
    void write(const QByteArray& bytes);
    QString hidden(const QString& text) const;
    [[noreturn]] void raise(const QString& what) const;

    utility::DataAccess& session_;
    Dialect dialect_;
    JournalColumns columns_;
    QStringList quotedNames_;
    QString selectList_;   // what the row query reads
    utility::Statement byVoucher_;  // SQLite read natively: the row query prepared once
    QString path_;
    platform::AppendFile file_;
    QString pending_;
    QString confirmed_;  // batch lines: written before anything else at the next sync
    int vouchers_ = 0;
    long long rows_ = 0;
    int batchVouchers_ = 0;  // since the last committed batch
    long long batchRows_ = 0;
    int syncedVouchers_ = 0;  // in the part synced last
    long long syncedRows_ = 0;
};

}  // namespace correction
