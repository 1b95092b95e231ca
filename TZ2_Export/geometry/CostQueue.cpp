// Indexed binary min-heap of (cost, index) (see CostQueue.h).
#include "TZ2_Export/geometry/CostQueue.h"

void CostQueue::Reset(std::uint32_t capacity) {
  heap_.clear();
  slotOf_.assign(capacity, kAbsent);
}

void CostQueue::Release() {
  std::vector<Entry>().swap(heap_);
  std::vector<std::uint32_t>().swap(slotOf_);
}

void CostQueue::Place(std::uint32_t slot, const Entry& e) {
  heap_[slot] = e;
  slotOf_[e.index] = slot;
}

void CostQueue::SiftUp(std::uint32_t slot) {
  const Entry e = heap_[slot];
  while (slot > 0) {
    const std::uint32_t parent = (slot - 1) / 2;
    if (!Before(e, heap_[parent])) break;
    Place(slot, heap_[parent]);
    slot = parent;
  }
  Place(slot, e);
}

void CostQueue::SiftDown(std::uint32_t slot) {
  const Entry e = heap_[slot];
  const std::uint32_t n = Size();
  for (;;) {
    std::uint32_t child = 2 * slot + 1;
    if (child >= n) break;
    if (child + 1 < n && Before(heap_[child + 1], heap_[child])) ++child;
    if (!Before(heap_[child], e)) break;
    Place(slot, heap_[child]);
    slot = child;
  }
  Place(slot, e);
}

void CostQueue::Set(std::uint32_t index, float cost) {
  const std::uint32_t slot = slotOf_[index];
  if (slot == kAbsent) {
    heap_.push_back({cost, index});
    SiftUp(Size() - 1);
    return;
  }
  const Entry old = heap_[slot];
  heap_[slot].cost = cost;
  if (Before(heap_[slot], old))
    SiftUp(slot);
  else
    SiftDown(slot);
}

void CostQueue::Erase(std::uint32_t index) {
  if (index >= slotOf_.size()) return;
  const std::uint32_t slot = slotOf_[index];
  if (slot == kAbsent) return;
  slotOf_[index] = kAbsent;
  const Entry last = heap_.back();
  heap_.pop_back();
  if (slot == Size()) return;
  Place(slot, last);
  SiftUp(slot);
  SiftDown(slotOf_[last.index]);
}
