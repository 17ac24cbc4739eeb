#include "platform/ansi_text.h"

#include <windows.h>

namespace platform {

namespace {
constexpr UINT kWindows1252 = 1252;
}

QString fromAnsi(const QByteArray& bytes) {
    if (bytes.isEmpty()) return {};
    const int n = MultiByteToWideChar(kWindows1252, 0, bytes.constData(), int(bytes.size()), nullptr, 0);
    QString text(n, Qt::Uninitialized);
    MultiByteToWideChar(kWindows1252, 0, bytes.constData(), int(bytes.size()), reinterpret_cast<LPWSTR>(text.data()), n);
    return text;
}

// No best-fit replacements ("ā" is not "a"): a character the code page lacks becomes "?",
// one per code point.
QByteArray toAnsi(const QString& text) {
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const int len = (text[i].isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        char byte = '?';
        BOOL missing = FALSE;
        const int n = WideCharToMultiByte(kWindows1252, WC_NO_BEST_FIT_CHARS, reinterpret_cast<LPCWSTR>(text.utf16() + i),
                                          len, &byte, 1, nullptr, &missing);
        out += (n == 1 && !missing) ? byte : '?';
        i += len;
    }
    return out;
}

}  // namespace platform
