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
        QLocale::setDefault(QLocale::c());
        LookupWindowTest::TearDown();
    }
};

}  // namespace

TEST_F(Quantities, InsertDeleteAndTheQuantityPromptWriteTheirTexts) {
    auto& win = open(/*cantidades=*/true);
    select(1);
    key(Qt::Key_Insert);
    EXPECT_EQ(quantity(1), QStringLiteral("1.0"));
    EXPECT_TRUE(ticked(1));
    key(Qt::Key_Insert);
    EXPECT_EQ(quantity(1), QStringLiteral("2.0"));

    const struct {
        const char* answer;
        const char* cell;
    } answers[] = {{"3", "3.00"}, {"2.5", "2.50"}, {"0", "0.######"}, {"", "0.######"}, {"abc", "0.######"},
                   {"12abc", "12abc"}, {"1.04", "1.04"}};
    for (const auto& a : answers) {
        SCOPED_TRACE(a.answer);
        prompter.answerInput(QString::fromLatin1(a.answer));
        win.ListView1->items().setChecked(win.ListView1->items().storageRow(0), false);
        key(Qt::Key_Insert, Qt::ShiftModifier);
        EXPECT_EQ(quantity(1), QString::fromLatin1(a.cell));
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
    prompter.answerInput(QStringLiteral("2.5"));
    key(Qt::Key_Insert, Qt::ShiftModifier);
    win.ListView1->items().setChecked(win.ListView1->items().storageRow(2), false);
    key(Qt::Key_Delete);  // 2.50 less one: 1.5, and lowering never ticks
    EXPECT_EQ(quantity(3), QStringLiteral("1.5"));
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

TEST_F(Quantities, CharactersGoToTheActiveSearchBox) {
    auto& win = open();
    const struct {
        int key;
        Qt::KeyboardModifiers modifiers;
        QString appended;
    } keys[] = {
        {Qt::Key_A, Qt::NoModifier, QStringLiteral("A")},       // letters in capitals
        {Qt::Key_B, Qt::ShiftModifier, QStringLiteral("B")},
        {Qt::Key_1, Qt::KeypadModifier, QStringLiteral("a")},   // keypad 1 is code 97
        {Qt::Key_0, Qt::KeypadModifier, QString()},            // keypad 0: nothing
        {Qt::Key_7, Qt::NoModifier, QStringLiteral("7")},
        {Qt::Key_F1, Qt::NoModifier, QStringLiteral("p")},
        {Qt::Key_Backspace, Qt::NoModifier, QString(QChar(8))},  // nothing deleted
        {Qt::Key_Space, Qt::NoModifier, QStringLiteral(" ")},
        {Qt::Key_Left, Qt::NoModifier, QString()},
    };
    QString expected;
    for (const auto& k : keys) {
        SCOPED_TRACE(k.key);
        w->ListView1->setFocus();
        key(k.key, k.modifiers);
        expected += k.appended;
        EXPECT_EQ(win.CmbSearch[0]->currentText(), expected);
        if (!k.appended.isEmpty()) EXPECT_TRUE(win.CmbSearch[0]->hasFocus());
    }
    win.CmbSearch[2]->setFocus();  // the box that last had the focus gets the next ones
    w->ListView1->setFocus();
    key(Qt::Key_C);
    EXPECT_EQ(win.CmbSearch[2]->currentText(), QStringLiteral("C"));
    EXPECT_EQ(selected(), QStringLiteral("4"));  // and it searches: RUBRO c
}
