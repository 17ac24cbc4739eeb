#pragma once

#include <QStringView>
#include <cstdint>
#include <functional>
#include <vector>

namespace platform {

// Finds, among the rows of one column, the first row in displayed order whose text
// (blanks trimmed) starts with a key, ignoring case, without walking every row: the rows
// are kept sorted by their case-folded text, so the matches form one range, and the lowest
// displayed position in that range comes from per-block minima.
class PrefixIndex {
public:
    using TextOf = std::function<QStringView(uint32_t row)>;

    void build(qsizetype rows, const TextOf& text);
    bool built() const { return built_; }
    void clear();

    // The lowest displayed position (0-based) among matching rows, or -1. `displayedOf`
    // maps a storage row to its displayed position; `orderStamp` changes whenever the
    // displayed order does.
    qsizetype firstMatch(QStringView key, const TextOf& text, const std::function<qsizetype(uint32_t)>& displayedOf,
                         uint64_t orderStamp);

    // Takes in a new displayed order now rather than at the next search.
    void refreshPositions(const std::function<qsizetype(uint32_t)>& displayedOf, uint64_t orderStamp);

private:
    static constexpr size_t kBlock = 512;

    bool built_ = false;
    std::vector<uint32_t> sorted_;     // storage rows by folded, trimmed text
    std::vector<uint32_t> displayed_;  // displayed position of sorted_[i]
    std::vector<uint32_t> blockMin_;   // minimum of displayed_ per block
    uint64_t stamp_ = ~uint64_t(0);
};

}  // namespace platform
