// CostQueue: an indexed binary min-heap of (cost, index) entries, the collapse order of the
// progressive mesh.
//
// Entries are ordered by cost, then by index: the top is the cheapest entry and, among equal
// costs, the one with the smallest index, which is what a front-to-back scan keeping the first
// strictly smaller cost would choose. Costs must not be NaN (the collapse cost never is).
// Set inserts or re-keys an index, Erase drops it; both are O(log n). Indices are below the
// capacity given to Reset.
#pragma once

#include <cstdint>
#include <vector>

class CostQueue {
 public:
  // Empties the queue and makes room for indices 0 to capacity − 1.
  void Reset(std::uint32_t capacity);
  // Frees the storage.
  void Release();
  void Set(std::uint32_t index, float cost);
  void Erase(std::uint32_t index);
  bool Empty() const { return heap_.empty(); }
  std::uint32_t Size() const { return static_cast<std::uint32_t>(heap_.size()); }
  // The cheapest index (first index on ties); the queue must not be empty.
  std::uint32_t Top() const { return heap_.front().index; }

 private:
  struct Entry {
    float cost;
    std::uint32_t index;
  };
  static bool Before(const Entry& a, const Entry& b) {
    return a.cost < b.cost || (a.cost == b.cost && a.index < b.index);
  }
  void Place(std::uint32_t slot, const Entry& e);
  void SiftUp(std::uint32_t slot);
  void SiftDown(std::uint32_t slot);

  static constexpr std::uint32_t kAbsent = 0xFFFFFFFFu;
  std::vector<Entry> heap_;
  std::vector<std::uint32_t> slotOf_;  // per index: its heap slot, or kAbsent
};
