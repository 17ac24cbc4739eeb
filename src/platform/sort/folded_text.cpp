#include "platform/sort/folded_text.h"

#include <algorithm>

namespace platform {

int compareFolded(QStringView a, QStringView b) {
    const qsizetype n = std::min(a.size(), b.size());
    const char16_t *pa = a.utf16(), *pb = b.utf16();
    for (qsizetype i = 0; i < n; ++i) {
        if (pa[i] == pb[i]) continue;
        const char16_t x = foldedChar(pa[i]), y = foldedChar(pb[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool startsWithFolded(QStringView text, QStringView key) {
    if (text.size() < key.size()) return false;
    const char16_t *pt = text.utf16(), *pk = key.utf16();
    for (qsizetype i = 0; i < key.size(); ++i)
        if (pt[i] != pk[i] && foldedChar(pt[i]) != foldedChar(pk[i])) return false;
    return true;
}

}  // namespace platform
