#include "platform/sort/collation_keys.h"

#include <exception>
#include <memory>
#include <thread>
#include <vector>
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

namespace {

// Keys rows [from, to) into `bytes` and `ends`; false when they would pass 4 Gi bytes.
bool keyRows(const UCollator* collator, uint32_t from, uint32_t to, const std::function<QStringView(uint32_t)>& text,
             PodBuffer<uint8_t>& bytes, PodBuffer<uint32_t>& ends) {
    ends.reserve(to - from);
    bytes.reserve(size_t(to - from) * 16);
    std::vector<uint8_t> key(256);
    for (uint32_t r = from; r < to; ++r) {
        const QStringView t = text(r);
        int32_t n = ucol_getSortKey(collator, reinterpret_cast<const UChar*>(t.utf16()), int32_t(t.size()), key.data(),
                                    int32_t(key.size()));
        if (n > int32_t(key.size())) {
            key.resize(size_t(n));
            n = ucol_getSortKey(collator, reinterpret_cast<const UChar*>(t.utf16()), int32_t(t.size()), key.data(),
                                int32_t(key.size()));
        }
        // The key ends with a 0 byte, which the buffer leaves out: a missing byte reads as 0.
        const size_t length = n > 0 ? size_t(n - 1) : 0;
        if (bytes.size() + length > UINT32_MAX) return false;
        bytes.append(key.data(), length);
        ends.push_back(uint32_t(bytes.size()));
    }
    return true;
}

}  // namespace

bool CollationKeys::build(const QLocale& locale, qsizetype rows, const std::function<QStringView(uint32_t)>& text) {
    for (Part& p : parts_) {
        p.bytes.clear();
        p.ends.clear();
    }
    const auto collator = openCollator(locale);
    if (!collator) return false;
    const uint32_t n = uint32_t(rows);
    // Keying is most of a collated sort's time; a collator is used by one thread at a time.
    constexpr uint32_t kTwoThreadsFrom = 1 << 16;
    const uint32_t half = n >= kTwoThreadsFrom ? n / 2 : n;
    parts_[0].firstRow = 0;
    parts_[1].firstRow = half;
    std::unique_ptr<UCollator, CloseCollator> clone;
    if (half < n) {
        UErrorCode status = U_ZERO_ERROR;
        clone.reset(ucol_clone(collator.get(), &status));
        if (U_FAILURE(status)) clone.reset();
    }
    bool secondOk = true;
    std::exception_ptr secondFailure;
    auto keySecond = [&](const UCollator* c) {
        try {
            secondOk = keyRows(c, half, n, text, parts_[1].bytes, parts_[1].ends);
        } catch (...) {
            secondFailure = std::current_exception();
        }
    };
    bool firstOk = false;
    {
        std::jthread second;  // joined on every way out of this block
        if (clone) second = std::jthread([&] { keySecond(clone.get()); });
        firstOk = keyRows(collator.get(), 0, half, text, parts_[0].bytes, parts_[0].ends);
    }
    if (half < n && !clone) keySecond(collator.get());
    if (secondFailure) std::rethrow_exception(secondFailure);
    return firstOk && secondOk;
}

}  // namespace platform
