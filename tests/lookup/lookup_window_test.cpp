#include "lookup_fixture.h"
#include "platform/twips.h"
#include "support/odbc_file_name.h"
#include "support/scripted_prompter.h"
#include "utility/library.h"

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QFontMetricsF>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <gtest/gtest.h>

using namespace lookup;
using testsupport::LookupTest;
using testsupport::runSql;

namespace {
class LookupWindow : public LookupTest {};
}  // namespace

TEST_F(LookupWindow, ResizingAndScrollingMoveTheControlsInTwips) {
    Coleccion cmps;
    QString campo;
    lookupWith(QStringLiteral("V_MA_ARTICULOS"), cmps, QString(), campo, [&](Lib_FrmCons2& w) {
        const double dpi = w.logicalDpiX();
        // The handler works on the outer size, borders included.
        const QSize borders = w.frameGeometry().size() - w.size();
        w.resize(QSize(platform::twipsToPixels(9000, dpi), platform::twipsToPixels(6000, dpi)) - borders);
        ASSERT_EQ(w.anchoVentana(), 9000);
        const auto panel = w.twipsDe(w.picFields);
        const auto list = w.twipsDe(w.ListView1);
        EXPECT_EQ(panel.width, 8880);
        EXPECT_EQ(panel.height, 5265);
        EXPECT_EQ(list.width, 8860);
        EXPECT_EQ(list.height, 4410);
        EXPECT_EQ(w.twipsDe(w.Frame1).top, 5325);
        EXPECT_EQ(w.twipsDe(w.HScroll1).top, 5265 - 255 - 120);
        EXPECT_EQ(w.twipsDe(w.Frame1).left, 4500 - 4935 / 2.0);

        w.HScroll1->setValue(1200);
        EXPECT_EQ(w.twipsDe(w.picFields).left, -1200);
        EXPECT_EQ(w.picFields->x(), platform::twipsToPixels(-1200, dpi));
        w.HScroll1->setValue(0);
        EXPECT_EQ(w.twipsDe(w.picFields).left, 0);

        w.resize(10, 10);  // too small: the failing steps are skipped, nothing breaks
        EXPECT_GE(w.twipsDe(w.picFields).height, 0);
        w.CmdCancelar_Click();
    });
}

TEST_F(LookupWindow, TheListModelKeepsItsContract) {
    Lib_FrmCons2 w;
    auto& items = w.ListView1->items();
    QAbstractItemModelTester tester(&items, QAbstractItemModelTester::FailureReportingMode::Warning);
    w.ListView1->addColumn(QString(), QStringLiteral("A"), 1000);
    w.ListView1->addColumn(QString(), QStringLiteral("B"), 1000);
    items.beginLoad();
    for (int i = 0; i < 50; ++i) {
        const platform::StorageRow row = items.appendRow();
        items.setCell(row, 0, QStringLiteral("fila %1").arg(49 - i));
        items.setCell(row, 1, QString::number(i % 3));
    }
    items.endLoad();
    w.ListView1->setCheckboxes(true);
    w.ListView1->setSorted(true);
    EXPECT_EQ(w.ListView1->itemText(1), QStringLiteral("fila 0"));
    w.ListView1->setSortKey(1);
    w.ListView1->setSortOrder(1);  // by B descending; stable: equal cells keep the previous order
    EXPECT_EQ(w.ListView1->subItem(1, 1), QStringLiteral("2"));
    EXPECT_EQ(w.ListView1->itemText(1), QStringLiteral("fila 11"));
    items.setChecked(items.storageOf(platform::ShownRow{0}), true);
    items.setCell(items.storageOf(platform::ShownRow{0}), 1, QStringLiteral("9.5"));
    EXPECT_EQ(w.ListView1->subItem(1, 1), QStringLiteral("9.5"));
    EXPECT_EQ(items.data(items.index(0, 0), Qt::CheckStateRole), Qt::Checked);
    EXPECT_FALSE(items.setData(items.index(0, 1), QStringLiteral("edited"), Qt::EditRole));  // never edited in place
    items.appendRow();
    items.clear();
    EXPECT_EQ(items.rowCount(), 0);
}

