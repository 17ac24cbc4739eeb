// Busqueda's index against a plain reference: the window's list driven at random (sorts,
// flips, cell changes, rows appended, searches) beside its rows as lists of texts, sorted
// with std::stable_sort and searched by walking them. Columns of a few thousand rows, so
// the index's blocks are crossed.
#include "lookup/lib_frm_cons2.h"
#include "platform/report_list_view.h"
#include "platform/text_rules.h"

#include <QAbstractItemModelTester>
#include <QCollator>
#include <algorithm>
#include <gtest/gtest.h>
#include <random>

namespace {

QString textoAlAzar(std::mt19937& rng) {
    static const QString letras = QStringLiteral("aAbBcCnNñÑoOeEéÉáÁzZ 0129-.");
    static const QStringList comienzos{QString(), QStringLiteral("Articulo 00"), QStringLiteral("  caño "),
                                       QStringLiteral("CAÑO "), QStringLiteral("Ñandú")};
    QString s = comienzos[std::uniform_int_distribution<int>(0, int(comienzos.size()) - 1)(rng)];
    const int largo = std::uniform_int_distribution<int>(0, 10)(rng);
    for (int i = 0; i < largo; ++i) s += letras[std::uniform_int_distribution<int>(0, int(letras.size()) - 1)(rng)];
    return s;
}

TEST(IndiceBusqueda, RandomSortsChangesAndSearchesAgreeWithAPlainReference) {
    for (unsigned seed : {7u, 8u}) {
        SCOPED_TRACE(seed);
        std::mt19937 rng(seed);
        const int columnas = 3, filas = 2500;
        lookup::Lib_FrmCons2 w;
        platform::ListItemsModel& items = w.ListView1->items();
        QAbstractItemModelTester tester(&items, QAbstractItemModelTester::FailureReportingMode::Fatal);
        for (int c = 0; c < columnas; ++c) w.ListView1->addColumn(QString(), QString::number(c), 1000);
        std::vector<QStringList> celdas(columnas);
        items.beginLoad();
        for (int r = 0; r < filas; ++r) {
            const platform::StorageRow fila = items.appendRow();
            for (int c = 0; c < columnas; ++c) {
                celdas[size_t(c)] << textoAlAzar(rng);
                items.setCell(fila, c, celdas[size_t(c)].back());
            }
        }
        items.endLoad();

        QCollator collator;
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        const bool c_locale = QLocale().language() == QLocale::C;
        auto compara = [&](const QString& a, const QString& b) {
            if (!c_locale) return collator.compare(a, b);
            const QString fa = a.toCaseFolded(), fb = b.toCaseFolded();
            return fa < fb ? -1 : (fb < fa ? 1 : 0);
        };
        std::vector<uint32_t> mostradas(filas);  // the reference's shown order
        for (int i = 0; i < filas; ++i) mostradas[size_t(i)] = uint32_t(i);
        for (int paso = 0; paso < 80; ++paso) {
            const int que = std::uniform_int_distribution<int>(0, 11)(rng);
            const int columna = std::uniform_int_distribution<int>(0, columnas - 1)(rng);
            const QStringList& textos = celdas[size_t(columna)];
            if (que < 3) {
                const int orden = int(rng() % 2);
                w.ListView1->setSortState(true, columna, orden);
                std::stable_sort(mostradas.begin(), mostradas.end(), [&](uint32_t a, uint32_t b) {
                    const int c = compara(textos[a], textos[b]);
                    return orden == 1 ? c > 0 : c < 0;
                });
            } else if (que < 5) {
                const int fila = std::uniform_int_distribution<int>(0, int(mostradas.size()) - 1)(rng);
                celdas[size_t(columna)][fila] = textoAlAzar(rng);
                items.setCell(platform::StorageRow{fila}, columna, celdas[size_t(columna)][fila]);
            } else if (que == 5) {
                const platform::StorageRow fila = items.appendRow();
                for (int c = 0; c < columnas; ++c) {
                    celdas[size_t(c)] << textoAlAzar(rng);
                    items.setCell(fila, c, celdas[size_t(c)].back());
                }
                mostradas.push_back(uint32_t(fila.value));
            } else {
                // A prefix of some row's trimmed cell (or of nothing), cut at random, with blanks around.
                const QString de = platform::Trim(textos[std::uniform_int_distribution<int>(0, int(textos.size()) - 1)(rng)]);
                QString clave = de.left(std::uniform_int_distribution<int>(0, int(de.size()))(rng));
                if (que == 11) clave += QStringLiteral("ñ");
                if (rng() % 2) clave = clave.toUpper();
                if (rng() % 2) clave = QStringLiteral(" ") + clave + QStringLiteral("  ");
                const QString buscada = platform::Trim(clave);
                int32_t esperada = 0;
                for (size_t p = 0; p < mostradas.size() && esperada == 0; ++p) {
                    const QString celda = platform::Trim(textos[mostradas[p]]);
                    if (celda.size() >= buscada.size() && celda.left(buscada.size()).toCaseFolded() == buscada.toCaseFolded())
                        esperada = int32_t(p + 1);
                }
                int32_t clave32 = columna;
                if (que == 10) w.CmbSearch_GotFocus(int16_t(columna));  // the index built before the search
                ASSERT_EQ(w.Busqueda(clave32, clave), esperada) << paso << " " << clave.toStdString();
            }
        }
    }
}

}  // namespace
