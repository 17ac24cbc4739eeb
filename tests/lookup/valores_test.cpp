// Values as the user reads them in a lookup, through both readers of one SQLite file (read
// natively, and through the SQLite ODBC driver standing in for SQL Server's), in the locale
// the run is in: each cell's text, its search by prefix, its place in the sort, the
// drop-down of F5 and the values returned.
#include "lookup/lib_frm_cons2.h"
#include "platform/report_list_view.h"
#include "support/odbc_file_name.h"
#include "support/platform_texts.h"
#include "support/scripted_prompter.h"
#include "support/test_env.h"
#include "utility/library.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QTest>
#include <gtest/gtest.h>
#include <optional>

namespace {

struct Caso {
    const char* caso;     // the row's first field
    const char* columna;  // the column that holds its value
    const char* literal;  // the value as SQL
    const char* enC;      // the cell under C.UTF-8
    const char* enEsAr;   // the cell under es_AR.UTF-8
};

const char* const kColumnas =
    "CASO VARCHAR(20), ENTERO INTEGER, REAL_ FLOAT, DECIMAL_ DECIMAL(20,0), NUMERICO NUMERIC(20,0), "
    "GRANDE DECIMAL(38,10), DINERO MONEY, FECHA DATETIME, FECHA2 DATETIME2, CORTA SMALLDATETIME, DIA DATE, "
    "HORA TIME, LOGICO BIT, TEXTO VARCHAR(30)";

const Caso kCasos[] = {
    {"cien mil", "REAL_", "100000", "100000", "100000"},
    {"cinco diezmilesimos", "REAL_", "0.0005", "0.0005", "0,0005"},
    {"mil y pico", "REAL_", "1234.5", "1234.5", "1234,5"},
    {"menos medio", "REAL_", "-0.5", "-0.5", "-0,5"},
    {"diez a la 16", "REAL_", "1e16", "1E+16", "1E+16"},
    {"entero de 17", "ENTERO", "12345678901234567", "12345678901234567", "12345678901234567"},
    {"decimal de 17", "DECIMAL_", "'12345678901234567'", "12345678901234567", "12345678901234567"},
    {"numeric de 17", "NUMERICO", "'12345678901234567'", "12345678901234567", "12345678901234567"},
    {"decimal 38,10", "GRANDE", "'-1234.5678900000'", "-1234.56789", "-1234,56789"},
    {"dinero", "DINERO", "'1234.5000'", "1234.5", "1234,5"},
    {"fecha y hora", "FECHA", "'2003-02-17 10:15:00'", "17 Feb 2003 10:15:00", "17/2/03 10:15:00"},
    {"fecha sin hora", "FECHA", "'2003-02-18'", "18 Feb 2003", "18/2/03"},
    {"medianoche", "FECHA", "'2003-02-19 00:00:00'", "19 Feb 2003", "19/2/03"},
    {"fecha cero", "FECHA", "'1899-12-30 11:30:00'", "11:30:00", "11:30:00"},
    {"no es fecha", "FECHA", "'pendiente'", "pendiente", "pendiente"},
    {"datetime2", "FECHA2", "'2003-02-17T10:15:00.123'", "17 Feb 2003 10:15:00", "17/2/03 10:15:00"},
    {"smalldatetime", "CORTA", "'2003-02-17 10:15'", "17 Feb 2003 10:15:00", "17/2/03 10:15:00"},
    {"dia", "DIA", "'2003-02-20'", "20 Feb 2003", "20/2/03"},
    {"hora sola", "HORA", "'10:15:00'", "10:15:00", "10:15:00"},
    {"verdadero", "LOGICO", "1", "True", "Verdadero"},
    {"falso", "LOGICO", "0", "False", "Falso"},
    {"nulo", "TEXTO", "NULL", "", ""},
    {"espacios", "TEXTO", "'  con  espacios '", "  con  espacios ", "  con  espacios "},
};

QString texto(const char* s) { return QString::fromUtf8(s); }

class Valores : public testsupport::ProgramTest, public ::testing::WithParamInterface<bool> {
protected:
    bool porOdbc() const { return GetParam(); }
    void SetUp() override {
        ProgramTest::SetUp();
        QStringList sql{QStringLiteral("CREATE TABLE VALORES (%1)").arg(QLatin1String(kColumnas))};
        for (const Caso& c : kCasos)
            sql << QStringLiteral("INSERT INTO VALORES (CASO, %1) VALUES ('%2', %3)")
                       .arg(QLatin1String(c.columna), texto(c.caso), QLatin1String(c.literal));
        const QString file = makeDatabase(QStringLiteral("valores.sqlite"), sql);
        if (porOdbc()) qputenv("STOCKFIX_ODBC_DRIVER", "SQLite3");
        auto& da = utility::dataAccess();
        da.setServer(porOdbc() ? QStringLiteral("localhost") : QStringLiteral("sqlite"));
        da.setDatabaseName(porOdbc() ? testsupport::odbcFileName(file) : file);
        da.OpenSession(0, 3);
        ASSERT_TRUE(da.IsOpen()) << da.lastOpenError().toStdString();
    }
    void TearDown() override {
        qunsetenv("STOCKFIX_ODBC_DRIVER");
        ProgramTest::TearDown();
    }
    static QString esperado(const Caso& c) {
        if (const std::optional<QString> propio = textoDeFechaDelSistema(c)) return *propio;
        return texto(QLocale().language() == QLocale::Spanish ? c.enEsAr : c.enC);
    }
    // Where the platform has the user's own date and time formats (Windows), a date or time
    // reads as its functions write it: the short date, then the time unless it is midnight;
    // the time alone on the zero date (30 Dec 1899) or in a time column.
    static std::optional<QString> textoDeFechaDelSistema(const Caso& c) {
        const QString literal = QString::fromLatin1(c.literal).remove(u'\'');
        const bool soloHora = QLatin1String(c.columna) == QLatin1String("HORA");
        const QString deLaHora = soloHora ? literal : literal.mid(11, 8);  // "10:15:00" or "10:15"
        QTime hora = QTime::fromString(deLaHora, QStringLiteral("HH:mm:ss"));
        if (!hora.isValid()) hora = QTime::fromString(deLaHora, QStringLiteral("HH:mm"));
        if (!hora.isValid()) hora = QTime(0, 0);
        if (soloHora) return testsupport::platformLongTime(hora);
        const QDate dia = QDate::fromString(literal.left(10), Qt::ISODate);
        if (!dia.isValid()) return std::nullopt;
        if (dia == QDate(1899, 12, 30)) return testsupport::platformLongTime(hora);
        std::optional<QString> escrito = testsupport::platformShortDate(dia);
        if (escrito && hora != QTime(0, 0)) {
            const std::optional<QString> deHora = testsupport::platformLongTime(hora);
            if (!deHora) return std::nullopt;
            *escrito += u' ' + *deHora;
        }
        return escrito;
    }
    testsupport::ScriptedPrompter prompter;  // a message box would fail the test
};

}  // namespace

