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
    bool checks;
    int active;         // the search box that had the focus last
    const char* focus;  // the control that has the focus first
    std::vector<Stroke> strokes;
    const char* focusAfter;  // "" when the window is gone
    const char* box;         // the active search box's text afterwards
    const char* selected;    // the selected row's code afterwards
    const char* ticked;      // codes of the ticked rows
    End end;
};

// Rows by code, displayed 1 to 5; row 2 is selected first. Box 0 searches CODIGO, box 1
// NOMBRE. A box's text made only of blanks selects the first row.
const Case kCases[] = {
    // Tab walks the designed order and leaves the list; boxes made at run time come last.
    {"tab from box 0", false, 0, "CmbSearch_0", {{Qt::Key_Tab}}, "ListView1", "", "2", "", End::Open},
    {"tab leaves the list", false, 0, "ListView1", {{Qt::Key_Tab}}, "HScroll1", "", "2", "", End::Open},
    {"tab to Aceptar", false, 0, "HScroll1", {{Qt::Key_Tab}}, "CmdAceptar", "", "2", "", End::Open},
    {"tab to Cancelar", false, 0, "CmdAceptar", {{Qt::Key_Tab}}, "CmdCancelar", "", "2", "", End::Open},
    {"tab to the run-time boxes", false, 0, "CmdCancelar", {{Qt::Key_Tab}}, "CmbSearch_1", "", "2", "", End::Open},
    {"shift+tab from the list", false, 0, "ListView1", {{Qt::Key_Backtab, Qt::ShiftModifier}}, "CmbSearch_0", "", "2", "",
     End::Open},
    // Enter presses the focused button, elsewhere the default one; Escape cancels.
    {"enter on Cancelar", false, 0, "CmdCancelar", {{Qt::Key_Return}}, "", "", "2", "", End::Cancelled},
    {"enter on Aceptar", false, 0, "CmdAceptar", {{Qt::Key_Return}}, "", "", "2", "", End::Accepted},
    {"keypad enter on Cancelar", false, 0, "CmdCancelar", {{Qt::Key_Enter, Qt::KeypadModifier}}, "", "", "2", "",
     End::Cancelled},
    {"enter on the scroll bar", false, 0, "HScroll1", {{Qt::Key_Return}}, "", "", "2", "", End::Accepted},
    {"enter in the list", false, 0, "ListView1", {{Qt::Key_Return}}, "", "", "2", "", End::Accepted},
    {"enter in a search box", false, 0, "CmbSearch_0", {{Qt::Key_3}, {Qt::Key_Return}}, "", "3", "3", "", End::Accepted},
    {"space on Cancelar", false, 0, "CmdCancelar", {{Qt::Key_Space}}, "", "", "2", "", End::Cancelled},
    {"escape in the list", false, 0, "ListView1", {{Qt::Key_Escape}}, "", "", "2", "", End::Cancelled},
    {"escape in a search box", false, 0, "CmbSearch_0", {{Qt::Key_Escape}}, "", "", "2", "", End::Cancelled},
    {"alt+c", false, 0, "ListView1", {{Qt::Key_C, Qt::AltModifier}}, "", "", "2", "", End::Cancelled},
    {"alt+a", false, 0, "CmbSearch_0", {{Qt::Key_A, Qt::AltModifier}}, "", "", "2", "", End::Accepted},
    // Space goes to the search box (whose blank text selects the first row), and the list
    // still ticks the row the user was on.
    {"space with check boxes", true, 0, "ListView1", {{Qt::Key_Space}}, "CmbSearch_0", " ", "1", "2", End::Open},
    {"space without check boxes", false, 0, "ListView1", {{Qt::Key_Space}}, "CmbSearch_0", " ", "1", "", End::Open},
    {"back in the list, space ticks the row found", true, 0, "ListView1", {{Qt::Key_Space}, {Qt::Key_Down}, {Qt::Key_Space}},
     "CmbSearch_0", "  ", "1", "12", End::Open},
    {"space twice on one row unticks it", true, 0, "ListView1",
     {{Qt::Key_Space}, {Qt::Key_Down}, {Qt::Key_Down}, {Qt::Key_Space}}, "CmbSearch_0", "  ", "1", "", End::Open},
    // The key pressed gives the character, not the symbol the layout puts on it.
    {"shift+9 as X11 sends it", false, 0, "ListView1", {{Qt::Key_ParenLeft, Qt::ShiftModifier, 18, '(', "("}},
     "CmbSearch_0", "9", "2", "", End::Open},
    {"shift+9 without a native key", false, 0, "ListView1", {{Qt::Key_ParenLeft, Qt::ShiftModifier}}, "CmbSearch_0", "9",
     "2", "", End::Open},
    {"the 1 key of a layout that needs shift", false, 0, "ListView1", {{Qt::Key_Ampersand, Qt::NoModifier, 10, '&', "&"}},
     "CmbSearch_0", "1", "1", "", End::Open},
    {"altgr+q", false, 0, "ListView1", {{Qt::Key_At, Qt::GroupSwitchModifier, 24, '@', "@"}}, "CmbSearch_0", "Q", "2", "",
     End::Open},
    {"letters in capitals", false, 0, "ListView1", {{Qt::Key_A}, {Qt::Key_B, Qt::ShiftModifier, 56, 'B', "B"}},
     "CmbSearch_0", "AB", "2", "", End::Open},
    {"keypad 1 is a small a", false, 0, "ListView1", {{Qt::Key_1, Qt::KeypadModifier}}, "CmbSearch_0", "a", "2", "",
     End::Open},
    {"keypad 0 gives nothing", false, 0, "ListView1", {{Qt::Key_0, Qt::KeypadModifier}}, "ListView1", "", "2", "",
     End::Open},
    {"F1 is a small p", false, 0, "ListView1", {{Qt::Key_F1}}, "CmbSearch_0", "p", "2", "", End::Open},
    {"backspace appends code 8", false, 0, "ListView1", {{Qt::Key_Backspace}}, "CmbSearch_0", "\b", "2", "", End::Open},
    {"a digit searches", false, 0, "ListView1", {{Qt::Key_4}}, "CmbSearch_0", "4", "4", "", End::Open},
    {"arrows stay in the list", false, 0, "ListView1", {{Qt::Key_Down}}, "ListView1", "", "3", "", End::Open},
    // A digit the box cannot find leaves the selection: the list searches nothing itself.
    {"no type-ahead of the list", false, 1, "ListView1", {{Qt::Key_5}}, "CmbSearch_1", "5", "2", "", End::Open},
    {"letters go to the active box", false, 1, "ListView1", {{Qt::Key_A}}, "CmbSearch_1", "A", "4", "", End::Open},
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
