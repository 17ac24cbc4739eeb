#pragma once

#include <QString>
#include <cstdint>

// Demo databases: the tables the suite's programs use, in SQLite, with Spanish sample rows.
namespace demo {

struct DemoOptions {
    int vouchers = 60;          // purchase and other vouchers with stock rows
    uint32_t seed = 20030217;   // the same seed gives the same database
    int articles = 400;         // rows of the articles table
};

// Writes a new database at `path` (an existing file is replaced). Text columns compare
// without regard to case, as SQL Server's usual collation does. Besides random vouchers it
// always holds one voucher of every kind the correction must tell apart. Returns an
// error text, empty on success.
QString createDemoDatabase(const QString& path, const DemoOptions& options);

// Bulk vouchers for benchmarks: `bad` purchase vouchers without a header account and
// `good` ones with one, each with `rowsPerVoucher` stock rows.
QString addBulkVouchers(const QString& path, int bad, int good, int rowsPerVoucher, uint32_t seed);

}  // namespace demo
