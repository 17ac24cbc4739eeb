#include "platform/sort/collation_keys.h"

#include <exception>
#include <thread>

namespace platform {

CollationKeys::CollationKeys() = default;
CollationKeys::~CollationKeys() = default;

bool CollationKeys::open(const QLocale& locale) {
    collator_ = LocaleCollator::open(locale);
    second_ = collator_ ? collator_->clone() : nullptr;
    return collator_ != nullptr;
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
    inHalves(n, [&](const LocaleCollator* c, uint32_t from, uint32_t to) {
        for (uint32_t i = from; i < to; ++i) top[i] = c->firstBits(text(i));
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
    inHalves(n, [&](const LocaleCollator* c, uint32_t from, uint32_t to) {
        const int half = from == 0 ? 0 : 1;
        Part& p = parts_[half];
        p.first = from;
        p.ends.reserve(to - from);
        p.bytes.reserve(size_t(to - from) * 16);
        std::vector<uint8_t> key;
        for (uint32_t i = from; i < to; ++i) {
            // A missing byte reads as 0, which no key holds.
            const qsizetype length = c->sortKey(text(i), key);
            if (length < 0 || p.bytes.size() + size_t(length) > UINT32_MAX) {
                ok[half] = false;
                return;
            }
            p.bytes.append(key.data(), size_t(length));
            p.ends.push_back(uint32_t(p.bytes.size()));
        }
    });
    return ok[0] && ok[1];
}

}  // namespace platform
