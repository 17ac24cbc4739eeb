// Accept in single and multiple choice, as the calling program receives it.
#include "window_fixture.h"

#include <gtest/gtest.h>

using lookup::Coleccion;
using testsupport::LookupWindowTest;

namespace {

class Confirmation : public LookupWindowTest {
protected:
    static QStringList list(const Coleccion& c) { return c ? *c : QStringList{"<nothing>"}; }
    void tick(qsizetype position) {
        w->ListView1->items().setChecked(w->ListView1->storageOf(platform::Position{position}), true);
    }
};

}  // namespace

TEST_F(Confirmation, SingleChoiceReturnsTheCurrentRowsColumns) {
    const struct {
        QStringList cmps;
        bool hasCmps;
        const char* campo;
        QStringList valores;
        const char* valorDevuelto;
    } cases[] = {
        {{"CODIGO", "X", " rubro "}, true, "nombre", {"2", "2", "a"}, "  cañO"},  // X names no column: value repeats
        {{"RUBRO"}, true, "  ", {"a"}, "a"},   // blank: the last current value
        {{}, false, "", {}, ""},                // nothing at all: empty text
        {{"CODIGO"}, true, "NADA", {"2"}, "2"},  // a field that names no column leaves the value as it was
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.campo);
        auto& win = open(/*cantidades=*/true);
        select(2);
        key(Qt::Key_Insert);
        win.CmpsDevueltos = c.hasCmps ? std::make_shared<QStringList>(c.cmps) : Coleccion();
        win.CampoDevuelto = QString::fromUtf8(c.campo);
        win.CmdAceptar_Click();
        EXPECT_EQ(list(win.Valores), c.valores);
        ASSERT_TRUE(win.ValorDevuelto);
        EXPECT_EQ(*win.ValorDevuelto, QString::fromUtf8(c.valorDevuelto));
        EXPECT_EQ(list(win.Cantidades), QStringList{n("1.0")});
        EXPECT_FALSE(win.isVisible());
    }
}

TEST_F(Confirmation, SingleChoiceWithoutACurrentRowReturnsNothing) {
    auto& win = open(true);
    win.ListView1->selectionModel()->clear();
    win.CampoDevuelto = QStringLiteral("CODIGO");
    win.CmdAceptar_Click();
    EXPECT_FALSE(win.ValorDevuelto);
    EXPECT_TRUE(win.Valores->isEmpty());
    EXPECT_TRUE(win.Cantidades->isEmpty());
    EXPECT_FALSE(win.isVisible());
}

TEST_F(Confirmation, MultipleChoiceReturnsTickedRowsInListOrder) {
    auto& win = open(/*cantidades=*/true, /*checks=*/true);
    select(5);
    prompter.answerInput(QStringLiteral("0"));
    key(Qt::Key_Insert, Qt::ShiftModifier);  // row 5 ticked with "0.######"
    tick(2);                                 // ticked, quantity never set
    select(1);                               // current but not ticked: not returned
    win.CmdAceptar_Click();
    EXPECT_EQ(win.CampoDevuelto, QStringLiteral("CODIGO"));  // empty: the first column
    EXPECT_EQ(list(win.Valores), (QStringList{"2", "5"}));
    EXPECT_EQ(list(win.Cantidades), (QStringList{"", "0.######"}));
    EXPECT_FALSE(win.ValorDevuelto);

    auto& none = open(true, true);
    none.CampoDevuelto = QStringLiteral("   ");  // spaces are not empty here
    none.CmdAceptar_Click();
    EXPECT_EQ(none.CampoDevuelto, QStringLiteral("   "));
    EXPECT_TRUE(none.Valores->isEmpty());
}

TEST_F(Confirmation, AFailingRowIsReportedAndTheAnswerDecides) {
    auto& win = open(/*cantidades=*/false, /*checks=*/true);
    tick(1);
    tick(3);
    win.CampoDevuelto = QStringLiteral("NO_COLUMN");  // every ticked row fails to give its value
    prompter.answer({platform::vbIgnore, platform::vbIgnore});
    win.CmdAceptar_Click();
    EXPECT_EQ(list(win.Valores), (QStringList{"", ""}));  // the current value left over: empty
    ASSERT_EQ(prompter.boxes.size(), 2);
    EXPECT_TRUE(prompter.boxes.front().prompt.contains(QStringLiteral("CmdAceptar_Click")));
    EXPECT_FALSE(win.isVisible());

    // A confirmation that stops leaves the window open; a second one appends after the first.
    auto& again = open(false, true);
    tick(1);
    tick(3);
    again.CampoDevuelto = QStringLiteral("NOMBRE");
    again.Valores->append(QStringLiteral("before"));
    again.CampoDevuelto = QStringLiteral("NO_COLUMN");
    prompter.answer({platform::vbAbort});
    again.CmdAceptar_Click();
    EXPECT_TRUE(again.isVisible());
    again.CampoDevuelto = QStringLiteral("NOMBRE");
    again.CmdAceptar_Click();
    EXPECT_EQ(list(again.Valores), (QStringList{"before", "Cama", "casa"}));
}

TEST_F(Confirmation, EnterAndDoubleClickConfirmOnce) {
    for (Qt::KeyboardModifier modifiers : {Qt::NoModifier, Qt::ShiftModifier, Qt::ControlModifier}) {
        auto& win = open(true);
        select(3);
        win.CmpsDevueltos = std::make_shared<QStringList>(QStringList{"CODIGO"});
        key(Qt::Key_Return, modifiers);
        EXPECT_EQ(list(win.Valores), QStringList{"3"});  // once, though Aceptar is the default button
        EXPECT_FALSE(win.isVisible());
    }
    auto& win = open();
    win.CmpsDevueltos = std::make_shared<QStringList>(QStringList{"NOMBRE"});
    const QRect row = win.ListView1->visualRect(win.ListView1->items().index(3, 1));
    QTest::mouseClick(win.ListView1->viewport(), Qt::LeftButton, {}, row.center());
    QTest::mouseDClick(win.ListView1->viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(list(win.Valores), QStringList{"arco"});
    EXPECT_FALSE(win.isVisible());
}

TEST_F(Confirmation, ADoubleClickOnTheEmptyPartOfTheListConfirmsTheCurrentRow) {
    auto& win = open();
    select(2);
    win.CmpsDevueltos = std::make_shared<QStringList>(QStringList{"CODIGO"});
    const QRect last = win.ListView1->visualRect(win.ListView1->items().index(4, 0));
    const QPoint below(last.center().x(), last.bottom() + 2 * last.height());
    ASSERT_LT(below.y(), win.ListView1->viewport()->height());
    QTest::mouseDClick(win.ListView1->viewport(), Qt::LeftButton, {}, below);
    EXPECT_EQ(list(win.Valores), QStringList{"2"});
    EXPECT_FALSE(win.isVisible());
}

TEST_F(Confirmation, CheckBoxesWithoutColumnsReportInsteadOfEndingTheProgram) {
    auto& win = open(/*cantidades=*/false, /*checks=*/true);
    win.ListView1->clearColumns();  // what a statement that failed leaves
    prompter.answer({platform::vbIgnore});
    key(Qt::Key_Return);
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_TRUE(prompter.boxes.front().prompt.contains(QStringLiteral("CmdAceptar_Click")));
    EXPECT_TRUE(win.Valores->isEmpty());
    EXPECT_FALSE(win.isVisible());
}
