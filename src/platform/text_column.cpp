#include "platform/text_column.h"

#include "platform/runtime_error.h"

#include <algorithm>

namespace platform {

void TextColumn::appendChars(QStringView text) {
    if (text.size() > kMaxChars - charCount()) throw RuntimeError::of(kOutOfMemory);
    chars_.append(text.utf16(), size_t(text.size()));
}

void TextColumn::appendEmpty(qsizetype rows) {
    Q_ASSERT(rows >= 0);
    ends_.reserve(ends_.size() + size_t(rows));
    for (qsizetype i = 0; i < rows; ++i) ends_.push_back(uint32_t(chars_.size()));
}

void TextColumn::truncate(qsizetype rows) {
    Q_ASSERT(rows >= 0);
    if (rows >= size()) return;
    ends_.truncate(size_t(rows));
    chars_.truncate(ends_.empty() ? 0 : ends_.back());
}

void TextColumn::reserve(qsizetype rows, qsizetype chars) {
    Q_ASSERT(rows >= 0 && chars >= 0);
    ends_.reserve(ends_.size() + size_t(rows));
    chars_.reserve(chars_.size() + size_t(std::min(chars, kMaxChars - charCount())));
}

void TextColumn::squeeze() {
    chars_.shrink_to_fit();
    ends_.shrink_to_fit();
}

void TextColumn::clear() {
    chars_.clear();
    ends_.clear();
}

}  // namespace platform