TEST_P(Valores, EachValueReadsAsTheUsersPlatformShowsItEverywhereTheListUsesIt) {
    lookup::Lib_FrmCons2 w;
    w.SQL = QStringLiteral("SELECT * FROM VALORES");
    w.Form_Load();
    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    ASSERT_TRUE(prompter.boxes.isEmpty()) << prompter.boxes.front().prompt.toStdString();
    platform::ReportListView* lista = w.ListView1;
    ASSERT_EQ(lista->items().count(), qsizetype(std::size(kCasos)));
    auto columna = [&](const char* nombre) {
        QString n = QLatin1String(nombre);
        return w.IndiceColumna(n) - 1;
    };
    auto fila = [&](const Caso& c) {  // displayed position of the case's row
        for (qsizetype p = 1; p <= lista->items().count(); ++p)
            if (lista->itemText(p) == texto(c.caso)) return p;
        return qsizetype(0);
    };

    for (const Caso& c : kCasos) {
        SCOPED_TRACE(c.caso);
        const int k = columna(c.columna);
        const qsizetype p = fila(c);
        ASSERT_GT(p, 0);
        EXPECT_EQ(lista->subItem(p, k), esperado(c));
        // Typed into its column's box, the cell's text finds its row.
        if (esperado(c).trimmed().isEmpty()) continue;
        QComboBox* caja = w.CmbSearch[k];
        caja->setEditText(QString());
        caja->setFocus();
        QTest::keyClicks(caja->lineEdit(), esperado(c));
        EXPECT_EQ(lista->itemText(lista->selectedPosition()), texto(c.caso));
    }

    // Sorting by a column orders its cells as the texts they show (text order: 100000
    // before 1234.5), the first click descending.
    QHeaderView* cabecera = lista->horizontalHeader();
    const int real = columna("REAL_");
    QTest::mouseClick(cabecera->viewport(), Qt::LeftButton, {},
                      QPoint(cabecera->sectionViewportPosition(real) + 5, cabecera->height() / 2));
    QStringList ordenados;
    for (qsizetype p = 1; p <= lista->items().count(); ++p)
        if (!lista->subItem(p, real).isEmpty()) ordenados << lista->itemText(p);
    // Windows' word sort passes over the minus sign: "-0.5" sorts as "0.5".
    EXPECT_EQ(ordenados, testsupport::kTextOrderSkipsMinusSigns
                             ? (QStringList{"diez a la 16", "mil y pico", "cien mil", "menos medio", "cinco diezmilesimos"})
                             : (QStringList{"diez a la 16", "mil y pico", "cien mil", "cinco diezmilesimos", "menos medio"}));

    // F5's drop-down holds the column's cells as shown, in the displayed order.
    w.mostrarMenu = [&](QMenu&) { w.MNU_Llena->trigger(); };
    QComboBox* caja = w.CmbSearch[real];
    caja->setFocus();
    QTest::keyClick(caja, Qt::Key_F5);
    ASSERT_EQ(caja->count(), int(lista->items().count()));
    for (int i = 0; i < caja->count(); ++i) EXPECT_EQ(caja->itemText(i), lista->subItem(i + 1, real));

    // Accept returns the cells as shown.
    w.CmpsDevueltos = lookup::nuevaColeccion();
    for (int k = 1; k <= lista->columnHeaderCount(); ++k) *w.CmpsDevueltos << lista->columnHeader(k).text;
    for (const Caso& c : kCasos) {
        SCOPED_TRACE(c.caso);
        const qsizetype p = fila(c);
        lista->selectPosition(p);
        w.Valores = lookup::nuevaColeccion();
        w.CmdAceptar_Click();
        ASSERT_TRUE(w.Valores);
        ASSERT_EQ(w.Valores->size(), lista->columnHeaderCount());
        EXPECT_EQ(w.Valores->at(columna(c.columna)), esperado(c));
        for (int k = 0; k < lista->columnHeaderCount(); ++k) EXPECT_EQ(w.Valores->at(k), lista->cellView(p, k).toString());
    }
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(BothReaders, Valores, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Odbc" : "Sqlite"; });
