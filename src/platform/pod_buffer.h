#pragma once

#include <QtGlobal>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

namespace platform {

// A growable array of plain values kept with realloc: large blocks grow in place or are
// remapped by the system instead of being copied, so a column of a million texts does not
// pay for every doubling twice (copy and fresh pages).
template <class T>
class PodBuffer {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    PodBuffer() = default;
    ~PodBuffer() { std::free(data_); }
    PodBuffer(const PodBuffer&) = delete;
    PodBuffer& operator=(const PodBuffer&) = delete;
    PodBuffer(PodBuffer&& o) noexcept { swap(o); }
    PodBuffer& operator=(PodBuffer&& o) noexcept {
        PodBuffer gone;
        gone.swap(o);
        swap(gone);
        return *this;
    }

    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    const T* data() const { return data_; }
    T& operator[](size_t i) {
        Q_ASSERT(i < size_);
        return data_[i];
    }
    const T& operator[](size_t i) const {
        Q_ASSERT(i < size_);
        return data_[i];
    }
    T& back() {
        Q_ASSERT(size_ > 0);
        return data_[size_ - 1];
    }

    void push_back(T value) {
        if (size_ == capacity_) grow(size_ + 1);
        data_[size_++] = value;
    }
    void pop_back() {
        Q_ASSERT(size_ > 0);
        --size_;
    }
    void truncate(size_t n) {
        if (n < size_) size_ = n;
    }
    void append(const T* values, size_t n) {
        if (size_ + n > capacity_) grow(size_ + n);
        if (n) std::memcpy(data_ + size_, values, n * sizeof(T));
        size_ += n;
    }
    void assign(size_t n, T value) {
        clear();
        reserve(n);
        for (size_t i = 0; i < n; ++i) data_[i] = value;
        size_ = n;
    }
    void reserve(size_t n) {
        if (n > capacity_) resizeTo(n);
    }
    void shrink_to_fit() {
        if (size_ < capacity_) resizeTo(size_);
    }
    void clear() {
        std::free(data_);
        data_ = nullptr;
        size_ = capacity_ = 0;
    }

private:
    void swap(PodBuffer& o) noexcept {
        std::swap(data_, o.data_);
        std::swap(size_, o.size_);
        std::swap(capacity_, o.capacity_);
    }
    void grow(size_t needed) {
        size_t next = capacity_ < 16 ? 16 : capacity_ * 2;
        while (next < needed) next *= 2;
        resizeTo(next);
    }
    void resizeTo(size_t n) {
        if (n == 0) return clear();
        void* p = std::realloc(data_, n * sizeof(T));
        if (!p) throw std::bad_alloc();
        data_ = static_cast<T*>(p);
        capacity_ = n;
    }

    T* data_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0;
};

}  // namespace platform
