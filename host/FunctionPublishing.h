// Function publishing: interfaces that name their functions, so that scripts and the command
// line can call a plug-in's functions by ID or by name.
//
// An `FPInterfaceDesc` describes one interface: its `Interface_ID`, internal name, flags and
// functions (`FPFunctionDef`: ID, internal name, result type, typed parameters). A static
// interface (`FPStaticInterface`) is its own descriptor: a plug-in derives from it, declares
// its functions in the constructor and answers `_dispatch_fn`. A descriptor built with
// FP_CORE publishes itself in the process-wide core-interface registry for its lifetime
// (a module's static interface thus comes with the module and goes with it), where
// `GetCOREInterface(id)` and `GetCOREInterfaceByName(name)` find it.
//
// `Invoke` checks the call before the plug-in sees it: an ID the descriptor does not declare
// answers FPS_NO_SUCH_FUNCTION, arguments whose count or types differ from the declaration
// answer FPS_FAIL; the result is typed with the declared result type.
#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "host/Interval.h"
#include "host/Point3.h"
#include "platform/WinTypes.h"

class INode;

// An interface's identity: two 32-bit parts.
class Interface_ID {
 public:
  constexpr Interface_ID() = default;
  constexpr Interface_ID(ULONG a, ULONG b) : a_(a), b_(b) {}
  constexpr ULONG PartA() const { return a_; }
  constexpr ULONG PartB() const { return b_; }
  constexpr bool operator==(const Interface_ID& o) const = default;

 private:
  ULONG a_ = 0;
  ULONG b_ = 0;
};

using FunctionID = int;
inline constexpr FunctionID FP_NO_FUNCTION = -1;

using FPStatus = int;
inline constexpr FPStatus FPS_NO_SUCH_FUNCTION = -1;
inline constexpr FPStatus FPS_FAIL = 0;
inline constexpr FPStatus FPS_OK = 1;

// Interface flags.
inline constexpr ULONG FP_CORE = 0x0001;    // published in the core-interface registry
inline constexpr ULONG FP_STATIC = 0x0002;  // one static instance

// The value types a published function takes and returns.
enum ParamType2 {
  TYPE_VOID = 0,
  TYPE_INT,
  TYPE_FLOAT,
  TYPE_BOOL,
  TYPE_TSTR,   // text
  TYPE_INODE,  // a scene node
  TYPE_POINT3,
};

// The name of a type as scripts write it ("int", "float", "bool", "string", "node", "point3",
// "void").
const char* ParamTypeName(ParamType2 type);

// A typed value. The accessors answer the held value, or a zero value when another type is
// held (Invoke has checked the types before a function reads its arguments).
class FPValue {
 public:
  FPValue() = default;
  FPValue(int v) : type(TYPE_INT), value_(v) {}
  FPValue(float v) : type(TYPE_FLOAT), value_(v) {}
  FPValue(bool v) : type(TYPE_BOOL), value_(v) {}
  FPValue(std::string v) : type(TYPE_TSTR), value_(std::move(v)) {}
  FPValue(const char* v) : type(TYPE_TSTR), value_(std::string(v != nullptr ? v : "")) {}
  FPValue(INode* v) : type(TYPE_INODE), value_(v) {}
  FPValue(const Point3& v) : type(TYPE_POINT3), value_(v) {}

  ParamType2 type = TYPE_VOID;

  int i() const;
  float f() const;
  bool b() const;
  const std::string& s() const;
  INode* n() const;
  Point3 p() const;

  // The value as text: 3, 0.5, true, the string itself, the node's address, [1,2,3].
  std::string ToString() const;

 private:
  std::variant<std::monostate, int, float, bool, std::string, INode*, Point3> value_;
};

// The arguments of one call, in declaration order.
struct FPParams {
  FPParams() = default;
  FPParams(std::initializer_list<FPValue> values) : params(values) {}
  std::vector<FPValue> params;
  int Count() const { return static_cast<int>(params.size()); }
};

struct FPParamDef {
  std::string internal_name;
  ParamType2 type = TYPE_VOID;
};

