#include "lookup/disposicion.h"

#include <gtest/gtest.h>

using namespace lookup;

TEST(LookupLayout, ColumnWidthsComeFromTheDefinedSizeCappedAt1000) {
    auto xs = [](int n) { return 100.0 * n; };  // 100 twips per letter X
    EXPECT_EQ(anchoColumna(2000, xs), 100000);
    EXPECT_EQ(anchoColumna(1000, xs), 100000);
    EXPECT_EQ(anchoColumna(999, xs), 99900);
    EXPECT_EQ(anchoColumna(4, xs), 400);
    EXPECT_EQ(anchoColumna(2.5, xs), 200);  // rounded to an integer, halves to even
}

TEST(LookupLayout, BoxesPanelScrollBarAndWindowFromTheColumns) {
    const Disposicion d = calcularDisposicion({{0, 1500}, {1500, 2500}, {4000, 6000}}, false, 19200);
    ASSERT_EQ(d.cajas.size(), 3u);
    EXPECT_EQ(d.cajas[1].left, 1500);
    EXPECT_EQ(d.cajas[1].width, 2450);  // 50 narrower than its column
    EXPECT_EQ(d.anchoPanel, 10360);
    EXPECT_EQ(d.anchoBarra, 10000);
    EXPECT_EQ(d.maximoBarra, 6504);      // (10360 + 480) x 0.6
    EXPECT_FLOAT_EQ(d.anchoLista, 10360);
    EXPECT_EQ(d.anchoVentana, 10640);    // narrower than the screen: list width + 280

    const struct {
        double total;
        double panel;
        int16_t maximo;
    } totals[] = {{40000, 40360, 32700}, {2.5, 362, 505}, {3.5, 364, 506}};
    for (const auto& t : totals) {
        SCOPED_TRACE(t.total);
        const Disposicion x = calcularDisposicion({{0, t.total}}, false, 19200);
        EXPECT_EQ(x.anchoPanel, t.panel);
        EXPECT_EQ(x.maximoBarra, t.maximo);
    }
    // As wide as the screen less 360 or wider: the screen less 480.
    EXPECT_EQ(calcularDisposicion({{0, 18480}}, false, 19200).anchoVentana, 18720);
    EXPECT_EQ(calcularDisposicion({{0, 18479}}, false, 19200).anchoVentana, 19119);

    // The quantity column has no box but counts into the total.
    const Disposicion q = calcularDisposicion({{0, 1000}, {1000, 600}}, true, 19200);
    EXPECT_EQ(q.cajas.size(), 1u);
    EXPECT_EQ(q.anchoBarra, 1600);
}

TEST(LookupLayout, ResizingFollowsTheWindowsOuterSize) {
    const Redimension r = calcularRedimension(9000, 6000, 255, 4935, 255);
    EXPECT_EQ(r.altoPanel, 5265);
    EXPECT_EQ(r.altoLista, 4410);
    EXPECT_EQ(r.anchoPanel, 8880);
    EXPECT_EQ(r.anchoLista, 8860);
    EXPECT_EQ(r.topFrame, 5325);
    EXPECT_EQ(r.topBarra, 5265 - 255 - 120);
    EXPECT_EQ(r.anchoBarra, 8880);
    EXPECT_EQ(r.leftFrame, 4500 - 4935 / 2.0);
}
