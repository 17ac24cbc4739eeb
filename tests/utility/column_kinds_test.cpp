// What a column's type says of its values, and a date column's text read back as a date.
#include "utility/column_kinds.h"

#include <QDateTime>
#include <gtest/gtest.h>

using platform::ColumnKind;

TEST(ColumnKinds, TypeNamesOfBothEnginesSayWhatTheColumnHolds) {
    const struct {
        const char* type;
        ColumnKind kind;
    } cases[] = {
        {"DECIMAL(38,10)", ColumnKind::ExactNumber}, {"numeric", ColumnKind::ExactNumber},
        {"MONEY", ColumnKind::ExactNumber},          {"smallmoney", ColumnKind::ExactNumber},
        {"DATE", ColumnKind::Date},                  {"datetime", ColumnKind::Date},
        {"DateTime2(7)", ColumnKind::Date},          {"SMALLDATETIME", ColumnKind::Date},
        {"TIME", ColumnKind::Date},                  {"TIMESTAMP", ColumnKind::Date},
        {"bit", ColumnKind::Boolean},                {"BOOLEAN", ColumnKind::Boolean},
        {"NVARCHAR(40)", ColumnKind::Plain},         {"INTEGER", ColumnKind::Plain},
        {"FLOAT", ColumnKind::Plain},                {"datetimeoffset", ColumnKind::Plain},
        {"", ColumnKind::Plain},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        EXPECT_EQ(int(utility::columnKindForTypeName(QString::fromLatin1(c.type))), int(c.kind));
    }
}

TEST(ColumnKinds, IsoDatesAndTimesBecomeDatesAndEveryOtherTextStaysText) {
    const QDate day(2003, 2, 17);
    const struct {
        const char* text;
        QVariant cell;
    } cases[] = {
        {"2003-02-17", day},
        {"2003-02-17 10:15:00", QDateTime(day, QTime(10, 15), Qt::UTC)},
        {"2003-02-17T10:15:00.123", QDateTime(day, QTime(10, 15, 0, 123), Qt::UTC)},
        {"2003-02-17 10:15", QDateTime(day, QTime(10, 15), Qt::UTC)},
        {"2003-02-17 10:15:00.0000000", QDateTime(day, QTime(10, 15), Qt::UTC)},  // SQL Server's datetime2
        {"2003-02-17T10:15:00Z", QDateTime(day, QTime(10, 15), Qt::UTC)},
        {"10:15:00", QTime(10, 15)},
        {"10:15:00.1234567", QTime(10, 15, 0, 123)},
        {"23:59", QTime(23, 59)},
        {"1899-12-30 00:00:00", QDateTime(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC)},
        // Not dates: kept as the text they are.
        {"2003-02-30", QStringLiteral("2003-02-30")},
        {"2003-2-17", QStringLiteral("2003-2-17")},
        {"2003-02-17 25:00:00", QStringLiteral("2003-02-17 25:00:00")},
        {"2003-02-17x", QStringLiteral("2003-02-17x")},
        {"2003-02-17 10:15:00 +01:00", QStringLiteral("2003-02-17 10:15:00 +01:00")},
        {"10:15:00.", QStringLiteral("10:15:00.")},
        {"2452687.5", QStringLiteral("2452687.5")},
        {"nada", QStringLiteral("nada")},
        {"", QString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const QVariant cell = utility::dateCellFromText(QString::fromLatin1(c.text));
        EXPECT_EQ(cell.metaType(), c.cell.metaType());
        EXPECT_EQ(cell, c.cell);
    }
}
