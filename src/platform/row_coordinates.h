#pragma once

#include <QtGlobal>

// A list row goes by three numbers, each with its own type so one is never taken for
// another: where the row is stored (the order it was loaded in, which never changes), where
// it is shown (0-based, in the current order) and its position (1-based, as the list view
// counted rows). The list model converts stored and shown rows; a position is a shown row
// counted from 1, converted only here.
namespace platform {

struct StorageRow {
    qsizetype value = -1;  // -1: none
    bool valid() const { return value >= 0; }
    friend bool operator==(StorageRow a, StorageRow b) { return a.value == b.value; }
};

struct ShownRow {
    qsizetype value = -1;  // -1: none
    bool valid() const { return value >= 0; }
    friend bool operator==(ShownRow a, ShownRow b) { return a.value == b.value; }
};

struct Position {
    qsizetype value = 0;  // 0: none
    bool valid() const { return value >= 1; }
    friend bool operator==(Position a, Position b) { return a.value == b.value; }
};

constexpr Position positionOf(ShownRow row) { return {row.value < 0 ? 0 : row.value + 1}; }
constexpr ShownRow shownRowOf(Position position) { return {position.value < 1 ? -1 : position.value - 1}; }

}  // namespace platform