struct FPFunctionDef {
  FunctionID ID = FP_NO_FUNCTION;
  std::string internal_name;
  ParamType2 result_type = TYPE_VOID;
  std::vector<FPParamDef> params;
};

class FPInterfaceDesc;

// Something whose functions can be called through a descriptor.
class FPInterface {
 public:
  virtual ~FPInterface() = default;
  virtual FPInterfaceDesc* GetDesc() = 0;

  Interface_ID GetID();
  // The ID of the function with that internal name (compared letter for letter), or
  // FP_NO_FUNCTION.
  FunctionID FindFn(std::string_view name);
  // Checks and dispatches one call (see the file comment); result receives the function's
  // typed result (TYPE_VOID for a void function).
  FPStatus Invoke(FunctionID fid, FPValue& result, FPParams* params = nullptr, TimeValue t = 0);
  FPStatus Invoke(FunctionID fid, FPParams* params = nullptr, TimeValue t = 0);

 protected:
  // The plug-in's functions. Called only with a declared ID and checked arguments; result is
  // preset to the declared type's zero value.
  virtual FPStatus _dispatch_fn(FunctionID fid, TimeValue t, FPValue& result, FPParams* p) = 0;
};

class FPInterfaceDesc : public FPInterface {
 public:
  FPInterfaceDesc(Interface_ID id, std::string internalName, ULONG flags,
                  std::vector<FPFunctionDef> functions);
  ~FPInterfaceDesc() override;
  FPInterfaceDesc(const FPInterfaceDesc&) = delete;
  FPInterfaceDesc& operator=(const FPInterfaceDesc&) = delete;

  FPInterfaceDesc* GetDesc() override { return this; }

  const FPFunctionDef* GetFnDef(FunctionID fid) const;
  const FPFunctionDef* GetFnDef(std::string_view name) const;
  const std::vector<FPFunctionDef>& Functions() const { return functions; }
  // FALSE when FP_CORE was asked for but another interface holds the ID already.
  bool IsPublished() const { return published_; }

  const Interface_ID ID;
  const std::string internal_name;
  const ULONG flags;

 protected:
  // A descriptor that only describes dispatches nothing.
  FPStatus _dispatch_fn(FunctionID, TimeValue, FPValue&, FPParams*) override {
    return FPS_NO_SUCH_FUNCTION;
  }

 private:
  std::vector<FPFunctionDef> functions;
  bool published_ = false;
};

// A static interface: one instance, its own descriptor.
class FPStaticInterface : public FPInterfaceDesc {
 public:
  using FPInterfaceDesc::FPInterfaceDesc;
};

// The core-interface registry. Registering an ID that is taken fails (FALSE) and keeps the
// first interface.
BOOL RegisterCOREInterface(FPInterface* fpi);
void UnregisterCOREInterface(FPInterface* fpi);
FPInterface* GetCOREInterface(Interface_ID id);
// By internal name, letter for letter.
FPInterface* GetCOREInterfaceByName(std::string_view name);
int NumCOREInterfaces();
// The i-th published interface in publication order; null out of range.
FPInterface* GetCOREInterfaceAt(int i);

// Turns a command-line argument into a value of the given type: int and float as decimal
// numbers (the whole text), bool as true/false/1/0, point3 as "x,y,z", a node through
// findNode (null when there is none of that name), text as it is. FALSE when the text is not
// a value of that type.
using FPNodeFinder = INode* (*)(const std::string& name, void* context);
bool ParseFPValue(ParamType2 type, const std::string& text, FPValue& out,
                  FPNodeFinder findNode = nullptr, void* context = nullptr);

// Calls a published function by its interface's and its own internal names with textual
// arguments (the CLI's "call"). Answers the dispatch status, FPS_NO_SUCH_FUNCTION for an
// unknown interface or function, FPS_FAIL for arguments that do not fit; error receives the
// reason in one line when the status is not FPS_OK.
FPStatus InvokeByName(std::string_view interfaceName, std::string_view functionName,
                      const std::vector<std::string>& args, FPValue& result, std::string& error,
                      FPNodeFinder findNode = nullptr, void* context = nullptr);
