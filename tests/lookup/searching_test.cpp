// Searching as the user types, the pop-up menu of a search box, and header sorting.
#include "window_fixture.h"

#include <QCursor>
#include <QHeaderView>
#include <QMenu>
#include <QScreen>
#include <QTimer>
#include <gtest/gtest.h>

using testsupport::LookupWindowTest;

namespace {
class Searching : public LookupWindowTest {};
}  // namespace

TEST_F(Searching, TypingSelectsTheFirstRowThatStartsWithTheText) {
    auto& win = open();
    QComboBox* box1 = win.CmbSearch[1];
    box1->setFocus();
    // Displayed order by the first column: 1 Cama, 2 "  cañO", 3 casa, 4 arco, 5 Casa.
    QTest::keyClicks(box1, QStringLiteral("CA"));
    EXPECT_EQ(selected(), QStringLiteral("1"));  // case ignored
    box1->lineEdit()->insert(QStringLiteral("ñ"));  // typed through the input method: no key code
    EXPECT_EQ(selected(), QStringLiteral("2"));  // leading spaces of the cell ignored
    EXPECT_TRUE(box1->hasFocus());  // the focus stays in the box
    QTest::keyClicks(box1, QStringLiteral("xyz"));
    EXPECT_EQ(selected(), QStringLiteral("2"));  // no match: the selection stays
    win.CmbSearch[1]->setEditText(QStringLiteral("   "));
    EXPECT_EQ(selected(), QStringLiteral("1"));  // blank: the first row

    int32_t column = 1;
    QString text = QStringLiteral("  CA ");
    EXPECT_EQ(win.Busqueda(column, text), 1);
    EXPECT_EQ(win.ListView1->itemText(1), QStringLiteral("1"));  // Cama
    win.ListView1_ColumnClick(2);  // by the names, descending: casa, Casa, Cama, arco, "  cañO"
    EXPECT_EQ(win.Busqueda(column, text), 1);
    EXPECT_EQ(win.ListView1->itemText(1), QStringLiteral("3"));  // the same text finds another row
    text = QStringLiteral("casas");
    EXPECT_EQ(win.Busqueda(column, text), 0);

    QString caption = QStringLiteral(" nombre ");
    EXPECT_EQ(win.IndiceColumna(caption), 2);
    caption = QStringLiteral("NADA");
    EXPECT_EQ(win.IndiceColumna(caption), 0);
}

TEST_F(Searching, HeaderClicksFlipTheOrderOnEveryClick) {
    auto& win = open();
    auto codes = [&] {
        QString s;
        for (qsizetype p = 1; p <= 5; ++p) s += win.ListView1->itemText(p);
        return s;
    };
    EXPECT_EQ(codes(), QStringLiteral("12345"));  // sorted by the first column ascending at load
    QHeaderView* header = win.ListView1->horizontalHeader();
    auto click = [&](int section) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(section) + 5, header->height() / 2));
    };
    click(2);
    EXPECT_EQ(codes(), QStringLiteral("43512"));  // RUBRO descending: c, b b, a a (equal cells keep their order)
    click(2);
    EXPECT_EQ(codes(), QStringLiteral("12354"));  // ascending: a a, b b, c
    click(2);
    EXPECT_EQ(codes(), QStringLiteral("43512"));
    click(0);
    EXPECT_EQ(codes(), QStringLiteral("12345"));  // another header after a descending sort: ascending
    EXPECT_EQ(win.ListView1->sortKey(), 0);
}

TEST_F(Searching, F5FillsTheDropDownWithTheColumnAsShownOrLeavesIt) {
    auto& win = open();
    QAction* pick = nullptr;
    win.mostrarMenu = [&](QMenu& menu) {
        EXPECT_EQ(menu.actions().size(), 3);
        if (pick) pick->trigger();
    };
    QComboBox* box2 = win.CmbSearch[2];
    pick = win.MNU_Cancelar;
    QTest::keyClick(box2, Qt::Key_F5);
    EXPECT_EQ(win.CmbSearch[2]->count(), 0);

    pick = win.MNU_Llena;
    QTest::keyClick(box2, Qt::Key_F5);
    QStringList entries;
    for (int i = 0; i < win.CmbSearch[2]->count(); ++i) entries << win.CmbSearch[2]->itemText(i);
    EXPECT_EQ(entries, (QStringList{"a", "a", "b", "c", "b"}));  // every row, in the displayed order
    EXPECT_EQ(win.CmbSearch[2]->currentText(), QString());

    pick = win.MNU_Cancelar;
    QTest::keyClick(box2, Qt::Key_F5);
    EXPECT_EQ(win.CmbSearch[2]->count(), 5);  // Cancelar leaves the list as it was

    win.CmbSearch[2]->setCurrentIndex(3);  // picking "c" searches like typing it
    EXPECT_EQ(selected(), QStringLiteral("4"));

    // A filled box never completes what is typed: the window's search is the only one.
    QComboBox* box1 = win.CmbSearch[1];
    pick = win.MNU_Llena;
    QTest::keyClick(box1, Qt::Key_F5);
    ASSERT_EQ(box1->count(), 5);
    box1->setFocus();
    QTest::keyClicks(box1, QStringLiteral("cas"));
    EXPECT_EQ(box1->currentText(), QStringLiteral("cas"));
    EXPECT_EQ(selected(), QStringLiteral("3"));
}

TEST_F(Searching, F5OpensTheMenuAtTheMousePositionReadyForEnter) {
    auto& win = open();
    QComboBox* box1 = win.CmbSearch[1];
    box1->setFocus();
    const QPoint mouse = win.screen()->availableGeometry().topLeft() + QPoint(40, 30);
    QCursor::setPos(mouse);
    ASSERT_EQ(QCursor::pos(), mouse);
    QPoint shownAt;
    QAction* ready = nullptr;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        shownAt = menu->pos();
        ready = menu->activeAction();
        QTest::keyClick(menu, Qt::Key_Return);
    });
    QTest::keyClick(box1, Qt::Key_F5);
    EXPECT_EQ(shownAt, mouse);  // not under the box
    EXPECT_NE(shownAt, box1->mapToGlobal(QPoint(0, box1->height())));
    EXPECT_EQ(ready, win.MNU_Llena);
    EXPECT_EQ(box1->count(), 5);  // Enter took the first item
}

TEST_F(Searching, NavigationKeysInABoxHandOverToTheList) {
    auto& win = open();
    select(2);
    QComboBox* box0 = win.CmbSearch[0];
    box0->setFocus();
    EXPECT_EQ(win.indiceCampoActivo(), 0);
    QTest::keyClick(box0, Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), win.ListView1);
    EXPECT_EQ(selected(), QStringLiteral("2"));  // the window's own handling moves nothing
}
