#pragma once

#include "platform/pod_buffer.h"

#include <QStringView>
#include <QtGlobal>
#include <cstdint>
#include <cstring>

namespace platform {

// A column of texts back to back: the characters, and where each row's text ends. Offsets
// are 32-bit to keep a million rows compact; a column refuses to grow past 4 Gi characters
// (error 7) rather than wrap around.
class TextColumn {
public:
    static constexpr qsizetype kMaxChars = qsizetype(UINT32_MAX);

    qsizetype size() const { return qsizetype(ends_.size()); }  // rows
    qsizetype charCount() const { return qsizetype(chars_.size()); }
    QStringView at(qsizetype row) const {
        Q_ASSERT(row >= 0 && row < size());
        const uint32_t from = row == 0 ? 0 : ends_[size_t(row - 1)];
        return QStringView(chars_.data() + from, qsizetype(ends_[size_t(row)] - from));
    }

    void append(QStringView text) {
        appendChars(text);
        ends_.push_back(uint32_t(chars_.size()));
    }
    void appendEmpty(qsizetype rows);
    // More characters for the last row.
    void extendLast(QStringView text) {
        Q_ASSERT(size() > 0);
        appendChars(text);
        ends_.back() = uint32_t(chars_.size());
    }
    // Keeps the first `rows` rows.
    void truncate(qsizetype rows);
    void reserve(qsizetype rows, qsizetype chars);
    void squeeze();
    void clear();

    // The characters, for rules that change them in place (never their number).
    char16_t* chars() { return chars_.empty() ? nullptr : &chars_[0]; }
    // Replaces each row's text by a part of itself (a rule that only shortens), compacting
    // the characters in place.
    template <class Part>
    void keepParts(Part part) {
        char16_t* p = chars();
        uint32_t from = 0, to = 0;
        for (size_t r = 0; r < ends_.size(); ++r) {
            const QStringView whole(p + from, qsizetype(ends_[r] - from));
            const QStringView kept = part(whole);
            Q_ASSERT(kept.isEmpty() || (kept.utf16() >= whole.utf16() && kept.utf16() + kept.size() <= whole.utf16() + whole.size()));
            from = ends_[r];
            if (!kept.isEmpty()) std::memmove(p + to, kept.utf16(), size_t(kept.size()) * sizeof(char16_t));
            to += uint32_t(kept.size());
            ends_[r] = to;
        }
        chars_.truncate(to);
    }

private:
    void appendChars(QStringView text);

    PodBuffer<char16_t> chars_;
    PodBuffer<uint32_t> ends_;
};

}  // namespace platform
