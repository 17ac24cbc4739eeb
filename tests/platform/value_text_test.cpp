// A value as the user reads it, in the C locale and in the users' Spanish one.
#include "platform/number_format.h"
#include "platform/value_text.h"

#include <QDateTime>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using platform::ColumnKind;

namespace {

const QLocale kC = QLocale::c();
const QLocale kSpanish(QStringLiteral("es_AR"));

struct Case {
    const char* what;
    QVariant value;
    ColumnKind kind;
    const char* inC;
    const char* inSpanish;
};

QString text(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace

TEST(ValueText, EachKindOfValueReadsAsThePlatformWritesIt) {
    const QDate day(2003, 2, 17);
    const Case cases[] = {
        // Floating values: fixed notation from 1E-04 up to 15 digits, the exponent beyond.
        {"100000", 100000.0, ColumnKind::Plain, "100000", "100000"},
        {"0.0005", 0.0005, ColumnKind::Plain, "0.0005", "0,0005"},
        {"0.0001", 0.0001, ColumnKind::Plain, "0.0001", "0,0001"},
        {"0.00001", 0.00001, ColumnKind::Plain, "1E-05", "1E-05"},
        {"1.5e-7", 1.5e-7, ColumnKind::Plain, "1.5E-07", "1,5E-07"},
        {"1234.5", 1234.5, ColumnKind::Plain, "1234.5", "1234,5"},
        {"-0.5", -0.5, ColumnKind::Plain, "-0.5", "-0,5"},
        {"1e16", 1e16, ColumnKind::Plain, "1E+16", "1E+16"},
        {"1e15", 1e15, ColumnKind::Plain, "1E+15", "1E+15"},
        {"15 nines", 999999999999999.0, ColumnKind::Plain, "999999999999999", "999999999999999"},
        {"rounds up to 1E+15", 999999999999999.9, ColumnKind::Plain, "1E+15", "1E+15"},
        {"17 digits", 123456789012345678.0, ColumnKind::Plain, "1.23456789012346E+17", "1,23456789012346E+17"},
        {"0.1 + 0.2", 0.1 + 0.2, ColumnKind::Plain, "0.3", "0,3"},
        {"2/3", 2.0 / 3.0, ColumnKind::Plain, "0.666666666666667", "0,666666666666667"},
        {"1e300", 1e300, ColumnKind::Plain, "1E+300", "1E+300"},
        {"negative zero", -0.0, ColumnKind::Plain, "0", "0"},
        {"infinity", std::numeric_limits<double>::infinity(), ColumnKind::Plain, "1.#INF", "1,#INF"},
        {"single 0.1", QVariant(0.1f), ColumnKind::Plain, "0.1", "0,1"},
        {"single, 8 digits", QVariant(12345678.0f), ColumnKind::Plain, "1.234568E+07", "1,234568E+07"},
        // Integers: every digit, never grouped.
        {"64-bit", QVariant(qlonglong(12345678901234567)), ColumnKind::Plain, "12345678901234567", "12345678901234567"},
        {"negative int", QVariant(-5), ColumnKind::Plain, "-5", "-5"},
        // Exact numbers: every digit, no trailing zeros after the point.
        {"money", QStringLiteral("1234.5000"), ColumnKind::ExactNumber, "1234.5", "1234,5"},
        {"no leading zero", QStringLiteral("-.50"), ColumnKind::ExactNumber, "-0.5", "-0,5"},
        {"decimal(38,10)", QStringLiteral("1234567890123456789012345678.0123456789"), ColumnKind::ExactNumber,
         "1234567890123456789012345678.0123456789", "1234567890123456789012345678,0123456789"},
        {"17 digits exact", QStringLiteral("12345678901234567"), ColumnKind::ExactNumber, "12345678901234567",
         "12345678901234567"},
        {"SQLite's exponent", QStringLiteral("1.0e+16"), ColumnKind::ExactNumber, "10000000000000000", "10000000000000000"},
        {"small exponent", QStringLiteral("1.5e-3"), ColumnKind::ExactNumber, "0.0015", "0,0015"},
        {"zeros", QStringLiteral("-0.000"), ColumnKind::ExactNumber, "0", "0"},
        {"leading zeros", QStringLiteral("007.10"), ColumnKind::ExactNumber, "7.1", "7,1"},
        {"no number", QStringLiteral("n/a"), ColumnKind::ExactNumber, "n/a", "n/a"},
        {"half a number", QStringLiteral("12.5x"), ColumnKind::ExactNumber, "12.5x", "12.5x"},
        {"exact integer", QVariant(qlonglong(42)), ColumnKind::ExactNumber, "42", "42"},
        // Text stays as it is, numbers in it included.
        {"text", QStringLiteral("  1234.5 "), ColumnKind::Plain, "  1234.5 ", "  1234.5 "},
        {"text in a date column", QStringLiteral("nada"), ColumnKind::Date, "nada", "nada"},
        // Dates: the short date, the time when not midnight, the time alone on the zero date.
        {"date", day, ColumnKind::Date, "17 Feb 2003", "17/2/03"},
        {"date and time", QDateTime(day, QTime(10, 15), Qt::UTC), ColumnKind::Date, "17 Feb 2003 10:15:00",
         "17/2/03 10:15:00"},
        {"midnight", QDateTime(day, QTime(0, 0), Qt::UTC), ColumnKind::Date, "17 Feb 2003", "17/2/03"},
        {"to the second", QDateTime(day, QTime(0, 0, 0, 997), Qt::UTC), ColumnKind::Date, "17 Feb 2003", "17/2/03"},
        {"time", QTime(10, 15), ColumnKind::Date, "10:15:00", "10:15:00"},
        {"time at midnight", QTime(0, 0), ColumnKind::Date, "00:00:00", "00:00:00"},
        {"zero date", QDateTime(platform::zeroDate(), QTime(10, 15, 30), Qt::UTC), ColumnKind::Date, "10:15:30",
         "10:15:30"},
        {"zero date alone", platform::zeroDate(), ColumnKind::Date, "00:00:00", "00:00:00"},
        // Booleans in the user's language; binary values and Null show nothing.
        {"true", true, ColumnKind::Boolean, "True", "Verdadero"},
        {"false", false, ColumnKind::Boolean, "False", "Falso"},
        {"bit as a number", QVariant(qlonglong(1)), ColumnKind::Boolean, "True", "Verdadero"},
        {"binary", QByteArray("\x01\x02", 2), ColumnKind::Plain, "", ""},
        {"Null", QVariant(), ColumnKind::Plain, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(platform::valueText(c.value, c.kind, kC), text(c.inC));
        EXPECT_EQ(platform::valueText(c.value, c.kind, kSpanish), text(c.inSpanish));
    }
}

TEST(ValueText, AFloatingValueReadsBackAsItselfToFifteenDigits) {
    // Whatever its magnitude, the text reads back (C locale) as the value rounded to 15
    // significant digits: no digit lost or made up, the exponent where it belongs.
    for (double v : {1.0, 3.14159265358979, 1.0 / 3, 6.02214076e23, 1.602176634e-19, 0.00012345, 9.87654321e-5,
                     123456789.12345679, 5e-324, 1.2345e308}) {
        for (double s : {1.0, -1.0}) {
            const double value = v * s;
            const QString shown = platform::valueText(value, ColumnKind::Plain, kC);
            SCOPED_TRACE(shown.toStdString());
            bool ok = false;
            const double back = kC.toDouble(shown, &ok);
            ASSERT_TRUE(ok);
            EXPECT_EQ(back, QString::number(value, 'e', 14).toDouble());
            const int exponent = int(std::floor(std::log10(std::fabs(back))));
            EXPECT_EQ(shown.contains(u'E'), exponent < -4 || exponent >= 15);
            EXPECT_EQ(platform::valueText(value, ColumnKind::Plain, kSpanish), QString(shown).replace(u'.', u','));
        }
    }
}

TEST(Format, KeepsTheSignOfANegativeValueThatRoundsToZero) {
    const struct {
        double value;
        const char* pattern;
        const char* shown;  // with a period; the user's separator stands in for it
    } cases[] = {
        {-0.04, "########0.0", "-0.0"},   {0.04, "########0.0", "0.0"},    {-0.0, "########0.0", "0.0"},
        {0.0, "########0.00", "0.00"},    {-0.004, "########0.00", "-0.00"}, {-1.25, "########0.00", "-1.25"},
        {-1.0, "########0.0", "-1.0"},    {12345678901.5, "########0.0", "12345678901.5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(platform::Format(c.value, QString::fromLatin1(c.pattern)),
                  QString::fromLatin1(c.shown).replace(u'.', QLocale().decimalPoint()));
    }
}
