#include "platform/sort/locale_collator.h"

#include <windows.h>

namespace platform {

namespace {

// The flags QCollator compares with on Windows when case is ignored.
constexpr DWORD kFlags = LCMAP_SORTKEY | NORM_IGNORECASE;

class WindowsCollator final : public LocaleCollator {
public:
    explicit WindowsCollator(std::wstring name) : name_(std::move(name)) {}

    // The system's sort keys keep no state: one serves every thread.
    std::unique_ptr<LocaleCollator> clone() const override { return std::make_unique<WindowsCollator>(name_); }

    qsizetype sortKey(QStringView text, std::vector<uint8_t>& buffer) const override {
        if (text.isEmpty()) return 0;
        const auto chars = reinterpret_cast<LPCWSTR>(text.utf16());
        if (buffer.size() < 256) buffer.resize(256);
        // The length in bytes, the final 0 byte included; 0 when the buffer is too small.
        int length = LCMapStringEx(name_.c_str(), kFlags, chars, int(text.size()), reinterpret_cast<LPWSTR>(buffer.data()),
                                   int(buffer.size()), nullptr, nullptr, 0);
        if (length == 0) {
            length = LCMapStringEx(name_.c_str(), kFlags, chars, int(text.size()), nullptr, 0, nullptr, nullptr, 0);
            if (length <= 0) return -1;
            buffer.resize(size_t(length));
            length = LCMapStringEx(name_.c_str(), kFlags, chars, int(text.size()), reinterpret_cast<LPWSTR>(buffer.data()),
                                   int(buffer.size()), nullptr, nullptr, 0);
        }
        return length > 0 ? qsizetype(length - 1) : -1;
    }

    // No partial keys here: the first bytes of the whole key.
    uint16_t firstBits(QStringView text) const override {
        thread_local std::vector<uint8_t> key;
        const qsizetype length = sortKey(text, key);
        return uint16_t((length > 0 ? key[0] << 8 : 0) | (length > 1 ? key[1] : 0));
    }

private:
    std::wstring name_;
};

}  // namespace

std::unique_ptr<LocaleCollator> LocaleCollator::open(const QLocale& locale) {
    if (locale.language() == QLocale::C) return nullptr;
    const QString name = locale.bcp47Name();
    std::wstring wide(size_t(name.size()), L'\0');
    for (qsizetype i = 0; i < name.size(); ++i) wide[size_t(i)] = wchar_t(name[i].unicode());
    if (!IsValidLocaleName(wide.c_str())) return nullptr;
    return std::make_unique<WindowsCollator>(std::move(wide));
}

}  // namespace platform
