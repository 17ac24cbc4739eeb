#include "support/platform_texts.h"

#include <windows.h>

namespace testsupport {

std::optional<QString> platformShortDate(QDate date) {
    SYSTEMTIME t{};
    t.wYear = WORD(date.year());
    t.wMonth = WORD(date.month());
    t.wDay = WORD(date.day());
    t.wDayOfWeek = WORD(date.dayOfWeek() % 7);
    wchar_t text[128];
    const int n = GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &t, nullptr, text, 128, nullptr);
    if (n <= 0) return std::nullopt;
    return QString::fromWCharArray(text, n - 1);
}

std::optional<QString> platformLongTime(QTime time) {
    SYSTEMTIME t{};
    t.wYear = 2000;
    t.wMonth = 1;
    t.wDay = 1;
    t.wHour = WORD(time.hour());
    t.wMinute = WORD(time.minute());
    t.wSecond = WORD(time.second());
    wchar_t text[128];
    const int n = GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &t, nullptr, text, 128);
    if (n <= 0) return std::nullopt;
    return QString::fromWCharArray(text, n - 1);
}

const bool kTextOrderSkipsMinusSigns = true;

}  // namespace testsupport
