// Both windows as a screen reader or an automation tool reads them through accessibility:
// every control named, windows announced as windows, the status line heard as it changes.
#include "correction/bug_window.h"
#include "correction_fixture.h"
#include "lookup/lib_frm_cons2.h"
#include "platform/report_list_view.h"
#include "platform/qt_prompter.h"
#include "support/scripted_prompter.h"
#include "utility/library.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace testsupport;

namespace {

class Accessibility : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        QStringList sql = correctionSchema();
        sql << QStringLiteral("INSERT INTO V_MV_Stock VALUES (1, 'fcc', 'A<b>', 1), (2, 'fcc', 'B', 1)")
            << configurationTable()
            << QStringLiteral("CREATE TABLE ARTS (CODIGO VARCHAR(4), NOMBRE VARCHAR(20))")
            << QStringLiteral("INSERT INTO ARTS VALUES ('1', 'casa'), ('2', 'arco')");
        file = makeDatabase(QStringLiteral("a11y.sqlite"), sql);
    }
    static QAccessibleInterface* of(QObject* o) { return QAccessible::queryAccessibleInterface(o); }
    QString file;
};

}  // namespace

TEST_F(Accessibility, EveryControlOfBothWindowsIsNamedAndWindowsAreAnnounced) {
    ScriptedPrompter prompter;
    platform::App().commandLine = QStringLiteral("@Server=sqlite; @DbName=%1;").arg(file);
    correction::BUG bug;
    bug.Form_Load();
    ASSERT_TRUE(utility::dataAccess().IsOpen());
    bug.show();

    lookup::Lib_FrmCons2 look;
    look.SQL = QStringLiteral("SELECT CODIGO, NOMBRE FROM ARTS");
    look.CheckBoxes = true;
    look.UsaCantidades = true;
    look.Form_Load();
    look.show();
    look.ListView1->items().setChecked(look.ListView1->items().storageOf(platform::ShownRow{1}), true);
    // What was typed into a box is its value, never its name.
    look.CmbSearch[0]->setFocus();
    QTest::keyClicks(look.CmbSearch[0]->lineEdit(), QStringLiteral("caj"));

    const struct {
        const char* what;
        std::function<QObject*()> control;
        QAccessible::Role role;
        QString name;
        QString inDescription;
        QString value = {};
    } rows[] = {
        {"correction window", [&] { return &bug; }, QAccessible::Window, "LUMERA", {}},
        {"Ejecutar", [&] { return bug.CmdEjecutar; }, QAccessible::Button, "Ejecutar", {}},
        {"Salir", [&] { return bug.CmdSalir; }, QAccessible::Button, "Salir", {}},
        {"status line", [&] { return bug.LblMensaje; }, QAccessible::StatusBar, "", "corrección"},
        {"lookup window", [&] { return &look; }, QAccessible::Dialog, "Consulta...", {}},
        {"search box 0", [&] { return look.CmbSearch[0]; }, QAccessible::ComboBox, "Buscar CODIGO", "CODIGO", "caj"},
        {"its text field", [&] { return look.CmbSearch[0]->lineEdit(); }, QAccessible::EditableText, "Buscar CODIGO",
         "primera fila", "caj"},
        {"search box 1", [&] { return look.CmbSearch[1]; }, QAccessible::ComboBox, "Buscar NOMBRE", "NOMBRE"},
        {"list", [&] { return look.ListView1; }, QAccessible::Table, "Resultados", {}},
        {"Aceptar", [&] { return look.CmdAceptar; }, QAccessible::Button, "Aceptar", {}},
        {"Cancelar", [&] { return look.CmdCancelar; }, QAccessible::Button, "Cancelar", {}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        QAccessibleInterface* iface = of(r.control());
        ASSERT_NE(iface, nullptr);
        EXPECT_EQ(iface->role(), r.role);
        EXPECT_EQ(iface->text(QAccessible::Name).remove(u'&'), r.name);
        EXPECT_TRUE(iface->text(QAccessible::Description).contains(r.inDescription))
            << iface->text(QAccessible::Description).toStdString();
        if (!r.value.isNull()) {
            EXPECT_EQ(iface->text(QAccessible::Value), r.value);
        }
    }

    // A search box still offers what a combo box does: its drop-down list and its text
    // field as children, and opening the list.
    look.CmbSearch[1]->addItem(QStringLiteral("casa"));
    QAccessibleInterface* box = of(look.CmbSearch[1]);
    ASSERT_EQ(box->childCount(), 2);
    EXPECT_EQ(box->child(0)->object(), look.CmbSearch[1]->view());
    EXPECT_EQ(box->child(1)->object(), look.CmbSearch[1]->lineEdit());
    EXPECT_EQ(box->indexOfChild(box->child(1)), 1);
    EXPECT_TRUE(box->state().expandable);
    ASSERT_NE(box->actionInterface(), nullptr);
    EXPECT_TRUE(box->actionInterface()->actionNames().contains(QAccessibleActionInterface::showMenuAction()));
    box->actionInterface()->doAction(QAccessibleActionInterface::showMenuAction());
    EXPECT_TRUE(look.CmbSearch[1]->view()->isVisible());
    EXPECT_TRUE(box->state().expanded);
    box->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_FALSE(look.CmbSearch[1]->view()->isVisible());

    // The list's column headers are its captions, the quantity column's included, and a
    // ticked row reads as checked.
    QAccessibleTableInterface* table = of(look.ListView1)->tableInterface();
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->columnCount(), 3);
    QStringList headers;
    for (int c = 0; c < 3; ++c) headers << table->columnDescription(c);
    EXPECT_EQ(headers, (QStringList{"CODIGO", "NOMBRE", "**Cantidad**"}));
    EXPECT_FALSE(table->cellAt(0, 0)->state().checked);
    EXPECT_TRUE(table->cellAt(1, 0)->state().checked);

    // A box made for another statement takes its new column's name.
    lookup::Lib_FrmCons2 other;
    other.SQL = QStringLiteral("SELECT NOMBRE FROM ARTS");
    other.Form_Load();
    EXPECT_EQ(of(other.CmbSearch[0])->text(QAccessible::Name), QStringLiteral("Buscar NOMBRE"));

    // The status line reads as its text, markup shown as it is, and is empty after a run.
    // (Each change also sends the screen reader a name change; without an accessibility
    // bus, as here, Qt delivers no events to observe.)
    bug.LblMensaje->setText(QStringLiteral("Corrigiendo... fccA<b>"));
    EXPECT_EQ(of(bug.LblMensaje)->text(QAccessible::Name), QStringLiteral("Corrigiendo... fccA<b>"));
    bug.CmdEjecutar_Click();
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes.front().prompt, QStringLiteral("Proceso Finalizado!"));
    EXPECT_EQ(of(bug.LblMensaje)->text(QAccessible::Name), QString());
    EXPECT_EQ(bug.LblMensaje->textFormat(), Qt::PlainText);
    EXPECT_EQ(look.lblFieldName->textFormat(), Qt::PlainText);
}

