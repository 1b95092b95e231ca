// The standalone scene: node creation and deletion (with undo), selection (with undo), time
// settings, and the current scene.
#include "host/standalone/Scene.h"

#include <algorithm>
#include <utility>

#include "host/Hold.h"
#include "host/Interface.h"
#include "host/Time.h"

namespace {

std::unique_ptr<Scene>& CurrentScene() {
  static std::unique_ptr<Scene> scene;
  return scene;
}

void Walk(INode* node, std::vector<INode*>& out) {
  for (INode* child : node->Children()) {
    out.push_back(child);
    Walk(child, out);
  }
}

}  // namespace

// Puts a deleted node back: under its parent at its place, its children (with their
// transforms as they were) back under it, and the selection as it was.
class DeleteNodeRestore : public RestoreObj {
 public:
  struct Child {
    INode* node;
    std::unique_ptr<Control> ctrl;
  };
  Scene* scene = nullptr;
  INode* node = nullptr;
  INode* parent = nullptr;
  int index = 0;
  std::vector<Child> children;
  std::vector<INode*> selection;

  void Restore(int) override {
    node->deleted_ = false;
    parent->InsertChild(node, index);
    for (Child& c : children) {
      if (c.node->parent_ != nullptr) c.node->parent_->RemoveChild(c.node);
      node->InsertChild(c.node, -1);
      c.node->ctrl_.reset(c.ctrl->CloneControl());
    }
    scene->SetSelectionList(selection);
  }
  const char* Description() override { return "delete node"; }
};

class SelectionRestore : public RestoreObj {
 public:
  SelectionRestore(Scene* scene, std::vector<INode*> sel) : scene_(scene), sel_(std::move(sel)) {}
  void Restore(int) override { scene_->SetSelectionList(sel_); }
  const char* Description() override { return "select"; }

 private:
  Scene* scene_;
  std::vector<INode*> sel_;
};

Scene::Scene() : root_(std::make_unique<INode>(this)) {
  root_->isRoot_ = true;
  root_->name_ = "Scene Root";
}

Scene::~Scene() = default;

INode* Scene::CreateNode(const std::string& name, INode* parent, Object* obj) {
  nodes_.push_back(std::make_unique<INode>(this));
  INode* node = nodes_.back().get();
  node->name_ = name;
  if (parent == nullptr || parent->deleted_ || parent->scene_ != this) parent = root_.get();
  parent->InsertChild(node, -1);
  node->SetObjectRef(obj);
  return node;
}

std::vector<INode*> Scene::Nodes() const {
  std::vector<INode*> out;
  Walk(root_.get(), out);
  return out;
}

void Scene::DeleteNode(INode* node) {
  if (node == nullptr || node->isRoot_ || node->deleted_ || node->scene_ != this || node->parent_ == nullptr) return;
  auto rec = std::make_unique<DeleteNodeRestore>();
  rec->scene = this;
  rec->node = node;
  rec->parent = node->parent_;
  rec->index = node->parent_->ChildIndex(node);
  rec->selection = selection_;
  INode* parent = node->parent_;
  int at = rec->index;
  const std::vector<INode*> children = node->children_;
  for (INode* child : children) {
    rec->children.push_back({child, std::unique_ptr<Control>(child->ctrl_->CloneControl())});
    std::vector<std::pair<TimeValue, Matrix3>> worlds;
    std::vector<TimeValue> times;
    for (const TransformKey& k : child->ctrl_->Keys().Keys()) times.push_back(k.time);
    if (times.empty()) times.push_back(time_);
    for (TimeValue kt : times) worlds.emplace_back(kt, child->GetNodeTM(kt));
    node->RemoveChild(child);
    parent->InsertChild(child, ++at);
    for (const auto& [kt, world] : worlds) child->SetNodeTM(kt, world);
  }
  parent->RemoveChild(node);
  node->deleted_ = true;
  node->selected_ = false;
  selection_.erase(std::remove(selection_.begin(), selection_.end(), node), selection_.end());
  if (theHold.Holding()) theHold.Put(rec.release());
}

void Scene::SetSelectionList(std::vector<INode*> sel) {
  for (INode* n : selection_) n->selected_ = false;
  selection_.clear();
  for (INode* n : sel)
    if (n != nullptr && !n->deleted_ && !n->selected_) {
      n->selected_ = true;
      selection_.push_back(n);
    }
}

void Scene::Select(INode* node, bool clearFirst) {
  if (node != nullptr && (node->deleted_ || node->isRoot_ || node->scene_ != this)) return;
  std::vector<INode*> sel = clearFirst ? std::vector<INode*>() : selection_;
  if (node != nullptr && std::find(sel.begin(), sel.end(), node) == sel.end()) sel.push_back(node);
  if (sel == selection_) return;
  if (theHold.Holding()) theHold.Put(new SelectionRestore(this, selection_));
  SetSelectionList(std::move(sel));
}

void Scene::Deselect(INode* node) {
  if (node == nullptr || !node->selected_) return;
  std::vector<INode*> sel = selection_;
  sel.erase(std::remove(sel.begin(), sel.end(), node), sel.end());
  if (theHold.Holding()) theHold.Put(new SelectionRestore(this, selection_));
  SetSelectionList(std::move(sel));
}

void Scene::ClearSelection() {
  if (selection_.empty()) return;
  if (theHold.Holding()) theHold.Put(new SelectionRestore(this, selection_));
  SetSelectionList({});
}

void Scene::SetFrameRate(int fps) {
  frameRate_ = fps > 0 ? fps : 30;
  if (CurrentScene().get() == this) ::SetFrameRate(frameRate_);
}

void Scene::SetAnimRangeFrames(int first, int last) {
  animStart_ = first;
  animEnd_ = last;
}

Interval Scene::AnimRange() const {
  const int tpf = TicksPerFrameAt(frameRate_);
  return Interval(animStart_ * tpf, animEnd_ * tpf);
}

Scene& TheScene() {
  auto& scene = CurrentScene();
  if (scene == nullptr) scene = std::make_unique<Scene>();
  return *scene;
}

std::unique_ptr<Scene> ExchangeCurrentScene(std::unique_ptr<Scene> scene) {
  if (scene == nullptr) scene = std::make_unique<Scene>();
  theHold.Clear();
  std::unique_ptr<Scene> old = std::move(CurrentScene());
  CurrentScene() = std::move(scene);
  ::SetFrameRate(CurrentScene()->FrameRate());
  return old;
}

void SetCurrentScene(std::unique_ptr<Scene> scene) { ExchangeCurrentScene(std::move(scene)); }

void ResetScene() {
  SetCurrentScene(std::make_unique<Scene>());
  ClearAssertionRecords();
  GetCOREInterface()->ResetSession();
}