TEST_F(LookupWindow, SortingComparesTextIgnoringCase) {
    Lib_FrmCons2 w;
    auto& items = w.ListView1->items();
    w.ListView1->addColumn(QString(), QStringLiteral("A"), 1000);
    items.beginLoad();
    for (const char* t : {"b", "10", "A", "9", "a", "B"}) items.setCell(items.appendRow(), 0, QString::fromLatin1(t));
    items.endLoad();
    w.ListView1->setSorted(true);
    QStringList shown;
    for (int p = 1; p <= 6; ++p) shown << w.ListView1->itemText(p);
    EXPECT_EQ(shown, (QStringList{"10", "9", "A", "a", "b", "B"}));  // text order; equal letters stay in load order
}

TEST_F(LookupWindow, TextResultsLoadInOneStrokeExactlyAsRowByRow) {
    runSql(db, {QStringLiteral("CREATE TABLE T (A VARCHAR(10), B VARCHAR(10), C VARCHAR(10), N INT)"),
                QStringLiteral("INSERT INTO T VALUES ('  a b  ', ' x\ty\n', NULL, 1), (NULL, '', '  ', 2), "
                               "('   ', 'ñ\r', 'z ', 3), ('q', NULL, 'w', 4)")});
    auto cellsOf = [&](const QString& sql) {
        Lib_FrmCons2 w;
        w.SQL = sql;
        w.UsaCantidades = true;
        w.Form_Load();
        QStringList cells;
        for (qsizetype p = 1; p <= w.ListView1->items().count(); ++p)
            for (int c = 0; c < 3; ++c) cells << w.ListView1->cellView(p, c).toString();
        EXPECT_EQ(w.ListView1->columnHeader(w.ListView1->columnHeaderCount()).text, QStringLiteral("**Cantidad**"));
        for (qsizetype p = 1; p <= w.ListView1->items().count(); ++p)
            EXPECT_EQ(w.ListView1->subItem(p, w.ListView1->columnHeaderCount() - 1), QString());
        return cells;
    };
    // Text only: taken over in one stroke; with a number column: copied row by row.
    const QStringList whole = cellsOf(QStringLiteral("SELECT A, B, C FROM T"));
    const QStringList byRow = cellsOf(QStringLiteral("SELECT A, B, C, N FROM T"));
    EXPECT_EQ(whole, byRow);
    EXPECT_EQ(whole, (QStringList{"", "", "  ", "", "ñ ", "z ", "a b", " x y ", "", "q", "", "w"}));
}

TEST_F(LookupWindow, TheScrollBarMovesTheStripByACharacterAndByWhatTheWindowShows) {
    // Texts without a length, or of (MAX), are as wide as the widest column the rules make.
    runSql(db, {QStringLiteral("CREATE TABLE ANCHA (A VARCHAR(300), B [NVARCHAR(MAX)], C VARCHAR, D NVARCHAR(2000), "
                               "E \"VARCHAR(max)\")"),
                QStringLiteral("INSERT INTO ANCHA VALUES ('a', 'b', 'c', 'd', 'e')")});
    testsupport::ScriptedPrompter prompter;
    Lib_FrmCons2 w;
    w.SQL = QStringLiteral("SELECT A, B, C, D, E FROM ANCHA");
    w.Form_Load();
    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    ASSERT_TRUE(prompter.boxes.isEmpty());
    auto* list = w.ListView1;
    for (int c : {3, 4, 5}) EXPECT_EQ(list->columnHeader(c).width, list->columnHeader(2).width) << c;
    EXPECT_LT(list->columnHeader(1).width, list->columnHeader(2).width);

    QScrollBar* bar = w.HScroll1;
    const double tpp = platform::twipsPerPixel(w.logicalDpiX());
    ASSERT_EQ(bar->maximum(), 32700);
    EXPECT_EQ(bar->singleStep(), qRound(QFontMetricsF(w.font()).averageCharWidth() * tpp));
    EXPECT_GT(bar->singleStep(), 1);
    EXPECT_EQ(bar->pageStep(), qRound(w.width() * tpp));
    EXPECT_LT(bar->pageStep(), bar->maximum() / 2);

    // An arrow key on the bar: one step, and the strip follows; Right goes right.
    bar->setFocus();
    QTest::keyClick(bar, Qt::Key_Right);
    QTest::keyClick(bar, Qt::Key_Right);
    QTest::keyClick(bar, Qt::Key_Left);
    EXPECT_EQ(bar->value(), bar->singleStep());
    EXPECT_EQ(w.twipsDe(w.picFields).left, -bar->singleStep());
    // A click beside the thumb: one page.
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = Qt::Horizontal;
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    option.subControls = QStyle::SC_All;
    const QRect page = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarAddPage, bar);
    ASSERT_FALSE(page.isEmpty());
    QTest::mouseClick(bar, Qt::LeftButton, {}, page.center());
    EXPECT_EQ(bar->value(), bar->singleStep() + bar->pageStep());
    EXPECT_EQ(w.twipsDe(w.picFields).left, -bar->value());
    EXPECT_EQ(w.picFields->x(), platform::twipsToPixels(-bar->value(), w.logicalDpiX()));

    // A narrower window shows less of the strip: a shorter page.
    w.resize(w.width() / 2, w.height());
    EXPECT_EQ(bar->pageStep(), qRound(w.width() * tpp));
}

