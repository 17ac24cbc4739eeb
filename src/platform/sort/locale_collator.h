#pragma once

#include <QLocale>
#include <QStringView>
#include <cstdint>
#include <memory>
#include <vector>

// The platform's collation of a locale, ignoring case, as sort keys: ICU's where ICU is the
// system's (the collator QCollator makes there), the system's own sort keys on Windows
// (LCMapStringEx, what QCollator compares with there). Keys compare as bytes exactly as
// QCollator compares the texts, and hold no 0 byte.
namespace platform {

class LocaleCollator {
public:
    // Null when the locale has no collation here (the C locale among them).
    static std::unique_ptr<LocaleCollator> open(const QLocale& locale);
    virtual ~LocaleCollator() = default;

    // Another collator of the same locale for another thread; null when none can be made.
    virtual std::unique_ptr<LocaleCollator> clone() const = 0;
    // The text's key at the start of `buffer` (grown when too small, never shrunk), without a
    // final 0 byte: returns its length, or -1 when the platform fails.
    virtual qsizetype sortKey(QStringView text, std::vector<uint8_t>& buffer) const = 0;
    // The key's first 16 bits (0 for a missing byte), sooner than the whole key where it can.
    virtual uint16_t firstBits(QStringView text) const = 0;
};

}  // namespace platform
