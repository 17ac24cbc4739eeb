// The one cell rule of the loading, cell by cell and over whole columns.
#include "lookup/carga_filas.h"

#include <gtest/gtest.h>
#include <random>

TEST(CargaFilas, TheColumnRuleGivesEveryCellTheCellRule) {
    std::mt19937 rng(17);
    const QString alphabet = QStringLiteral("  \t\r\nabcñÑé09");
    const int campos = 3, filas = 2000;
    std::vector<QStringList> valores(campos);
    std::vector<platform::TextColumn> columnas(campos);
    for (int c = 0; c < campos; ++c)
        for (int r = 0; r < filas; ++r) {
            QString v;
            const int n = std::uniform_int_distribution<int>(0, 8)(rng);
            for (int k = 0; k < n; ++k) v += alphabet[std::uniform_int_distribution<int>(0, int(alphabet.size()) - 1)(rng)];
            valores[size_t(c)] << v;
            columnas[size_t(c)].append(v);
        }
    lookup::aplicarReglaDeCeldas(columnas);
    lookup::CeldaBuffer buffer;
    for (int c = 0; c < campos; ++c) {
        const platform::TextColumn& col = columnas[size_t(c)];
        ASSERT_EQ(col.size(), filas);
        for (int r = 0; r < filas; ++r) {
            ASSERT_EQ(col.at(r).toString(), lookup::celdaDeCampo(c, valores[size_t(c)][r], buffer).toString()) << c << "," << r;
        }
    }
    // The rule itself: the first field loses its blanks (only blanks), the others keep them
    // and show tabs and line ends as blanks.
    EXPECT_EQ(lookup::celdaDeCampo(0, u"  a\tb  ", buffer).toString(), QStringLiteral("a\tb"));
    EXPECT_EQ(lookup::celdaDeCampo(1, u" a\tb\r\n", buffer).toString(), QStringLiteral(" a b  "));
}
