// The undo system: open records, named entries, undo of the newest entry.
#include "host/Hold.h"

Hold theHold;

Hold::Hold() = default;
Hold::~Hold() = default;

void Hold::Begin() { ++depth_; }

void Hold::Accept(const char* name) {
  if (depth_ == 0) return;
  if (--depth_ > 0) return;
  if (open_.empty()) return;
  entries_.push_back(Entry{name != nullptr ? name : "", std::move(open_)});
  open_.clear();
}

void Hold::Cancel() {
  if (depth_ == 0) return;
  depth_ = 0;
  std::vector<std::unique_ptr<RestoreObj>> records = std::move(open_);
  open_.clear();
  ++suspend_;  // restoring records nothing
  for (auto it = records.rbegin(); it != records.rend(); ++it) (*it)->Restore(TRUE);
  --suspend_;
}

void Hold::Put(RestoreObj* rec) {
  std::unique_ptr<RestoreObj> owned(rec);
  if (rec != nullptr && Holding()) open_.push_back(std::move(owned));
}

std::string Hold::UndoEntryName(int i) const {
  return i >= 0 && i < NumUndoEntries() ? entries_[static_cast<size_t>(i)].name : std::string();
}

bool Hold::Undo() {
  if (entries_.empty() || depth_ > 0) return false;
  Entry entry = std::move(entries_.back());
  entries_.pop_back();
  ++suspend_;
  for (auto it = entry.records.rbegin(); it != entry.records.rend(); ++it) (*it)->Restore(TRUE);
  --suspend_;
  return true;
}

void Hold::Clear() {
  depth_ = 0;
  suspend_ = 0;
  open_.clear();
  entries_.clear();
}
