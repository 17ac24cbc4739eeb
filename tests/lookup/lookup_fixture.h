#pragma once

#include "lookup/lib_cls_cons2.h"
#include "lookup/lib_frm_cons2.h"
#include "platform/report_list_view.h"
#include "startup/preparacion_consultas.h"
#include "support/test_env.h"

#include <QApplication>
#include <QTimer>
#include <functional>

namespace testsupport {

// Lookups through the real request over real SQLite tables; `whileShown` acts on the modal
// window once it shows, then leaves it as a user would.
class LookupTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        db = makeDatabase(
            QStringLiteral("lookup.sqlite"),
            {QStringLiteral("CREATE TABLE V_MA_ARTICULOS (IDARTICULO VARCHAR(15) COLLATE NOCASE, DESCRIPCION "
                            "VARCHAR(60) COLLATE NOCASE, SUSPENDIDO SMALLINT, STOCK INT)"),
             QStringLiteral("INSERT INTO V_MA_ARTICULOS VALUES ('A3', 'tuerca', 0, 10), ('A1', '  Casa  ', 0, NULL), "
                            "('A2', 'BISAGRA', 1, 3), (NULL, 'arandela', 0, 7), ('  A0 ', NULL, 0, 1)"),
             QStringLiteral("CREATE TABLE VT_CLIENTES (CODIGO VARCHAR(6), RAZON_SOCIAL VARCHAR(40), CONTACTO "
                            "VARCHAR(20), Dada_De_Baja SMALLINT)"),
             QStringLiteral("INSERT INTO VT_CLIENTES VALUES ('1', 'Peña SA', 'Ana', 0), ('2', 'Baja SL', 'Luis', 1)"),
             QStringLiteral("CREATE TABLE UNA (SOLO VARCHAR(8))"),
             QStringLiteral("INSERT INTO UNA VALUES ('x'), ('y')")});
        openSession(db);
        request().gRutaMascaraConsultas = path(QStringLiteral("consultas.kvl"));
        startup::CrearMascaras();
        request().gUsarMascarasConsultas = true;
    }

    lookup::Lib_ClsCons2& request() { return startup::consultaGlobal(); }

    // Runs ConsultaSearch; `whileShown` gets the window once it is up and must leave it.
    void lookupWith(const QString& sql, lookup::Coleccion& cmps, const QString& clave, QString& campoBusqueda,
                    const std::function<void(lookup::Lib_FrmCons2&)>& whileShown) {
        bool shown = false;
        QTimer::singleShot(0, [&] {
            auto* w = qobject_cast<lookup::Lib_FrmCons2*>(QApplication::activeModalWidget());
            if (!w) return;
            shown = true;
            whileShown(*w);
            if (w->isVisible()) w->close();  // a test that forgot to leave still ends
        });
        request().ConsultaSearch(sql, cmps, clave, campoBusqueda);
        EXPECT_TRUE(shown) << "the window never showed";
    }

    // The displayed rows of the list: each row's cells joined by "|".
    static QStringList rowsOf(const lookup::Lib_FrmCons2& w) {
        QStringList rows;
        const auto* list = w.ListView1;
        for (qsizetype p = 1; p <= list->items().count(); ++p) {
            QStringList cells{list->itemText(p)};
            for (int c = 1; c < list->columnHeaderCount(); ++c) cells << list->subItem(p, c);
            rows << cells.join(u'|');
        }
        return rows;
    }

    QString db;
};

}  // namespace testsupport
