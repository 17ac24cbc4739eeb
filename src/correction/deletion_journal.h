#pragma once

#include "correction/sql_literal.h"

#include <QByteArray>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QVariant>
#include <functional>
#include <vector>

namespace utility {
class DataAccess;
}

namespace correction {

// The first line of every run in a journal file; appending and restoring look for it.
inline constexpr char kJournalSignature[] = "-- stockfix: diario de borrado";

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

// The deletion journal: a T-SQL script that puts back every stock row a run deletes.
// Rows are added voucher by voucher into a pending part; sync() writes the pending part
// and waits until it is on disk. Nothing a journal covers may be deleted before its sync.
// Failures raise a run-time error naming the file.
class DeletionJournal {
public:
    // Creates the file (or appends to settings.file) and writes the header, synced.
    DeletionJournal(utility::DataAccess& session, const QString& selection, const JournalSettings& settings);
    ~DeletionJournal();
    DeletionJournal(const DeletionJournal&) = delete;
    DeletionJournal& operator=(const DeletionJournal&) = delete;

    const QString& path() const { return path_; }

    // Reads the voucher's stock rows, as the voucher's deletion will find them, and adds
    // one idempotent insert per row. Within a transaction that holds the write lock the
    // rows cannot change before the deletion. Returns the number of rows.
    int addVoucher(const QVariant& tc, const QVariant& idComprobante);
    void sync();
    // The closing comment with the run's counts, synced.
    void finish();
    // A run that stopped: says so in the file, best effort, never raises.
    void stopped(const QString& why) noexcept;

    int vouchers() const { return vouchers_; }
    long long rows() const { return rows_; }

private:
    void open(const JournalSettings& settings);
    void readColumns();
    void writeHeader(const QString& selection);
    void write(const QByteArray& bytes);
    [[noreturn]] void raise(const QString& what) const;

    utility::DataAccess& session_;
    Dialect dialect_;
    QString path_;
    int fd_ = -1;
    QSqlRecord columns_;
    std::vector<QSqlField> fields_;
    QStringList quotedNames_;
    QString columnList_;  // "([A], [B], ...)"
    QString selectList_;  // what the row query reads
    // SQLite behind ODBC: the driver hands values over with 32-bit integers, 15-digit reals
    // and text cut at a NUL, so SQLite itself writes each value's literal.
    bool literalsFromEngine_ = false;
    QSqlQuery byVoucher_;  // SQLite: the row query prepared once
    bool identity_ = false;
    QString pending_;
    int vouchers_ = 0;
    long long rows_ = 0;
};

}  // namespace correction
