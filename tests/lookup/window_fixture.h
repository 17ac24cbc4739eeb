#pragma once

#include "lookup/lib_frm_cons2.h"
#include "platform/report_list_view.h"
#include "support/scripted_prompter.h"
#include "support/test_env.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QTest>
#include <memory>

namespace testsupport {

// A lookup window loaded over a small table, shown offscreen and driven as a user would.
class LookupWindowTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        openSession(makeDatabase(
            QStringLiteral("w.sqlite"),
            {QStringLiteral("CREATE TABLE ARTS (CODIGO VARCHAR(4), NOMBRE VARCHAR(20), RUBRO VARCHAR(8))"),
             QStringLiteral("INSERT INTO ARTS VALUES ('3', 'casa', 'b'), ('1', 'Cama', 'a'), ('2', '  cañO', 'a'), "
                            "('4', 'arco', 'c'), ('5', 'Casa', 'b')")}));
    }
    void TearDown() override {
        tester.reset();
        w.reset();
        ProgramTest::TearDown();
    }
    lookup::Lib_FrmCons2& open(bool cantidades = false, bool checks = false, const QString& filtro = {}) {
        tester.reset();
        w = std::make_unique<lookup::Lib_FrmCons2>();
        // Every load, sort and change of the list checked as Qt's views expect; a fault aborts.
        tester = std::make_unique<QAbstractItemModelTester>(w->ListView1->model(),
                                                            QAbstractItemModelTester::FailureReportingMode::Fatal);
        w->SQL = QStringLiteral("SELECT CODIGO, NOMBRE, RUBRO FROM ARTS");
        w->UsaCantidades = cantidades;
        w->CheckBoxes = checks;
        w->FiltroInicial = filtro;
        w->Form_Load();
        w->show();
        QApplication::setActiveWindow(w.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(w.get()));
        w->ListView1->setFocus();
        return *w;
    }
    // The selected row's code, or "" when none.
    QString selected() const {
        const qsizetype p = w->ListView1->selectedPosition();
        return p ? w->ListView1->itemText(p) : QString();
    }
    void select(qsizetype position) { w->ListView1->selectPosition(position); }
    QString quantity(qsizetype position) const { return w->ListView1->subItem(position, 3); }
    bool ticked(qsizetype position) const {
        return w->ListView1->items().checked(w->ListView1->storageOf(platform::Position{position}));
    }
    void key(int k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(w->ListView1, Qt::Key(k), m); }
    // A number text as the user's locale writes it: "2.50" is "2,50" under a comma locale.
    static QString n(const char* text) { return QString::fromLatin1(text).replace(u'.', QLocale().decimalPoint()); }

    std::unique_ptr<lookup::Lib_FrmCons2> w;
    std::unique_ptr<QAbstractItemModelTester> tester;
    ScriptedPrompter prompter;
};

}  // namespace testsupport
