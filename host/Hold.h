// The undo system: theHold collects restore records between Begin and Accept into one named
// undo entry (Cancel restores and drops them). The scene records node deletions, selection
// changes and renames while theHold is holding. Undo restores the last entry, newest record
// first, so the scene is as it was before the entry began.
#pragma once

#include <memory>

#include "platform/WinTypes.h"
#include <string>
#include <vector>

class RestoreObj {
 public:
  virtual ~RestoreObj() = default;
  // Puts back the state from before the change.
  virtual void Restore(int isUndo) = 0;
  virtual void Redo() {}
  virtual const char* Description() { return "change"; }
};

class Hold {
 public:
  Hold();
  ~Hold();
  Hold(const Hold&) = delete;
  Hold& operator=(const Hold&) = delete;

  void Begin();
  // Ends the outermost Begin: the records become one undo entry named name (none when no
  // record was made).
  void Accept(const char* name);
  // Restores and drops the records since the outermost Begin.
  void Cancel();
  int Holding() const { return depth_ > 0 && suspend_ == 0 ? 1 : 0; }
  // Adds a record while holding; otherwise the record is deleted at once.
  void Put(RestoreObj* rec);
  void Suspend() { ++suspend_; }
  void Resume() { if (suspend_ > 0) --suspend_; }

  // Standalone host: the undo entries (oldest first) and undoing the newest.
  int NumUndoEntries() const { return static_cast<int>(entries_.size()); }
  std::string UndoEntryName(int i) const;
  // FALSE when there is nothing to undo.
  bool Undo();
  // Drops every entry and any open records (a new scene).
  void Clear();

 private:
  struct Entry {
    std::string name;
    std::vector<std::unique_ptr<RestoreObj>> records;
  };
  int depth_ = 0;
  int suspend_ = 0;
  std::vector<std::unique_ptr<RestoreObj>> open_;
  std::vector<Entry> entries_;
};

extern Hold theHold;
