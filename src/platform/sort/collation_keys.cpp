#include "platform/sort/collation_keys.h"

#include <exception>
#include <thread>
#include <unicode/ucol.h>
#include <unicode/uiter.h>

namespace platform {

void CollationKeys::Close::operator()(UCollator* c) const { ucol_close(c); }

CollationKeys::CollationKeys() = default;
CollationKeys::~CollationKeys() = default;

// The collator QCollator makes for a locale when case is ignored: normalization on,
// secondary strength (accents count, case does not), punctuation not ignored, digits as
// characters.
bool CollationKeys::open(const QLocale& locale) {
    collator_.reset();
    second_.reset();
    if (locale.language() == QLocale::C) return false;
    UErrorCode status = U_ZERO_ERROR;
    // Named as Qt names it to ICU: language, script and territory joined by underscores.
    const QByteArray name = locale.bcp47Name().replace(u'-', u'_').toLatin1();
    Collator c(ucol_open(name.constData(), &status));
    if (U_FAILURE(status)) return false;
    ucol_setAttribute(c.get(), UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
    ucol_setAttribute(c.get(), UCOL_STRENGTH, UCOL_SECONDARY, &status);
    ucol_setAttribute(c.get(), UCOL_NUMERIC_COLLATION, UCOL_OFF, &status);
    ucol_setAttribute(c.get(), UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, &status);
    if (U_FAILURE(status)) return false;
    collator_ = std::move(c);
    status = U_ZERO_ERROR;
    second_.reset(ucol_clone(collator_.get(), &status));
    if (U_FAILURE(status)) second_.reset();
    return true;
}

template <class Work>
void CollationKeys::inHalves(uint32_t n, Work work) const {
    // Keying is most of a collated sort's time; a collator serves one thread at a time.
    constexpr uint32_t kTwoThreadsFrom = 1 << 12;
    const uint32_t half = n >= kTwoThreadsFrom && second_ ? n / 2 : n;
    std::exception_ptr secondFailure;
    {
        std::jthread second;  // joined on every way out of this block
        if (half < n) {
            second = std::jthread([&] {
                try {
                    work(second_.get(), half, n);
                } catch (...) {
                    secondFailure = std::current_exception();
                }
            });
        }
        work(collator_.get(), 0, half);
    }
    if (secondFailure) std::rethrow_exception(secondFailure);
}

std::vector<uint16_t> CollationKeys::firstBits(uint32_t n, const TextAt& text) const {
    std::vector<uint16_t> top(n);
    inHalves(n, [&](const UCollator* c, uint32_t from, uint32_t to) {
        for (uint32_t i = from; i < to; ++i) {
            const QStringView t = text(i);
            UCharIterator it;
            uiter_setString(&it, reinterpret_cast<const UChar*>(t.utf16()), int32_t(t.size()));
            uint32_t state[2] = {0, 0};
            uint8_t bytes[2] = {0, 0};
            UErrorCode status = U_ZERO_ERROR;
            ucol_nextSortKeyPart(c, &it, state, bytes, 2, &status);
            top[i] = uint16_t(bytes[0] << 8 | bytes[1]);
        }
    });
    return top;
}

bool CollationKeys::build(uint32_t n, const TextAt& text) {
    for (Part& p : parts_) {
        p.bytes.clear();
        p.ends.clear();
        p.first = n;
    }
    parts_[0].first = 0;
    bool ok[2] = {true, true};
    inHalves(n, [&](const UCollator* c, uint32_t from, uint32_t to) {
        Part& p = parts_[from == 0 ? 0 : 1];
        p.first = from;
        p.ends.reserve(to - from);
        p.bytes.reserve(size_t(to - from) * 16);
        std::vector<uint8_t> key(256);
        for (uint32_t i = from; i < to; ++i) {
            const QStringView t = text(i);
            const auto chars = reinterpret_cast<const UChar*>(t.utf16());
            int32_t length = ucol_getSortKey(c, chars, int32_t(t.size()), key.data(), int32_t(key.size()));
            if (length > int32_t(key.size())) {
                key.resize(size_t(length));
                length = ucol_getSortKey(c, chars, int32_t(t.size()), key.data(), int32_t(key.size()));
            }
            // The key ends with a 0 byte, which the buffer leaves out: a missing byte reads as 0.
            const size_t kept = length > 0 ? size_t(length - 1) : 0;
            if (p.bytes.size() + kept > UINT32_MAX) {
                ok[from == 0 ? 0 : 1] = false;
                return;
            }
            p.bytes.append(key.data(), kept);
            p.ends.push_back(uint32_t(p.bytes.size()));
        }
    });
    return ok[0] && ok[1];
}

}  // namespace platform
