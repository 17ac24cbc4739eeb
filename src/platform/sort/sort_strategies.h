#pragma once

#include <QLocale>
#include <QStringView>
#include <cstdint>
#include <functional>
#include <vector>

// The ways a list is put in order by one column. Each takes the storage rows in the order
// shown now and leaves them in the new order, stable (equal cells keep their order), and
// tells per position whether the row's cell equals the previous row's, so the next flip
// needs no comparison.
namespace platform {

using RowText = std::function<QStringView(uint32_t row)>;

// The other way round: the groups of equal cells in reverse order, each group keeping its
// own order.
void reverseEqualGroups(std::vector<uint32_t>& rows, std::vector<bool>& sameAsPrevious);

// By the case-folded text, character by character (the C locale, which has no collation).
void sortFolded(std::vector<uint32_t>& rows, const RowText& text, bool descending, std::vector<bool>& sameAsPrevious);
// The same without telling the groups (a search index needs no more).
void sortFolded(std::vector<uint32_t>& rows, const RowText& text, bool descending);

// By the locale's collation ignoring case, exactly as QCollator orders the texts.
void sortCollated(std::vector<uint32_t>& rows, const RowText& text, const QLocale& locale,
                  bool descending, std::vector<bool>& sameAsPrevious);

}  // namespace platform