TEST_F(LookupWindow, AFailingStatementAnsweredGoOnBringsOnlyTheBoxesOfItsOwnFailures) {
    testsupport::ScriptedPrompter prompter;
    prompter.fallback = platform::vbIgnore;
    Lib_FrmCons2 w;
    w.SQL = QStringLiteral("SELECT * FROM NO_EXISTE");
    w.Form_Load();
    // The statement, then the columns and the rows that could not be read from it; closing
    // a recordset that never opened says nothing.
    ASSERT_EQ(prompter.boxes.size(), 3);
    EXPECT_TRUE(prompter.boxes[0].prompt.contains(QStringLiteral("NO_EXISTE")));
    EXPECT_TRUE(prompter.boxes[0].prompt.contains(QStringLiteral("FORM_LOAD")));
    EXPECT_TRUE(prompter.boxes[1].prompt.contains(QStringLiteral("cerrado")));  // building the columns
    EXPECT_TRUE(prompter.boxes[2].prompt.contains(QStringLiteral("FORM_LOAD")));  // loading the rows
    EXPECT_EQ(w.ListView1->columnHeaderCount(), 0);
    EXPECT_TRUE(w.ListView1->sorted());
}

TEST_F(LookupWindow, ABlankStatementIsReportedAsAFailingOneOnBothEngines) {
    for (bool odbc : {false, true}) {
        SCOPED_TRACE(odbc ? "ODBC" : "SQLite");
        if (odbc) {
            utility::dataAccess().CloseSession();
            qputenv("STOCKFIX_ODBC_DRIVER", "SQLite3");
            utility::dataAccess().setServer(QStringLiteral("localhost"));
            utility::dataAccess().setDatabaseName(testsupport::odbcFileName(utility::dataAccess().DatabaseName()));
            utility::dataAccess().OpenSession(0, 3);
            ASSERT_TRUE(utility::dataAccess().IsOpen());
        }
        for (const char* sql : {"", "   ", " \t\n ", "-- nada"}) {
            if (odbc && sql[0] == '-') continue;  // a comment is the server's to judge
            SCOPED_TRACE(sql);
            testsupport::ScriptedPrompter prompter;
            prompter.answer({platform::vbAbort});
            Lib_FrmCons2 w;
            w.SQL = QString::fromLatin1(sql);
            w.Form_Load();
            ASSERT_EQ(prompter.boxes.size(), 1);
            EXPECT_TRUE(prompter.boxes[0].prompt.contains(QStringLiteral("texto de comando")))
                << prompter.boxes[0].prompt.toStdString();
            EXPECT_TRUE(prompter.boxes[0].prompt.contains(QStringLiteral("FORM_LOAD")));
        }
    }
    qunsetenv("STOCKFIX_ODBC_DRIVER");
}
