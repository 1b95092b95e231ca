// Class descriptors: how a plug-in module tells the host about each class it brings (its
// public flag, class name, super class, class ID, category, internal name and module), and
// how the host makes an instance of it (`Create`).
//
// A module keeps one static descriptor per class and hands out pointers to it from
// `LibClassDesc`; the host never deletes a descriptor. `Create` returns an object of the
// kind the super class names (a `SceneExport`, a `UtilityObj`, a `GUP`, ...); whether the
// host or the plug-in deletes it is the super class's rule (see host/Plugin.h).
#pragma once

#include "host/ClassID.h"
#include "platform/WinTypes.h"

class Interface;

class ClassDesc {
 public:
  virtual ~ClassDesc() = default;

  virtual int IsPublic() = 0;
  // A new object of the class (or the class's one object, for plug-ins that keep one), as a
  // pointer to its super class's kind: `return static_cast<SceneExport*>(new MyExporter);`.
  // loading is TRUE when the object is made to be filled from a scene file.
  virtual void* Create(BOOL loading = FALSE) = 0;
  virtual const char* ClassName() = 0;
  virtual SClass_ID SuperClassID() = 0;
  virtual Class_ID ClassID() = 0;
  virtual const char* Category() = 0;

  virtual BOOL OkToCreate(Interface* /*i*/) { return TRUE; }
  virtual BOOL HasClassParams() { return FALSE; }
  virtual int BeginCreate(Interface* /*i*/) { return 0; }
  virtual int EndCreate(Interface* /*i*/) { return 0; }
  // The name scripts use for the class; null when it has none.
  virtual const char* InternalName() { return nullptr; }
  // The module the class lives in; null when it is not known.
  virtual HINSTANCE HInstance() { return nullptr; }
};

// The descriptor plug-ins derive from: the same questions, the optional ones answered with
// the defaults above.
class ClassDesc2 : public ClassDesc {};