TEST_F(Accessibility, MessageBoxesAndTheQuantityPromptKeepTheirTitlesAndTexts) {
    platform::QtPrompter prompter;
    platform::setPrompter(&prompter);
    QString title, text;
    QStringList buttons;
    auto readAndClose = [&] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        QAccessibleInterface* iface = of(modal);
        title = iface->text(QAccessible::Name);
        text.clear();
        buttons.clear();
        std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* node) {
            for (int i = 0; i < node->childCount(); ++i) {
                QAccessibleInterface* child = node->child(i);
                if (child->role() == QAccessible::StaticText)  // a label's role
                    text += child->text(QAccessible::Name);
                else if (child->role() == QAccessible::Button)
                    buttons << child->text(QAccessible::Name).remove(u'&');
                walk(child);
            }
        };
        walk(iface);
        QTest::keyClick(modal, Qt::Key_Escape);
    };
    QTimer::singleShot(0, readAndClose);
    platform::MsgBox(QStringLiteral("Proceso Finalizado!"), platform::vbOKOnly, QStringLiteral("LUMERA"));
    EXPECT_EQ(title, QStringLiteral("LUMERA"));
    EXPECT_TRUE(text.contains(QStringLiteral("Proceso Finalizado!"))) << text.toStdString();
    EXPECT_EQ(buttons, QStringList{"Aceptar"});  // the suite's Spanish captions
    QTimer::singleShot(0, readAndClose);
    platform::MsgBox(QStringLiteral("no such table"), platform::vbAbortRetryIgnore, QStringLiteral("Cfg"));
    EXPECT_EQ(buttons, (QStringList{"Anular", "Reintentar", "Omitir"}));

    QTimer::singleShot(0, readAndClose);
    platform::InputBox(QStringLiteral("Ingrese la Cantidad del Articulo..."), QStringLiteral("Carga de Datos"));
    EXPECT_EQ(title, QStringLiteral("Carga de Datos"));
    EXPECT_TRUE(text.contains(QStringLiteral("Ingrese la Cantidad del Articulo..."))) << text.toStdString();
    EXPECT_TRUE(buttons.contains(QStringLiteral("Aceptar")) && buttons.contains(QStringLiteral("Cancelar")))
        << buttons.join(u',').toStdString();
    platform::setPrompter(nullptr);
}
