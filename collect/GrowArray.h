// GrowArray: a growable array of plain fixed-size elements (pointers, indices, small records).
//
// Elements are trivially copyable and are moved byte-wise; no constructor or destructor of an
// element ever runs. Growth rules (the exporter's memory use and element order rest on them):
//   - the first Append to an array with capacity 0 allocates 16 slots;
//   - an Append to a full array doubles the capacity (the old block is copied and freed, so
//     pointers into it are invalid afterwards);
//   - Reserve(n) sets the capacity to exactly n (never below the count).
// Searches compare element values from slot 0 (pointer elements by address); Remove removes
// only the first occurrence and keeps the order of the rest.
// Ownership: the array owns its slots, never what pointer elements point to; their owner
// deletes those objects before the array is destroyed. The storage is freed by Destroy or by
// the destructor; the array is movable and not copyable.
#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <type_traits>
#include <utility>

template <typename T>
class GrowArray {
  static_assert(std::is_trivially_copyable_v<T>, "GrowArray holds plain data only");
  static_assert(alignof(T) <= alignof(std::max_align_t), "GrowArray slots use the heap's alignment");

 public:
  // The first growth of an empty array gives this many slots.
  static constexpr std::uint32_t kFirstCapacity = 16;

  GrowArray() = default;
  ~GrowArray() { Destroy(); }
  GrowArray(const GrowArray&) = delete;
  GrowArray& operator=(const GrowArray&) = delete;
  GrowArray(GrowArray&& other) noexcept
      : capacity_(std::exchange(other.capacity_, 0)),
        count_(std::exchange(other.count_, 0)),
        data_(std::exchange(other.data_, nullptr)) {}
  GrowArray& operator=(GrowArray&& other) noexcept {
    if (this != &other) {
      Destroy();
      capacity_ = std::exchange(other.capacity_, 0);
      count_ = std::exchange(other.count_, 0);
      data_ = std::exchange(other.data_, nullptr);
    }
    return *this;
  }

  std::uint32_t Capacity() const { return capacity_; }
  std::uint32_t Count() const { return count_; }
  bool Empty() const { return count_ == 0; }
  T* Data() { return data_; }
  const T* Data() const { return data_; }
  T& operator[](std::uint32_t i) { return data_[i]; }
  const T& operator[](std::uint32_t i) const { return data_[i]; }
  T& Last() { return data_[count_ - 1]; }
  const T& Last() const { return data_[count_ - 1]; }
  T* begin() { return data_; }
  T* end() { return data_ + count_; }
  const T* begin() const { return data_; }
  const T* end() const { return data_ + count_; }

  // Copies the element's bytes to slot Count(), growing first when the array is full.
  // Returns the new element's slot.
  // The element may live in this array's own storage (a.Append(a[0])).
  std::uint32_t Append(const T& element) {
    if (count_ == capacity_) {
      alignas(T) unsigned char saved[sizeof(T)];
      std::memcpy(saved, &element, sizeof(T));
      Grow(capacity_ == 0 ? kFirstCapacity : 2 * capacity_);
      std::memcpy(static_cast<void*>(data_ + count_), saved, sizeof(T));
    } else {
      std::memcpy(static_cast<void*>(data_ + count_), &element, sizeof(T));
    }
    return count_++;
  }

  // Sets the capacity to exactly n (n below the count is raised to the count, so no element
  // is ever lost) and moves the elements into a new block.
  void Reserve(std::uint32_t n) { Grow(n < count_ ? count_ : n); }

  // The first slot holding value, or -1.
  int IndexOf(const T& value) const {
    for (std::uint32_t i = 0; i < count_; ++i)
      if (Same(data_[i], value)) return static_cast<int>(i);
    return -1;
  }
  bool Contains(const T& value) const { return IndexOf(value) >= 0; }

  // Appends value only when it is not contained yet; true when it was appended.
  bool AddUnique(const T& value) {
    if (Contains(value)) return false;
    Append(value);
    return true;
  }

  // Removes the first occurrence of value (order kept); true when one was found.
  bool Remove(const T& value) {
    const int i = IndexOf(value);
    if (i < 0) return false;
    RemoveAt(static_cast<std::uint32_t>(i));
    return true;
  }

  // Removes slot i (below Count()) and moves the later elements down one slot.
  void RemoveAt(std::uint32_t i) {
    if (i >= count_) return;
    const std::uint32_t later = count_ - i - 1;
    if (later > 0)
      std::memmove(static_cast<void*>(data_ + i), data_ + i + 1, later * sizeof(T));
    --count_;
  }

  // Forgets the elements; the capacity is kept.
  void Clear() { count_ = 0; }

  // Frees the storage; the array is empty with capacity 0 afterwards.
  void Destroy() {
    std::free(data_);
    data_ = nullptr;
    capacity_ = 0;
    count_ = 0;
  }

 private:
  static bool Same(const T& a, const T& b) {
    if constexpr (std::equality_comparable<T>)
      return a == b;
    else
      return std::memcmp(&a, &b, sizeof(T)) == 0;
  }

  // Moves the elements into a new block of exactly n slots (n >= count).
  void Grow(std::uint32_t n) {
    T* block = nullptr;
    if (n > 0) {
      block = static_cast<T*>(std::malloc(static_cast<std::size_t>(n) * sizeof(T)));
      if (count_ > 0) std::memcpy(static_cast<void*>(block), data_, count_ * sizeof(T));
    }
    std::free(data_);
    data_ = block;
    capacity_ = n;
  }

  std::uint32_t capacity_ = 0;
  std::uint32_t count_ = 0;
  T* data_ = nullptr;
};
