#pragma once

#include <QDate>
#include <QString>
#include <QTime>
#include <optional>

namespace testsupport {

// Dates and times as the platform's own functions write them for the user, to hold the
// program's texts against. Windows: GetDateFormatEx's short date and GetTimeFormatEx's time in
// the user's locale. POSIX has no such user setting: nothing, and the tests' tables hold the
// locale's texts.
std::optional<QString> platformShortDate(QDate date);
std::optional<QString> platformLongTime(QTime time);

// Whether the platform's text order passes over a minus sign, as Windows' word sort does
// (LCMapStringEx and CompareStringEx without SORT_STRINGSORT): "-0,5" sorts as "0,5".
extern const bool kTextOrderSkipsMinusSigns;

}  // namespace testsupport
