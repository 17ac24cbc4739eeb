// The list's keys: confirmation, quantities, characters passed on to the search box.
#include "lookup/cantidades.h"
#include "window_fixture.h"

#include <QLocale>
#include <gtest/gtest.h>

using testsupport::LookupWindowTest;

namespace {

class Quantities : public LookupWindowTest {
protected:
    void TearDown() override {
        QLocale::setDefault(userLocale);
        LookupWindowTest::TearDown();
    }
    const QLocale userLocale;
};

}  // namespace

TEST_F(Quantities, InsertDeleteAndTheQuantityPromptWriteTheirTexts) {
    auto& win = open(/*cantidades=*/true);
    select(1);
    key(Qt::Key_Insert);
    EXPECT_EQ(quantity(1), n("1.0"));
    EXPECT_TRUE(ticked(1));
    key(Qt::Key_Insert);
    EXPECT_EQ(quantity(1), n("2.0"));

    const struct {
        const char* answer;
        const char* cell;
    } answers[] = {{"3", "3.00"}, {"2.5", "2.50"}, {"0", "0.######"}, {"", "0.######"}, {"abc", "0.######"},
                   {"12abc", "12abc"}, {"1.04", "1.04"}};
    // Answers typed with the locale's separator; "0.######" and "12abc" are no numbers.
    for (const auto& a : answers) {
        SCOPED_TRACE(a.answer);
        prompter.answerInput(n(a.answer));
        win.ListView1->items().setChecked(win.ListView1->items().storageOf(platform::ShownRow{0}), false);
        key(Qt::Key_Insert, Qt::ShiftModifier);
        EXPECT_EQ(quantity(1), QString::fromLatin1(a.cell).startsWith(u"0.#") ? QString::fromLatin1(a.cell) : n(a.cell));
        EXPECT_TRUE(ticked(1));
    }
    EXPECT_EQ(prompter.inputPrompts.back(), QStringLiteral("Ingrese la Cantidad del Articulo..."));

    key(Qt::Key_Delete);  // 1.04 less one: 0.0 reads as 0
    EXPECT_EQ(quantity(1), QStringLiteral("0.00"));
    EXPECT_FALSE(ticked(1));

    select(2);
    key(Qt::Key_Delete);  // an empty cell: -1.0, read back as -1
    EXPECT_EQ(quantity(2), QStringLiteral("0.00"));
    EXPECT_FALSE(ticked(2));

    select(3);
    prompter.answerInput(n("2.5"));
    key(Qt::Key_Insert, Qt::ShiftModifier);
    win.ListView1->items().setChecked(win.ListView1->items().storageOf(platform::ShownRow{2}), false);
    key(Qt::Key_Delete);  // 2.50 less one: 1.5, and lowering never ticks
    EXPECT_EQ(quantity(3), n("1.5"));
    EXPECT_FALSE(ticked(3));

    // Modifiers that match no rule do nothing.
    select(4);
    for (Qt::KeyboardModifiers m : {Qt::KeyboardModifiers(Qt::ControlModifier), Qt::ShiftModifier | Qt::ControlModifier, Qt::KeyboardModifiers(Qt::AltModifier)}) {
        key(Qt::Key_Insert, m);
        key(Qt::Key_Delete, m);
    }
    EXPECT_EQ(quantity(4), QString());
    EXPECT_FALSE(ticked(4));
}

TEST_F(Quantities, WithoutQuantitiesInsertAndDeleteDoNothing) {
    auto& win = open(/*cantidades=*/false);
    select(1);
    key(Qt::Key_Insert);
    key(Qt::Key_Delete);
    key(Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_FALSE(ticked(1));
    EXPECT_TRUE(prompter.inputPrompts.isEmpty());
    EXPECT_EQ(win.ListView1->columnHeaderCount(), 3);
}

TEST_F(Quantities, UnderACommaLocaleCellsAreReadBackWithTheirSeparator) {
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
    EXPECT_EQ(lookup::leerCantidad(QStringLiteral("2,50")), 2.5);
    EXPECT_EQ(lookup::cantidadMasUno(QStringLiteral("2,50")), QStringLiteral("3,5"));
    EXPECT_EQ(lookup::cantidadMenosUno(QStringLiteral("2,50")), QStringLiteral("1,5"));
    EXPECT_EQ(lookup::cantidadPedida(QStringLiteral("2,5")), QStringLiteral("2,50"));
    EXPECT_EQ(lookup::cantidadPedida(QStringLiteral("0,5")), QStringLiteral("0,50"));
    EXPECT_EQ(lookup::cantidadPedida(QStringLiteral("0")), QStringLiteral("0.######"));

    auto& win = open(/*cantidades=*/true);
    select(1);
    prompter.answerInput(QStringLiteral("2,50"));
    key(Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(quantity(1), QStringLiteral("2,50"));
    key(Qt::Key_Insert);
    EXPECT_EQ(quantity(1), QStringLiteral("3,5"));
    (void)win;
}

TEST_F(Quantities, AnswersWithEitherSeparatorInTheUsersLocale) {
    // The locale's own separator makes a number; the other one is read by Val, which stops
    // at a comma, and the cell keeps the answer as typed.
    const bool comma = QLocale().decimalPoint() == u",";
    const struct {
        const char* answer;
        const char* cell;
        const char* raised;
    } cases[] = {
        {"2,5", comma ? "2,50" : "2,5", comma ? "3,5" : "3.0"},
        {"2.5", comma ? "2.5" : "2.50", comma ? "3,5" : "3.5"},
        {"0,5", comma ? "0,50" : "0.######", comma ? "1,5" : "1.0"},
        {"0.5", comma ? "0.5" : "0.50", comma ? "1,5" : "1.5"},
    };
    auto& win = open(/*cantidades=*/true);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        select(1);
        prompter.answerInput(QString::fromLatin1(c.answer));
        key(Qt::Key_Insert, Qt::ShiftModifier);
        EXPECT_EQ(quantity(1), QString::fromLatin1(c.cell));
        key(Qt::Key_Insert);
        EXPECT_EQ(quantity(1), QString::fromLatin1(c.raised));
    }
    (void)win;
}

TEST_F(Quantities, WithoutACurrentRowEachStepIsReportedAndNoPromptOpens) {
    auto& win = open(/*cantidades=*/true);
    win.ListView1->selectionModel()->clear();
    const struct {
        Qt::KeyboardModifiers modifiers;
        int key;
        int reports;  // one for each step that needs the current row
    } keys[] = {{Qt::ShiftModifier, Qt::Key_Insert, 3}, {Qt::NoModifier, Qt::Key_Insert, 3}, {Qt::NoModifier, Qt::Key_Delete, 2}};
    for (const auto& k : keys) {
        SCOPED_TRACE(k.key);
        prompter.boxes.clear();
        prompter.fallback = platform::vbIgnore;
        key(k.key, k.modifiers);
        EXPECT_EQ(prompter.boxes.size(), k.reports);
        for (const auto& box : prompter.boxes) EXPECT_TRUE(box.prompt.contains(QStringLiteral("ListView1_KeyDown")));
    }
    EXPECT_TRUE(prompter.inputPrompts.isEmpty());
    for (qsizetype p = 1; p <= 5; ++p) EXPECT_FALSE(ticked(p));
}
