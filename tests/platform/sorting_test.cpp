// The list's sorts and searches against plain references: a linear scan and
// std::stable_sort with QCollator or the folded comparison, on random Spanish texts.
#include "platform/folded_text.h"
#include "platform/list_items_model.h"
#include "platform/sort_strategies.h"
#include "platform/text_rules.h"

#include <QAbstractItemModelTester>
#include <QCollator>
#include <algorithm>
#include <gtest/gtest.h>
#include <numeric>
#include <random>

namespace {

using platform::RowText;

// Texts that share long beginnings, with ñ, accents, case, digits, blanks and signs.
QString spanishText(std::mt19937& rng) {
    static const QString letters = QStringLiteral("aAbBcCnNñÑoOeEéÉáÁíóÓúüÜzZ 0123456789-.,/");
    static const QStringList beginnings{QString(), QStringLiteral("Articulo 00"), QStringLiteral("ARTICULO 0"),
                                        QStringLiteral("caño "), QStringLiteral("Caño galvanizado "),
                                        QStringLiteral("  cano"), QStringLiteral("Ñandú")};
    QString s = beginnings[std::uniform_int_distribution<int>(0, int(beginnings.size()) - 1)(rng)];
    const int length = std::uniform_int_distribution<int>(0, 12)(rng);
    for (int i = 0; i < length; ++i) s += letters[std::uniform_int_distribution<int>(0, int(letters.size()) - 1)(rng)];
    return s;
}

QStringList spanishTexts(int n, unsigned seed) {
    std::mt19937 rng(seed);
    QStringList texts;
    for (int i = 0; i < n; ++i) texts << spanishText(rng);
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

TEST(SortStrategies, CollatedOrderIsQCollatorsExactOrderBothWays) {
    const QStringList texts = spanishTexts(4000, 3);
    const RowText text = [&](uint32_t row) { return QStringView(texts[row]); };
    for (const QLocale& locale : kLocales) {
        SCOPED_TRACE(locale.name().toStdString());
        QCollator collator(locale);
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        auto compare = [&](const QString& a, const QString& b) { return collator.compare(a, b); };
        for (bool descending : {false, true}) {
            std::vector<uint32_t> rows = identity(size_t(texts.size()));
            std::vector<bool> same;
            platform::sortCollated(rows, text, texts.size(), locale, descending, same);
            EXPECT_EQ(rows, referenceSort(identity(size_t(texts.size())), texts, descending, compare));
            for (size_t i = 1; i < rows.size(); ++i)
                ASSERT_EQ(same[i], compare(texts[rows[i - 1]], texts[rows[i]]) == 0) << i;
        }
    }
}

// Texts whose sort keys share more than the sort's abbreviated 16 bytes and differ only
// later, in accents or case: few copies tie in short runs, many in long ones.
struct TiedTexts {
    const char* name;
    QString beginning;
    QStringList endings;
    int copies;
};

const TiedTexts kTiedTexts[] = {
    {.name = "accents at the end, short runs",
     .beginning = QStringLiteral("ARANDELA PLANA ZINCADA "),
     .endings = {QStringLiteral("cano"), QStringLiteral("caño"), QStringLiteral("canó"), QStringLiteral("CANO"),
                 QStringLiteral("Caño")},
     .copies = 1},
    {.name = "accents at the end, long runs",
     .beginning = QStringLiteral("ARANDELA PLANA ZINCADA "),
     .endings = {QStringLiteral("cano"), QStringLiteral("caño"), QStringLiteral("canó"), QStringLiteral("CANO"),
                 QStringLiteral("Caño"), QStringLiteral("cano 1")},
     .copies = 40},
    {.name = "case only",
     .beginning = QStringLiteral("Tornillo autoperforante "),
     .endings = {QStringLiteral("x"), QStringLiteral("X")},
     .copies = 60},
    {.name = "accents early, told apart only past the letters",
     .beginning = QString(),
     .endings = {QStringLiteral("Ésta es una descripción larga"), QStringLiteral("Esta es una descripcion larga"),
                 QStringLiteral("ESTA ES UNA DESCRIPCIÓN LARGA")},
     .copies = 20},
    {.name = "short texts whose prefix is the whole key",
     .beginning = QString(),
     .endings = {QStringLiteral("abc"), QStringLiteral("ABC"), QStringLiteral("ábc"), QString(), QStringLiteral("ab")},
     .copies = 30},
};

TEST(SortStrategies, TiesBeyondTheAbbreviatedKeyFollowQCollatorStablyBothWays) {
    for (const TiedTexts& tied : kTiedTexts) {
        SCOPED_TRACE(tied.name);
        QStringList texts;
        for (int c = 0; c < tied.copies; ++c)
            for (const QString& ending : tied.endings) texts << tied.beginning + ending;
        std::shuffle(texts.begin(), texts.end(), std::mt19937(9));
        const RowText text = [&](uint32_t row) { return QStringView(texts[row]); };
        for (const QLocale& locale : {QLocale(QLocale::Spanish, QLocale::Argentina), QLocale(QLocale::Swedish, QLocale::Sweden)}) {
            QCollator collator(locale);
            collator.setCaseSensitivity(Qt::CaseInsensitive);
            auto compare = [&](const QString& a, const QString& b) { return collator.compare(a, b); };
            for (bool descending : {false, true}) {
                SCOPED_TRACE(descending ? "descending" : "ascending");
                std::vector<uint32_t> rows = identity(size_t(texts.size()));
                std::vector<bool> same;
                platform::sortCollated(rows, text, texts.size(), locale, descending, same);
                EXPECT_EQ(rows, referenceSort(identity(size_t(texts.size())), texts, descending, compare));
                for (size_t i = 1; i < rows.size(); ++i)
                    ASSERT_EQ(same[i], compare(texts[rows[i - 1]], texts[rows[i]]) == 0) << i;
            }
        }
    }
}

TEST(SortStrategies, FoldedOrderComparesCaseFoldedCharactersBothWays) {
    QStringList texts = spanishTexts(4000, 4);
    texts << QStringLiteral("ab") << QString(QStringLiteral("ab") + QChar(0)) << QStringLiteral("AB");  // a NUL is no end
    const RowText text = [&](uint32_t row) { return QStringView(texts[row]); };
    for (bool descending : {false, true}) {
        std::vector<uint32_t> rows = identity(size_t(texts.size()));
        std::vector<bool> same;
        platform::sortFolded(rows, text, descending, same);
        EXPECT_EQ(rows, referenceSort(identity(size_t(texts.size())), texts, descending, foldedCompare));
        for (size_t i = 1; i < rows.size(); ++i)
            ASSERT_EQ(same[i], foldedCompare(texts[rows[i - 1]], texts[rows[i]]) == 0) << i;
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

// The whole model, driven at random (sorts, flips, cell changes, prefix searches) beside
// a plain copy: its rows as a list of texts, sorted with std::stable_sort and searched by
// walking them. Columns of a few thousand rows, so the index's blocks are crossed.
TEST(RowCoordinates, PositionsAreShownRowsCountedFromOneAndNoneStaysNone) {
    EXPECT_EQ(platform::positionOf(platform::ShownRow{0}).value, 1);
    EXPECT_EQ(platform::positionOf(platform::ShownRow{}).value, 0);
    EXPECT_EQ(platform::shownRowOf(platform::Position{5}).value, 4);
    EXPECT_FALSE(platform::shownRowOf(platform::Position{}).valid());
}

TEST(ListModel, RandomSortsChangesAndSearchesAgreeWithAPlainReference) {
    for (unsigned seed : {7u, 8u}) {
        SCOPED_TRACE(seed);
        std::mt19937 rng(seed);
        const int columns = 3, rows = 2500;
        std::vector<QStringList> cells(columns);
        for (int c = 0; c < columns; ++c) cells[size_t(c)] = spanishTexts(rows, seed * 10 + unsigned(c)).mid(0, rows);

        platform::ListItemsModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
        model.setColumnCount(columns);
        model.beginLoad();
        for (int r = 0; r < rows; ++r) {
            const qsizetype row = model.appendRow();
            for (int c = 0; c < columns; ++c) model.setCell(row, c, cells[size_t(c)][r]);
        }
        model.endLoad();

        QCollator collator;
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        const bool c_locale = QLocale().language() == QLocale::C;
        std::vector<uint32_t> shown = identity(size_t(rows));  // the reference's displayed order
        for (int step = 0; step < 60; ++step) {
            const int what = std::uniform_int_distribution<int>(0, 9)(rng);
            const int column = std::uniform_int_distribution<int>(0, columns - 1)(rng);
            const QStringList& texts = cells[size_t(column)];
            if (what < 3) {
                const bool descending = rng() % 2;
                model.sortBy(column, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
                shown = c_locale ? referenceSort(shown, texts, descending, foldedCompare)
                                 : referenceSort(shown, texts, descending,
                                                 [&](const QString& a, const QString& b) { return collator.compare(a, b); });
            } else if (what < 5) {
                const int row = std::uniform_int_distribution<int>(0, rows - 1)(rng);
                const QString text = spanishText(rng);
                cells[size_t(column)][row] = text;
                model.setCell(row, column, text);
            } else {
                // A prefix of some row's trimmed cell (or of nothing), cut at random.
                const QString from = platform::Trim(texts[std::uniform_int_distribution<int>(0, rows - 1)(rng)]);
                QString key = from.left(std::uniform_int_distribution<int>(0, int(from.size()))(rng));
                if (what == 9) key += QStringLiteral("ñ");
                if (rng() % 2) key = key.toUpper();
                qsizetype expected = -1;
                for (size_t p = 0; p < shown.size() && expected < 0; ++p) {
                    const QString cell = platform::Trim(texts[shown[p]]);
                    if (cell.size() >= key.size() && cell.left(key.size()).toCaseFolded() == key.toCaseFolded())
                        expected = qsizetype(p);
                }
                ASSERT_EQ(model.findPrefix(column, key).value, expected) << step << " " << key.toStdString();
            }
            for (size_t p = 0; p < shown.size(); ++p) {
                const platform::StorageRow stored = model.storageOf(platform::ShownRow{qsizetype(p)});
                ASSERT_EQ(stored.value, qsizetype(shown[p])) << "step " << step << " position " << p;
                ASSERT_EQ(model.shownOf(stored).value, qsizetype(p));
            }
        }
    }
}

}  // namespace
