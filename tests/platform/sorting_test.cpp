// The list's sorts against plain references: std::stable_sort with QCollator or the
// folded comparison, on random Spanish texts.
#include "platform/sort/folded_text.h"
#include "platform/sort/locale_collator.h"
#include "platform/sort/shown_order.h"
#include "platform/sort/sort_strategies.h"
#include "support/child_process.h"

#include <QCollator>
#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <numeric>
#include <random>

namespace {

using platform::RowText;

// Texts that share long beginnings, with ñ, accents, case, digits, blanks and signs; `wide`
// adds letters and signs past Latin-1 (€, Greek, Cyrillic).
QString spanishText(std::mt19937& rng, bool wide = false) {
    static const QString narrowLetters = QStringLiteral("aAbBcCnNñÑoOeEéÉáÁíóÓúüÜzZ 0123456789-.,/");
    static const QString wideLetters = narrowLetters + QStringLiteral("€ΩωЖж");
    const QString& letters = wide ? wideLetters : narrowLetters;
    static const QStringList beginnings{QString(), QStringLiteral("Articulo 00"), QStringLiteral("ARTICULO 0"),
                                        QStringLiteral("caño "), QStringLiteral("Caño galvanizado "),
                                        QStringLiteral("  cano"), QStringLiteral("Ñandú")};
    QString s = beginnings[std::uniform_int_distribution<int>(0, int(beginnings.size()) - 1)(rng)];
    const int length = std::uniform_int_distribution<int>(0, 12)(rng);
    for (int i = 0; i < length; ++i) s += letters[std::uniform_int_distribution<int>(0, int(letters.size()) - 1)(rng)];
    return s;
}

QStringList spanishTexts(int n, unsigned seed, bool wide = false) {
    std::mt19937 rng(seed);
    QStringList texts;
    for (int i = 0; i < n; ++i) texts << spanishText(rng, wide);
    // Equal texts, and texts equal but for case, so stability and groups show.
    for (int i = 0; i < n / 10; ++i) {
        const QString t = texts[std::uniform_int_distribution<int>(0, n - 1)(rng)];
        texts << (i % 2 ? t : t.toUpper());
    }
    std::shuffle(texts.begin(), texts.end(), rng);
    return texts;
}

int foldedCompare(const QString& a, const QString& b) {
    const QString fa = a.toCaseFolded(), fb = b.toCaseFolded();
    return fa < fb ? -1 : (fb < fa ? 1 : 0);
}

std::vector<uint32_t> identity(size_t n) {
    std::vector<uint32_t> rows(n);
    std::iota(rows.begin(), rows.end(), 0u);
    return rows;
}

// The rows in an order of their own, as a list sorted by another column holds them.
std::vector<uint32_t> shuffled(size_t n, unsigned seed) {
    std::vector<uint32_t> rows = identity(n);
    std::shuffle(rows.begin(), rows.end(), std::mt19937(seed));
    return rows;
}

// Stable reference order of `rows` by `compare`, and its groups of equal rows.
template <class Compare>
std::vector<uint32_t> referenceSort(std::vector<uint32_t> rows, const QStringList& texts, bool descending, Compare compare) {
    std::stable_sort(rows.begin(), rows.end(), [&](uint32_t a, uint32_t b) {
        const int c = compare(texts[a], texts[b]);
        return descending ? c > 0 : c < 0;
    });
    return rows;
}

const QLocale kLocales[] = {QLocale(QLocale::Spanish, QLocale::Argentina), QLocale(QLocale::Spanish, QLocale::Spain),
                            QLocale(QLocale::English, QLocale::UnitedStates), QLocale(QLocale::Swedish, QLocale::Sweden),
                            QLocale(QLocale::Serbian, QLocale::LatinScript, QLocale::Serbia)};

// Short lists, and lists long enough to be split by their first bits, read by blocks of rows
// and keyed on two threads; each sorted from a shuffled order, so stability shows.
struct SortCase {
    int texts;
    bool wide;
    std::vector<QLocale> locales;
};
const SortCase kSortCases[] = {
    {.texts = 4000, .wide = false, .locales = std::vector<QLocale>(std::begin(kLocales), std::end(kLocales))},
    {.texts = 4000, .wide = true, .locales = {QLocale(QLocale::Spanish, QLocale::Argentina)}},
    {.texts = 70000, .wide = false, .locales = {QLocale(QLocale::Spanish, QLocale::Argentina)}},
    {.texts = 70000, .wide = true, .locales = {QLocale(QLocale::Swedish, QLocale::Sweden)}},
};

TEST(SortStrategies, CollatedOrderIsQCollatorsExactOrderBothWays) {
    for (const SortCase& c : kSortCases) {
        SCOPED_TRACE(testing::Message() << c.texts << " texts, wide " << c.wide);
        QStringList texts = spanishTexts(c.texts, 3, c.wide);
        // Long shared beginnings that differ only in an accent or in case at the end.
        for (const char* t : {"ARANDELA PLANA ZINCADA 0001234 camion", "arandela plana zincada 0001234 camión",
                              "Arandela Plana Zincada 0001234 Camión", "ARANDELA PLANA ZINCADA 0001234 CAMION"})
            texts << QString::fromUtf8(t);
        const RowText text = [&](uint32_t row) { return QStringView(texts[row]); };
        for (const QLocale& locale : c.locales) {
            SCOPED_TRACE(locale.name().toStdString());
            QCollator collator(locale);
            collator.setCaseSensitivity(Qt::CaseInsensitive);
            // Wine's LCMapStringEx and CompareStringEx disagree on Serbian Latin, where Windows
            // documents that sort keys order as CompareStringEx does: under Wine the reference
            // there is the platform's sort keys compared whole.
            const std::unique_ptr<platform::LocaleCollator> keys =
                testsupport::runsUnderWine() && locale.language() == QLocale::Serbian ? platform::LocaleCollator::open(locale)
                                                                                        : nullptr;
            auto compare = [&](const QString& a, const QString& b) {
                if (!keys) return collator.compare(a, b);
                std::vector<uint8_t> ka, kb;
                const qsizetype na = keys->sortKey(a, ka), nb = keys->sortKey(b, kb);
                const int c = std::memcmp(ka.data(), kb.data(), size_t(std::min(na, nb)));
                return c != 0 ? c : (na < nb ? -1 : na > nb ? 1 : 0);
            };
            for (bool descending : {false, true}) {
                const std::vector<uint32_t> start = shuffled(size_t(texts.size()), 11);
                std::vector<uint32_t> rows = start;
                std::vector<bool> same;
                platform::sortCollated(rows, text, locale, descending, same);
                EXPECT_EQ(rows, referenceSort(start, texts, descending, compare));
                for (size_t i = 1; i < rows.size(); ++i)
                    ASSERT_EQ(same[i], compare(texts[rows[i - 1]], texts[rows[i]]) == 0) << i;
            }
        }
    }
}

TEST(SortStrategies, FoldedOrderComparesCaseFoldedCharactersBothWays) {
    for (const SortCase& c : kSortCases) {
        SCOPED_TRACE(testing::Message() << c.texts << " texts, wide " << c.wide);
        QStringList texts = spanishTexts(c.texts, 4, c.wide);
        texts << QStringLiteral("ab") << QString(QStringLiteral("ab") + QChar(0)) << QStringLiteral("AB");  // a NUL is no end
        const RowText text = [&](uint32_t row) { return QStringView(texts[row]); };
        for (bool descending : {false, true}) {
            const std::vector<uint32_t> start = shuffled(size_t(texts.size()), 12);
            std::vector<uint32_t> rows = start;
            std::vector<bool> same;
            platform::sortFolded(rows, text, descending, same);
            EXPECT_EQ(rows, referenceSort(start, texts, descending, foldedCompare));
            for (size_t i = 1; i < rows.size(); ++i)
                ASSERT_EQ(same[i], foldedCompare(texts[rows[i - 1]], texts[rows[i]]) == 0) << i;
        }
    }
}

TEST(SortStrategies, ReversingEqualGroupsIsTheStableSortTheOtherWay) {
    const QStringList texts = spanishTexts(3000, 5);
    const RowText text = [&](uint32_t row) { return QStringView(texts[row]); };
    std::vector<uint32_t> rows = identity(size_t(texts.size()));
    std::vector<bool> same;
    platform::sortFolded(rows, text, false, same);
    platform::reverseEqualGroups(rows, same);
    EXPECT_EQ(rows, referenceSort(identity(size_t(texts.size())), texts, true, foldedCompare));
    platform::reverseEqualGroups(rows, same);
    EXPECT_EQ(rows, referenceSort(identity(size_t(texts.size())), texts, false, foldedCompare));
}

TEST(RowCoordinates, PositionsAreShownRowsCountedFromOneAndNoneStaysNone) {
    EXPECT_EQ(platform::positionOf(platform::ShownRow{0}).value, 1);
    EXPECT_EQ(platform::positionOf(platform::ShownRow{}).value, 0);
    EXPECT_EQ(platform::shownRowOf(platform::Position{5}).value, 4);
    EXPECT_FALSE(platform::shownRowOf(platform::Position{}).valid());
}

// The shown order, driven at random (sorts, flips, cell changes, rows appended) beside a
// plain copy: its rows as lists of texts, sorted with std::stable_sort, a flip checked
// against the stable sort the other way round, in the process's locale.
TEST(ShownOrder, RandomSortsFlipsAndChangesAgreeWithAPlainReference) {
    for (unsigned seed : {7u, 8u}) {
        SCOPED_TRACE(seed);
        std::mt19937 rng(seed);
        const int columns = 3, rows = 2500;
        std::vector<QStringList> cells(columns);
        for (int c = 0; c < columns; ++c) cells[size_t(c)] = spanishTexts(rows, seed * 10 + unsigned(c)).mid(0, rows);

        platform::ShownOrder order;
        order.reset(rows);
        const QLocale locale;
        QCollator collator(locale);
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        const bool c_locale = locale.language() == QLocale::C;
        auto compare = [&](const QString& a, const QString& b) { return c_locale ? foldedCompare(a, b) : collator.compare(a, b); };
        std::vector<uint32_t> shown = identity(size_t(rows));  // the reference's shown order
        int lastColumn = -1;
        bool lastDescending = false;
        for (int step = 0; step < 60; ++step) {
            const int what = std::uniform_int_distribution<int>(0, 9)(rng);
            int column = std::uniform_int_distribution<int>(0, columns - 1)(rng);
            const uint64_t stamp = order.stamp();
            if (what < 6) {
                bool descending = rng() % 2;
                if (what < 2 && lastColumn >= 0) column = lastColumn, descending = !lastDescending;  // a flip
                const QStringList& texts = cells[size_t(column)];
                const bool changes = !(column == lastColumn && descending == lastDescending);
                order.sortBy(column, descending, [&](uint32_t row) { return QStringView(texts[row]); }, locale);
                shown = referenceSort(shown, texts, descending, compare);
                EXPECT_EQ(order.stamp() != stamp, changes) << step;
                lastColumn = column;
                lastDescending = descending;
            } else if (what < 9) {
                const int row = std::uniform_int_distribution<int>(0, int(shown.size()) - 1)(rng);
                cells[size_t(column)][row] = spanishText(rng);
                order.cellChanged(column);
                if (column == lastColumn) lastColumn = -1;
            } else {
                for (int c = 0; c < columns; ++c) cells[size_t(c)] << spanishText(rng);
                order.appendRow();
                shown.push_back(uint32_t(shown.size()));
                lastColumn = -1;
                EXPECT_NE(order.stamp(), stamp);
            }
            ASSERT_EQ(order.size(), qsizetype(shown.size()));
            for (size_t p = 0; p < shown.size(); ++p) {
                const platform::StorageRow stored = order.storageOf(platform::ShownRow{qsizetype(p)});
                ASSERT_EQ(stored.value, qsizetype(shown[p])) << "step " << step << " position " << p;
                ASSERT_EQ(order.shownOf(stored).value, qsizetype(p));
            }
        }
    }
}

}  // namespace
