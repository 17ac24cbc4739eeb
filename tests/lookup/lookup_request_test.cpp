#include "lookup_fixture.h"
#include "support/scripted_prompter.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace lookup;
using testsupport::LookupTest;

namespace {
class LookupRequest : public LookupTest {};
}  // namespace

TEST_F(LookupRequest, AMaskTurnsATableIntoItsStatementAndGivesTheSearchField) {
    const struct {
        const char* table;
        const char* statement;
        const char* campo;
    } cases[] = {
        {"V_MA_ARTICULOS", "SELECT DESCRIPCION,IDARTICULO FROM V_MA_ARTICULOS WHERE SUSPENDIDO = 0", "DESCRIPCION"},
        {" vt_clientes ", "SELECT RAZON_SOCIAL,CODIGO,CONTACTO FROM VT_CLIENTES WHERE Dada_De_Baja = 0", "RAZON_SOCIAL"},
        {"VT_PROVEEDORES", "SELECT RAZON_SOCIAL,CODIGO FROM VT_PROVEEDORES WHERE Dada_De_Baja = 0", "RAZON_SOCIAL"},
        {"MA_CONTACTOS", "SELECT Nombre_y_Apellido,Domicilio,Localidad,Telefono FROM MA_CONTACTOS", "Nombre_y_Apellido"},
        {"SELECT * FROM UNA", "SELECT * FROM UNA", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.table);
        QString campo;
        EXPECT_EQ(request().sentenciaPara(QString::fromLatin1(c.table), campo), QString::fromLatin1(c.statement));
        EXPECT_EQ(campo, QString::fromLatin1(c.campo));
    }
    QString given = QStringLiteral("CODIGO");  // never overwritten
    request().sentenciaPara(QStringLiteral("VT_CLIENTES"), given);
    EXPECT_EQ(given, QStringLiteral("CODIGO"));

    request().gUsarMascarasConsultas = false;  // masks off: the text unchanged
    QString untouched;
    EXPECT_EQ(request().sentenciaPara(QStringLiteral("VT_CLIENTES"), untouched), QStringLiteral("VT_CLIENTES"));
    EXPECT_EQ(untouched, QString());
}

TEST_F(LookupRequest, AMasksOwnFilterStaysAndOtherTablesGetNoWhere) {
    QFile f(request().gRutaMascaraConsultas);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(codificarRegistro({"C", "VT_CLIENTES", "|CODIGO|", "CONTACTO = 'Ana'", "\r\n"}));
    f.write(codificarRegistro({"U", "UNA", "", "", "\r\n"}));
    f.close();
    QString campo;
    EXPECT_EQ(request().sentenciaPara(QStringLiteral("VT_CLIENTES"), campo),
              QStringLiteral("SELECT CODIGO FROM VT_CLIENTES WHERE CONTACTO = 'Ana'"));
    EXPECT_EQ(campo, QString());  // a single column: no comma, the search field stays empty
    EXPECT_EQ(request().sentenciaPara(QStringLiteral("UNA"), campo), QStringLiteral("SELECT * FROM UNA"));
}

TEST_F(LookupRequest, TheWindowShowsEveryRowSortedWithItsColumnsAndBoxes) {
    Coleccion cmps;
    QString campo;
    request().UsaCantidades = true;
    lookupWith(QStringLiteral("SELECT IDARTICULO, DESCRIPCION, STOCK FROM V_MA_ARTICULOS"), cmps, QString(), campo,
               [&](Lib_FrmCons2& w) {
                   EXPECT_EQ(w.windowTitle(), QStringLiteral("Consulta..."));
                   // The first field trimmed, the others as they are; Null as empty; sorted by the first column.
                   EXPECT_EQ(rowsOf(w), (QStringList{"|arandela|7|", "A0||1|", "A1|  Casa  ||", "A2|BISAGRA|3|",
                                                     "A3|tuerca|10|"}));
                   const auto* list = w.ListView1;
                   ASSERT_EQ(list->columnHeaderCount(), 4);
                   EXPECT_EQ(list->columnHeader(4).text, QStringLiteral("**Cantidad**"));
                   EXPECT_EQ(list->columnHeader(4).key, QStringLiteral("CANTIDAD"));
                   EXPECT_EQ(list->sortKey(), 0);
                   EXPECT_EQ(list->sortOrder(), 0);
                   EXPECT_TRUE(list->sorted());
                   const double x = list->columnHeader(3).width / 4;  // INT: four letters X
                   EXPECT_NEAR(list->columnHeader(4).width, 10 * x, 1e-6);
                   EXPECT_NEAR(list->columnHeader(1).width, 15 * x, 1e-6);
                   ASSERT_EQ(w.CmbSearch.size(), 3);  // no box over the quantity column
                   for (int i = 0; i < 3; ++i) {
                       SCOPED_TRACE(i);
                       const auto box = w.twipsDe(w.CmbSearch[i]);
                       EXPECT_EQ(box.left, list->columnHeader(i + 1).left);
                       EXPECT_NEAR(box.width, list->columnHeader(i + 1).width - 50, 1e-6);
                       EXPECT_EQ(box.top, 0);
                       EXPECT_EQ(box.height, 315);  // as element 0 was designed
                       EXPECT_EQ(w.CmbSearch[i]->toolTip(), list->columnHeader(i + 1).text);
                       EXPECT_TRUE(w.CmbSearch[i]->isVisible());
                   }
                   EXPECT_FALSE(list->checkboxes());
                   w.CmdCancelar_Click();
               });
}

