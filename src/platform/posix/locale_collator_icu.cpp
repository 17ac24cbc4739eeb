#include "platform/sort/locale_collator.h"

#include <unicode/ucol.h>
#include <unicode/uiter.h>

namespace platform {

namespace {

struct CloseCollator {
    void operator()(UCollator* c) const { ucol_close(c); }
};
using Collator = std::unique_ptr<UCollator, CloseCollator>;

const UChar* chars(QStringView text) { return reinterpret_cast<const UChar*>(text.utf16()); }

class IcuCollator final : public LocaleCollator {
public:
    explicit IcuCollator(Collator c) : c_(std::move(c)) {}

    std::unique_ptr<LocaleCollator> clone() const override {
        UErrorCode status = U_ZERO_ERROR;
        Collator copy(ucol_clone(c_.get(), &status));
        if (U_FAILURE(status) || !copy) return nullptr;
        return std::make_unique<IcuCollator>(std::move(copy));
    }

    qsizetype sortKey(QStringView text, std::vector<uint8_t>& buffer) const override {
        if (buffer.size() < 256) buffer.resize(256);
        int32_t length = ucol_getSortKey(c_.get(), chars(text), int32_t(text.size()), buffer.data(), int32_t(buffer.size()));
        if (length > int32_t(buffer.size())) {
            buffer.resize(size_t(length));
            length = ucol_getSortKey(c_.get(), chars(text), int32_t(text.size()), buffer.data(), int32_t(buffer.size()));
        }
        return length > 0 ? qsizetype(length - 1) : -1;  // the final 0 byte left out
    }

    // Two bytes of a partial key: only as much of the text is read as they need.
    uint16_t firstBits(QStringView text) const override {
        UCharIterator it;
        uiter_setString(&it, chars(text), int32_t(text.size()));
        uint32_t state[2] = {0, 0};
        uint8_t bytes[2] = {0, 0};
        UErrorCode status = U_ZERO_ERROR;
        ucol_nextSortKeyPart(c_.get(), &it, state, bytes, 2, &status);
        return uint16_t(bytes[0] << 8 | bytes[1]);
    }

private:
    Collator c_;
};

}  // namespace

// The collator QCollator makes for a locale when case is ignored: normalization on,
// secondary strength (accents count, case does not), punctuation not ignored, digits as
// characters.
std::unique_ptr<LocaleCollator> LocaleCollator::open(const QLocale& locale) {
    if (locale.language() == QLocale::C) return nullptr;
    UErrorCode status = U_ZERO_ERROR;
    // Named as Qt names it to ICU: language, script and territory joined by underscores.
    const QByteArray name = locale.bcp47Name().replace(u'-', u'_').toLatin1();
    Collator c(ucol_open(name.constData(), &status));
    if (U_FAILURE(status)) return nullptr;
    ucol_setAttribute(c.get(), UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
    ucol_setAttribute(c.get(), UCOL_STRENGTH, UCOL_SECONDARY, &status);
    ucol_setAttribute(c.get(), UCOL_NUMERIC_COLLATION, UCOL_OFF, &status);
    ucol_setAttribute(c.get(), UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, &status);
    if (U_FAILURE(status)) return nullptr;
    return std::make_unique<IcuCollator>(std::move(c));
}

}  // namespace platform
