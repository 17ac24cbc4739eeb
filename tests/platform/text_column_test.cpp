// A column of texts: rows appended, grown, cut and shortened in place read back as a plain
// list of the same texts would.
#include "platform/runtime_error.h"
#include "platform/text_column.h"
#include "platform/text_rules.h"
#include "support/expect_runtime_error.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

QStringList rowsOf(const platform::TextColumn& column) {
    QStringList rows;
    for (qsizetype r = 0; r < column.size(); ++r) rows << column.at(r).toString();
    return rows;
}

TEST(TextColumn, RowsReadBackAsAppendedGrownAndCut) {
    const QStringList texts{QStringLiteral("uno"), QString(), QStringLiteral("  tres "), QStringLiteral("ñandú")};
    struct Case {
        const char* what;
        void (*change)(platform::TextColumn&);
        QStringList expected;
    };
    const Case cases[] = {
        {.what = "appended", .change = [](platform::TextColumn&) {}, .expected = texts},
        {.what = "empty rows", .change = [](platform::TextColumn& c) { c.appendEmpty(2); },
         .expected = texts + QStringList{QString(), QString()}},
        {.what = "last row grown", .change = [](platform::TextColumn& c) { c.extendLast(u" y más"); },
         .expected = QStringList{texts[0], texts[1], texts[2], QStringLiteral("ñandú y más")}},
        {.what = "cut to two", .change = [](platform::TextColumn& c) { c.truncate(2); }, .expected = texts.mid(0, 2)},
        {.what = "cut past the end", .change = [](platform::TextColumn& c) { c.truncate(9); }, .expected = texts},
        {.what = "cut then appended", .change = [](platform::TextColumn& c) { c.truncate(1);
                                               c.append(u"dos"); },
         .expected = QStringList{texts[0], QStringLiteral("dos")}},
        {.what = "trimmed in place",
         .change = [](platform::TextColumn& c) { c.keepParts([](QStringView t) { return platform::TrimView(t); }); },
         .expected = QStringList{texts[0], texts[1], QStringLiteral("tres"), texts[3]}},
        {.what = "cleared", .change = [](platform::TextColumn& c) { c.clear(); }, .expected = {}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        platform::TextColumn column;
        column.reserve(4, 16);
        for (const QString& t : texts) column.append(t);
        k.change(column);
        column.squeeze();
        EXPECT_EQ(rowsOf(column), k.expected);
        qsizetype chars = 0;
        for (const QString& t : k.expected) chars += t.size();
        EXPECT_EQ(column.charCount(), chars);
    }
}

// Past 4 Gi characters the offsets would wrap: growing there is refused (error 7, out of
// memory) before a character is read, and the column stays as it was.
TEST(TextColumn, GrowingPastItsLimitIsRefusedAndLeavesTheColumnAsItWas) {
    const char16_t one[] = u"x";
    const QStringView tooLong(one, platform::TextColumn::kMaxChars + 1);  // never read
    for (bool extend : {false, true}) {
        SCOPED_TRACE(extend ? "last row grown" : "row appended");
        platform::TextColumn column;
        column.append(u"uno");
        testsupport::expectRuntimeError(platform::kOutOfMemory, [&] { extend ? column.extendLast(tooLong) : column.append(tooLong); });
        EXPECT_EQ(rowsOf(column), QStringList{QStringLiteral("uno")});
        EXPECT_EQ(column.charCount(), 3);
    }
}

}  // namespace
