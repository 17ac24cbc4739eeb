#include "support/platform_texts.h"

namespace testsupport {

std::optional<QString> platformShortDate(QDate) { return std::nullopt; }
std::optional<QString> platformLongTime(QTime) { return std::nullopt; }
const bool kTextOrderSkipsMinusSigns = false;

}  // namespace testsupport