TEST_F(LookupRequest, CancelEscapeAndClosingLeaveWhatTheyShould) {
    const struct {
        const char* how;
        std::function<void(Lib_FrmCons2&)> leave;
        bool valoresNothing;
        std::optional<QString> valorDevuelto;
    } cases[] = {
        {"Cancel", [](Lib_FrmCons2& w) { QTest::mouseClick(w.CmdCancelar, Qt::LeftButton); }, true, QString()},
        {"Escape", [](Lib_FrmCons2& w) { QTest::keyClick(w.ListView1, Qt::Key_Escape); }, true, QString()},
        {"frame", [](Lib_FrmCons2& w) { w.close(); }, false, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        Coleccion cmps = nuevaColeccion();
        *cmps << QStringLiteral("IDARTICULO");
        const Coleccion callers = cmps;
        QString campo;
        request().Checks = true;
        request().UsaCantidades = true;
        request().CampoDevuelto = QStringLiteral("IDARTICULO");
        lookupWith(QStringLiteral("V_MA_ARTICULOS"), cmps, QStringLiteral("a"), campo, [&](Lib_FrmCons2& w) {
            EXPECT_TRUE(w.ListView1->checkboxes());
            EXPECT_EQ(w.SQL, QStringLiteral("SELECT DESCRIPCION,IDARTICULO FROM V_MA_ARTICULOS WHERE SUSPENDIDO = 0"));
            c.leave(w);
        });
        EXPECT_EQ(request().Valores == nullptr, c.valoresNothing);
        if (!c.valoresNothing) {
            EXPECT_TRUE(request().Valores->isEmpty());
        }
        ASSERT_TRUE(request().Cantidades);
        EXPECT_TRUE(request().Cantidades->isEmpty());
        EXPECT_EQ(request().ValorDevuelto, c.valorDevuelto);
        EXPECT_EQ(cmps, nullptr);  // the caller's reference is let go ...
        EXPECT_TRUE(callers->isEmpty());  // ... and the collection emptied
        EXPECT_FALSE(request().Checks);
        EXPECT_EQ(request().CampoDevuelto, QString());
        EXPECT_TRUE(request().UsaCantidades);  // kept
        EXPECT_EQ(campo, QStringLiteral("DESCRIPCION"));
    }
}

TEST_F(LookupRequest, AcceptReturnsTheChosenRowsValues) {
    Coleccion cmps = nuevaColeccion();
    *cmps << QStringLiteral("IDARTICULO") << QStringLiteral("descripcion");
    QString campo;
    request().CampoDevuelto = QStringLiteral("IDARTICULO");
    lookupWith(QStringLiteral("V_MA_ARTICULOS"), cmps, QStringLiteral("  CA"), campo, [&](Lib_FrmCons2& w) {
        EXPECT_EQ(w.CmbSearch[0]->currentText(), QStringLiteral("  CA"));  // as given, spaces kept
        EXPECT_EQ(w.ListView1->selectedPosition(), 3);  // "", arandela, then "  Casa  ", found by "ca"
        QTest::keyClick(w.CmbSearch[0], Qt::Key_Return);                    // the default button
    });
    EXPECT_EQ(request().ValorDevuelto, QStringLiteral("A1"));
    ASSERT_TRUE(request().Valores);
    EXPECT_EQ(*request().Valores, (QStringList{"A1", "Casa"}));
}

TEST_F(LookupRequest, ABlankInitialFilterSelectsNothing) {
    Coleccion cmps;
    QString campo;
    lookupWith(QStringLiteral("SELECT SOLO FROM UNA"), cmps, QStringLiteral("   "), campo, [&](Lib_FrmCons2& w) {
        EXPECT_EQ(w.CmbSearch[0]->currentText(), QString());
        EXPECT_EQ(w.ListView1->selectedPosition(), 0);
        EXPECT_EQ(rowsOf(w), (QStringList{"x", "y"}));  // a single field: text only
        w.CmdAceptar_Click();
    });
    EXPECT_FALSE(request().ValorDevuelto.has_value());  // no current row: nothing written
    EXPECT_TRUE(request().Valores->isEmpty());
}

TEST_F(LookupRequest, AFailingStatementIsReportedAndTheAnswerDecides) {
    const struct {
        std::initializer_list<int> answers;
        int boxes;
        bool laidOut;
    } cases[] = {
        {{platform::vbRetry, platform::vbIgnore}, -1, true},  // retried once, then the load goes on
        {{platform::vbIgnore}, -1, true},
        {{platform::vbAbort}, 1, false},  // gives up at once: design size, nothing built
    };
    for (const auto& c : cases) {
        testsupport::ScriptedPrompter prompter;
        prompter.answer(c.answers);
        prompter.fallback = platform::vbIgnore;
        Coleccion cmps;
        QString campo;
        lookupWith(QStringLiteral("SELECT * FROM NO_EXISTE"), cmps, QString(), campo, [&](Lib_FrmCons2& w) {
            EXPECT_EQ(w.ListView1->columnHeaderCount(), 0);
            EXPECT_EQ(w.ListView1->items().count(), 0);
            EXPECT_EQ(w.ListView1->sorted(), c.laidOut);
            w.CmdCancelar_Click();
        });
        ASSERT_FALSE(prompter.boxes.isEmpty());
        EXPECT_TRUE(prompter.boxes.front().prompt.contains(QStringLiteral("NO_EXISTE")));
        EXPECT_TRUE(prompter.boxes.front().prompt.contains(QStringLiteral("FORM_LOAD")));
        if (c.boxes > 0) {
            EXPECT_EQ(prompter.boxes.size(), c.boxes);
        }
        if (*c.answers.begin() == platform::vbRetry) {
            EXPECT_GE(prompter.boxes.size(), 2);  // the open was tried again
        }
    }
}
