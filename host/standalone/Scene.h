// The standalone host's scene: the root node and every node (deleted nodes are kept until
// the scene goes, so pointers plug-ins still hold never dangle), the materials and maps, the
// custom file properties, the selection, the frame rate, the animation range and the current
// time, and the save-required flag.
//
// There is one current scene (TheScene()); Interface and the New* calls work on it.
// ResetScene() starts a new empty one (tests begin with it). The scene-file loader builds a
// new Scene and makes it current only when the whole file loaded.
//
// Construction API for tests and loaders: CreateNode, AdoptMaterial / AdoptTexmap, and the
// setters below; nodes are then shaped with INode's own calls.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/INode.h"
#include "host/Interval.h"
#include "host/Mtl.h"
#include "host/Properties.h"

class Scene {
 public:
  Scene();
  ~Scene();
  Scene(const Scene&) = delete;
  Scene& operator=(const Scene&) = delete;

  INode* GetRootNode() const { return root_.get(); }
  // A new node named name under parent (the root when null), last among its siblings,
  // taking obj (may be null).
  INode* CreateNode(const std::string& name, INode* parent = nullptr, Object* obj = nullptr);
  // Every live node but the root, depth first, children in order.
  std::vector<INode*> Nodes() const;
  // Takes a node out of the scene: its children move to its parent keeping their world
  // transforms at the current time. Recorded for undo while theHold is holding.
  void DeleteNode(INode* node);

  // Materials and maps: the scene owns every one it is given.
  template <class M>
  M* AdoptMaterial(M* m) {
    materials_.emplace_back(m);
    return m;
  }
  template <class T>
  T* AdoptTexmap(T* m) {
    texmaps_.emplace_back(m);
    return m;
  }
  const std::vector<std::unique_ptr<Mtl>>& Materials() const { return materials_; }
  const std::vector<std::unique_ptr<Texmap>>& Texmaps() const { return texmaps_; }

  PropertySet& Properties() { return props_; }
  const PropertySet& Properties() const { return props_; }

  // Selection in selection order.
  const std::vector<INode*>& Selection() const { return selection_; }
  // Recorded for undo while holding.
  void Select(INode* node, bool clearFirst);
  void Deselect(INode* node);
  void ClearSelection();

  int FrameRate() const { return frameRate_; }
  // Also the process's GetFrameRate while this scene is current.
  void SetFrameRate(int fps);
  // In frames.
  int AnimStartFrame() const { return animStart_; }
  int AnimEndFrame() const { return animEnd_; }
  void SetAnimRangeFrames(int first, int last);
  Interval AnimRange() const;
  TimeValue CurrentTime() const { return time_; }
  void SetCurrentTime(TimeValue t) { time_ = t; }
  bool SaveRequired() const { return saveRequired_; }
  void SetSaveRequired(bool on) { saveRequired_ = on; }

 private:
  friend class INode;
  friend class DeleteNodeRestore;
  friend class SelectionRestore;
  void SetSelectionList(std::vector<INode*> sel);

  std::unique_ptr<INode> root_;
  std::vector<std::unique_ptr<INode>> nodes_;  // every node ever created here
  std::vector<std::unique_ptr<Mtl>> materials_;
  std::vector<std::unique_ptr<Texmap>> texmaps_;
  PropertySet props_;
  std::vector<INode*> selection_;
  int frameRate_ = 30;
  int animStart_ = 0;
  int animEnd_ = 100;
  TimeValue time_ = 0;
  bool saveRequired_ = false;
};

// The current scene.
Scene& TheScene();
// Replaces the current scene by an empty one; drops the undo entries, the assertion
// records and the session state of the interface (progress, pages, counters).
void ResetScene();
// Makes scene the current one (the old one is destroyed).
void SetCurrentScene(std::unique_ptr<Scene> scene);
// Makes scene the current one and hands back the old one, so that a loader that builds in
// the current scene can put the old one back when it fails. The undo entries are dropped.
std::unique_ptr<Scene> ExchangeCurrentScene(std::unique_ptr<Scene> scene);
