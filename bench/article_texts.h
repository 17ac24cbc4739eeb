#pragma once

#include <QString>
#include <QStringList>
#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

// Row i of the articles data set: a few families of descriptions that share their first
// words and differ in a number, as a stock's article names do.
struct ArticleTexts {
    std::vector<int> numbers;
    QStringList families{
        QStringLiteral("Articulo"), QStringLiteral("ARANDELA PLANA ZINCADA"), QStringLiteral("TORNILLO AUTOPERFORANTE"),
        QStringLiteral("Caño galvanizado"), QStringLiteral("CAÑO EPOXI"), QStringLiteral("Ñandubay poste"),
        QStringLiteral("ÁNGULO HIERRO"), QStringLiteral("Codo PVC"), QStringLiteral("Llave térmica"),
        QStringLiteral("CABLE UNIPOLAR")};
    explicit ArticleTexts(int rows) : numbers(size_t(rows)) {
        std::iota(numbers.begin(), numbers.end(), 0);
        std::shuffle(numbers.begin(), numbers.end(), std::mt19937(5));
    }
    QString description(int i) const {
        // Most rows belong to the first family, as a table of "Articulo 0000123 x" does.
        const int family = i % 3 == 0 ? 0 : numbers[size_t(i)] % int(families.size());
        return QStringLiteral("%1 %2 x").arg(families[family]).arg(numbers[size_t(i)], 7, 10, QLatin1Char('0'));
    }
    QString code(int i) const { return QStringLiteral("ART%1").arg(numbers[size_t(i)] * 7 % 10000000, 7, 10, QLatin1Char('0')); }
    QString group(int i) const { return QStringLiteral("RUBRO %1").arg(numbers[size_t(i)] % 40, 2, 10, QLatin1Char('0')); }
};
