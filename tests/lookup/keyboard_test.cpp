// The lookup window from the keyboard: real key events sent to whichever widget has the
// focus, as a user types them, and what the window shows afterwards.
#include "window_fixture.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QScrollBar>
#include <gtest/gtest.h>
#include <vector>

using testsupport::LookupWindowTest;

namespace {

// One key press. A scan code (an X key code) and a key symbol make it a key event as X11
// delivers it; without them it is what Qt's own key gives.
struct Stroke {
    int key;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    quint32 scan = 0;
    quint32 sym = 0;
    const char* text = nullptr;
};

enum class End { Open, Accepted, Cancelled };

struct Case {
    const char* name;
    bool checks = false;
    int active = 0;             // the search box that had the focus last
    const char* focus;          // the control that has the focus first
    std::vector<Stroke> strokes;
    const char* focusAfter = "";  // "" when the window is gone
    const char* box = "";         // the active search box's text afterwards
    const char* selected = "2";   // the selected row's code afterwards
    const char* ticked = "";      // codes of the ticked rows
    End end = End::Open;
};

// Rows by code, displayed 1 to 5; row 2 is selected first. Box 0 searches CODIGO, box 1
// NOMBRE. A box's text made only of blanks selects the first row.
const Case kCases[] = {
    // Tab walks the designed order and leaves the list; boxes made at run time come last.
    {.name = "tab from box 0", .focus = "CmbSearch_0", .strokes = {{Qt::Key_Tab}}, .focusAfter = "ListView1"},
    {.name = "tab leaves the list", .focus = "ListView1", .strokes = {{Qt::Key_Tab}}, .focusAfter = "HScroll1"},
    {.name = "tab to Aceptar", .focus = "HScroll1", .strokes = {{Qt::Key_Tab}}, .focusAfter = "CmdAceptar"},
    {.name = "tab to Cancelar", .focus = "CmdAceptar", .strokes = {{Qt::Key_Tab}}, .focusAfter = "CmdCancelar"},
    {.name = "tab to the run-time boxes", .focus = "CmdCancelar", .strokes = {{Qt::Key_Tab}}, .focusAfter = "CmbSearch_1"},
    {.name = "shift+tab from the list", .focus = "ListView1", .strokes = {{Qt::Key_Backtab, Qt::ShiftModifier}},
     .focusAfter = "CmbSearch_0"},
    // Enter presses the focused button, elsewhere the default one; Escape cancels.
    {.name = "enter on Cancelar", .focus = "CmdCancelar", .strokes = {{Qt::Key_Return}}, .end = End::Cancelled},
    {.name = "enter on Aceptar", .focus = "CmdAceptar", .strokes = {{Qt::Key_Return}}, .end = End::Accepted},
    {.name = "keypad enter on Cancelar", .focus = "CmdCancelar", .strokes = {{Qt::Key_Enter, Qt::KeypadModifier}},
     .end = End::Cancelled},
    {.name = "enter on the scroll bar", .focus = "HScroll1", .strokes = {{Qt::Key_Return}}, .end = End::Accepted},
    {.name = "enter in the list", .focus = "ListView1", .strokes = {{Qt::Key_Return}}, .end = End::Accepted},
    {.name = "enter in a search box", .focus = "CmbSearch_0", .strokes = {{Qt::Key_3}, {Qt::Key_Return}}, .box = "3",
     .selected = "3", .end = End::Accepted},
    {.name = "space on Cancelar", .focus = "CmdCancelar", .strokes = {{Qt::Key_Space}}, .end = End::Cancelled},
    {.name = "escape in the list", .focus = "ListView1", .strokes = {{Qt::Key_Escape}}, .end = End::Cancelled},
    {.name = "escape in a search box", .focus = "CmbSearch_0", .strokes = {{Qt::Key_Escape}}, .end = End::Cancelled},
    {.name = "alt+c", .focus = "ListView1", .strokes = {{Qt::Key_C, Qt::AltModifier}}, .end = End::Cancelled},
    {.name = "alt+a", .focus = "CmbSearch_0", .strokes = {{Qt::Key_A, Qt::AltModifier}}, .end = End::Accepted},
    // Space goes to the search box (whose blank text selects the first row), and the list
    // still ticks the row the user was on.
    {.name = "space with check boxes", .checks = true, .focus = "ListView1", .strokes = {{Qt::Key_Space}},
     .focusAfter = "CmbSearch_0", .box = " ", .selected = "1", .ticked = "2"},
    {.name = "space without check boxes", .focus = "ListView1", .strokes = {{Qt::Key_Space}}, .focusAfter = "CmbSearch_0",
     .box = " ", .selected = "1"},
    {.name = "back in the list, space ticks the row found", .checks = true, .focus = "ListView1",
     .strokes = {{Qt::Key_Space}, {Qt::Key_Down}, {Qt::Key_Space}}, .focusAfter = "CmbSearch_0", .box = "  ",
     .selected = "1", .ticked = "12"},
    {.name = "space twice on one row unticks it", .checks = true, .focus = "ListView1",
     .strokes = {{Qt::Key_Space}, {Qt::Key_Down}, {Qt::Key_Down}, {Qt::Key_Space}}, .focusAfter = "CmbSearch_0",
     .box = "  ", .selected = "1"},
    // The key pressed gives the character, not the symbol the layout puts on it.
    {.name = "shift+9 as X11 sends it", .focus = "ListView1",
     .strokes = {{.key = Qt::Key_ParenLeft, .modifiers = Qt::ShiftModifier, .scan = 18, .sym = '(', .text = "("}},
     .focusAfter = "CmbSearch_0", .box = "9"},
    {.name = "shift+9 without a native key", .focus = "ListView1", .strokes = {{Qt::Key_ParenLeft, Qt::ShiftModifier}},
     .focusAfter = "CmbSearch_0", .box = "9"},
    {.name = "the 1 key of a layout that needs shift", .focus = "ListView1",
     .strokes = {{.key = Qt::Key_Ampersand, .scan = 10, .sym = '&', .text = "&"}}, .focusAfter = "CmbSearch_0",
     .box = "1", .selected = "1"},
    {.name = "altgr+q", .focus = "ListView1",
     .strokes = {{.key = Qt::Key_At, .modifiers = Qt::GroupSwitchModifier, .scan = 24, .sym = '@', .text = "@"}},
     .focusAfter = "CmbSearch_0", .box = "Q"},
    {.name = "letters in capitals", .focus = "ListView1",
     .strokes = {{Qt::Key_A}, {.key = Qt::Key_B, .modifiers = Qt::ShiftModifier, .scan = 56, .sym = 'B', .text = "B"}},
     .focusAfter = "CmbSearch_0", .box = "AB"},
    {.name = "keypad 1 is a small a", .focus = "ListView1", .strokes = {{Qt::Key_1, Qt::KeypadModifier}},
     .focusAfter = "CmbSearch_0", .box = "a"},
    {.name = "keypad 0 gives nothing", .focus = "ListView1", .strokes = {{Qt::Key_0, Qt::KeypadModifier}},
     .focusAfter = "ListView1"},
    {.name = "F1 is a small p", .focus = "ListView1", .strokes = {{Qt::Key_F1}}, .focusAfter = "CmbSearch_0", .box = "p"},
    {.name = "backspace appends code 8", .focus = "ListView1", .strokes = {{Qt::Key_Backspace}},
     .focusAfter = "CmbSearch_0", .box = "\b"},
    {.name = "a digit searches", .focus = "ListView1", .strokes = {{Qt::Key_4}}, .focusAfter = "CmbSearch_0", .box = "4",
     .selected = "4"},
    {.name = "arrows stay in the list", .focus = "ListView1", .strokes = {{Qt::Key_Down}}, .focusAfter = "ListView1",
     .selected = "3"},
    // A digit the box cannot find leaves the selection: the list searches nothing itself.
    {.name = "no type-ahead of the list", .active = 1, .focus = "ListView1", .strokes = {{Qt::Key_5}},
     .focusAfter = "CmbSearch_1", .box = "5"},
    {.name = "letters go to the active box", .active = 1, .focus = "ListView1", .strokes = {{Qt::Key_A}},
     .focusAfter = "CmbSearch_1", .box = "A", .selected = "4"},
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class Keyboard : public LookupWindowTest, public ::testing::WithParamInterface<Case> {
protected:
    QWidget* control(const char* name) { return w->findChild<QWidget*>(QString::fromLatin1(name)); }

    void press(const Stroke& s) {
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        if (s.scan == 0) {
            QTest::keyClick(target, Qt::Key(s.key), s.modifiers);
            return;
        }
        const QString text = QString::fromLatin1(s.text);
        QKeyEvent down(QEvent::KeyPress, s.key, s.modifiers, s.scan, s.sym, 0, text);
        QApplication::sendEvent(target, &down);
        QKeyEvent up(QEvent::KeyRelease, s.key, s.modifiers, s.scan, s.sym, 0, text);
        QApplication::sendEvent(QApplication::focusWidget(), &up);
    }

    // The window's control that has the focus (a search box's line edit stands for its box).
    QString focusedControl() const {
        for (QWidget* f = QApplication::focusWidget(); f; f = f->parentWidget())
            if (f->parent() == w->picFields || f->parent() == w.get() || f->parent() == w->Frame1) return f->objectName();
        return QString();
    }

    QString tickedCodes() const {
        QString codes;
        for (qsizetype p = 1; p <= 5; ++p)
            if (ticked(p)) codes += w->ListView1->itemText(p);
        return codes;
    }
};

}  // namespace

TEST_P(Keyboard, KeysReachTheFocusedControl) {
    const Case& c = GetParam();
    auto& win = open(/*cantidades=*/false, c.checks);
    select(2);
    win.CmbSearch[c.active]->setFocus(Qt::TabFocusReason);
    QWidget* first = control(c.focus);
    ASSERT_NE(first, nullptr) << c.focus;
    first->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(focusedControl(), QString::fromLatin1(c.focus));

    for (const Stroke& s : c.strokes) press(s);
    // An access key animates its button's click before it acts.
    if (c.end != End::Open) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return !win.isVisible(); }, 2000));
    }

    switch (c.end) {
    case End::Open:
        EXPECT_TRUE(win.isVisible());
        EXPECT_FALSE(win.ValorDevuelto.has_value());
        break;
    case End::Accepted:
        EXPECT_FALSE(win.isVisible());
        ASSERT_TRUE(win.ValorDevuelto.has_value());
        ASSERT_TRUE(win.Valores);
        break;
    case End::Cancelled:
        EXPECT_FALSE(win.isVisible());
        EXPECT_EQ(win.ValorDevuelto, QString());
        EXPECT_FALSE(win.Valores);  // Cancel lets go of it
        break;
    }
    if (c.end == End::Open) {
        EXPECT_EQ(focusedControl(), QString::fromLatin1(c.focusAfter));
    }
    EXPECT_EQ(win.CmbSearch[win.indiceCampoActivo()]->currentText(), QString::fromLatin1(c.box));
    EXPECT_EQ(selected(), QString::fromLatin1(c.selected));
    EXPECT_EQ(tickedCodes(), QString::fromLatin1(c.ticked));
}

INSTANTIATE_TEST_SUITE_P(Lookup, Keyboard, ::testing::ValuesIn(kCases), [](const auto& info) {
    std::string name;
    for (const char* p = info.param.name; *p; ++p) name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return name;
});

TEST_F(LookupWindowTest, TabIntoAListWithoutASelectionSelectsTheRowItLandsOn) {
    auto& win = open(/*cantidades=*/true);
    win.ListView1->selectionModel()->clear();
    win.CmbSearch[0]->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), win.ListView1);
    EXPECT_EQ(selected(), QStringLiteral("1"));
    key(Qt::Key_Insert);  // the quantity keys find the row the focus frame shows
    EXPECT_TRUE(prompter.boxes.isEmpty());
    EXPECT_EQ(quantity(1), n("1.0"));
}
