#include "platform/sort/collation_keys.h"

#include <cstring>
#include <memory>
#include <unicode/ucol.h>

namespace platform {

namespace {

struct CloseCollator {
    void operator()(UCollator* c) const { ucol_close(c); }
};

// The collator QCollator makes for a locale when case is ignored: normalization on,
// secondary strength (accents count, case does not), punctuation not ignored, digits as
// characters.
std::unique_ptr<UCollator, CloseCollator> openCollator(const QLocale& locale) {
    if (locale.language() == QLocale::C) return nullptr;
    UErrorCode status = U_ZERO_ERROR;
    // Named as Qt names it to ICU: language, script and territory joined by underscores.
    const QByteArray name = locale.bcp47Name().replace(u'-', u'_').toLatin1();
    std::unique_ptr<UCollator, CloseCollator> c(ucol_open(name.constData(), &status));
    if (U_FAILURE(status)) return nullptr;
    ucol_setAttribute(c.get(), UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
    ucol_setAttribute(c.get(), UCOL_STRENGTH, UCOL_SECONDARY, &status);
    ucol_setAttribute(c.get(), UCOL_NUMERIC_COLLATION, UCOL_OFF, &status);
    ucol_setAttribute(c.get(), UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, &status);
    if (U_FAILURE(status)) return nullptr;
    return c;
}

}  // namespace

bool CollationKeys::build(const QLocale& locale, qsizetype rows, const std::function<QStringView(uint32_t)>& text) {
    bytes_.clear();
    ends_.clear();
    const auto collator = openCollator(locale);
    if (!collator) return false;
    ends_.reserve(size_t(rows));
    bytes_.reserve(size_t(rows) * 16);
    std::vector<uint8_t> key(256);
    for (uint32_t r = 0; r < uint32_t(rows); ++r) {
        const QStringView t = text(r);
        int32_t n = ucol_getSortKey(collator.get(), reinterpret_cast<const UChar*>(t.utf16()), int32_t(t.size()),
                                    key.data(), int32_t(key.size()));
        if (n > int32_t(key.size())) {
            key.resize(size_t(n));
            n = ucol_getSortKey(collator.get(), reinterpret_cast<const UChar*>(t.utf16()), int32_t(t.size()),
                                key.data(), int32_t(key.size()));
        }
        // The key ends with a 0 byte, which the buffer leaves out: a missing byte reads as 0.
        const size_t length = n > 0 ? size_t(n - 1) : 0;
        if (bytes_.size() + length > UINT32_MAX) return false;
        bytes_.append(key.data(), length);
        ends_.push_back(uint32_t(bytes_.size()));
    }
    return true;
}

bool CollationKeys::equal(uint32_t a, uint32_t b) const {
    const uint32_t fa = a == 0 ? 0 : ends_[a - 1], fb = b == 0 ? 0 : ends_[b - 1];
    const uint32_t na = ends_[a] - fa, nb = ends_[b] - fb;
    return na == nb && std::memcmp(bytes_.data() + fa, bytes_.data() + fb, na) == 0;
}

}  // namespace platform
