#include "platform/sort/collation_keys.h"

#include <cstring>
#include <unicode/ucol.h>
#include <unicode/uiter.h>
#include <vector>

namespace platform {

namespace {

const UChar* chars(QStringView t) { return reinterpret_cast<const UChar*>(t.utf16()); }

}  // namespace

// The collator QCollator makes for a locale when case is ignored: normalization on,
// secondary strength (accents count, case does not), punctuation not ignored, digits as
// characters.
Collator::Collator(const QLocale& locale) {
    if (locale.language() == QLocale::C) return;
    UErrorCode status = U_ZERO_ERROR;
    // Named as Qt names it to ICU: language, script and territory joined by underscores.
    const QByteArray name = locale.bcp47Name().replace(u'-', u'_').toLatin1();
    UCollator* c = ucol_open(name.constData(), &status);
    if (U_FAILURE(status)) {
        ucol_close(c);
        return;
    }
    ucol_setAttribute(c, UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
    ucol_setAttribute(c, UCOL_STRENGTH, UCOL_SECONDARY, &status);
    ucol_setAttribute(c, UCOL_NUMERIC_COLLATION, UCOL_OFF, &status);
    ucol_setAttribute(c, UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, &status);
    if (U_FAILURE(status)) {
        ucol_close(c);
        return;
    }
    collator_ = c;
}

Collator::~Collator() { ucol_close(collator_); }

std::array<uint64_t, 2> Collator::abbreviatedKey(QStringView text) const {
    // Only as much of the key as asked for is made: the secondary level of a long text
    // is never reached.
    UCharIterator it;
    uiter_setString(&it, chars(text), int32_t(text.size()));
    uint32_t state[2] = {0, 0};
    uint8_t part[16] = {};
    UErrorCode status = U_ZERO_ERROR;
    // On a failure (no memory) the bytes made so far order the text.
    ucol_nextSortKeyPart(collator_, &it, state, part, int32_t(sizeof part), &status);
    std::array<uint64_t, 2> key{0, 0};
    for (int k = 0; k < 16; ++k) key[size_t(k / 8)] = (key[size_t(k / 8)] << 8) | part[k];
    return key;
}

int Collator::compare(QStringView a, QStringView b) const {
    return ucol_strcoll(collator_, chars(a), int32_t(a.size()), chars(b), int32_t(b.size()));
}

bool CollationKeys::build(const Collator& collator, size_t count, const std::function<QStringView(uint32_t)>& text) {
    bytes_.clear();
    ends_.clear();
    ends_.reserve(count);
    bytes_.reserve(count * 24);
    std::vector<uint8_t> key(256);
    for (uint32_t i = 0; i < uint32_t(count); ++i) {
        const QStringView t = text(i);
        int32_t n = ucol_getSortKey(collator.handle(), chars(t), int32_t(t.size()), key.data(), int32_t(key.size()));
        if (n > int32_t(key.size())) {
            key.resize(size_t(n));
            n = ucol_getSortKey(collator.handle(), chars(t), int32_t(t.size()), key.data(), int32_t(key.size()));
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
