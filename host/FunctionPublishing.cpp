// Function publishing: argument checking and dispatch of published functions, the
// core-interface registry, and calls by name with textual arguments.
//
// The registry is a vector in publication order, owned by tz2host so that every module of
// the process sees the same one; it holds pointers, never the interfaces.
#include "host/FunctionPublishing.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>

namespace {

std::vector<FPInterface*>& CoreInterfaces() {
  static std::vector<FPInterface*> list;
  return list;
}

FPValue ZeroValue(ParamType2 type) {
  switch (type) {
    case TYPE_INT: return FPValue(0);
    case TYPE_FLOAT: return FPValue(0.0f);
    case TYPE_BOOL: return FPValue(false);
    case TYPE_TSTR: return FPValue(std::string());
    case TYPE_INODE: return FPValue(static_cast<INode*>(nullptr));
    case TYPE_POINT3: return FPValue(Point3());
    case TYPE_VOID: break;
  }
  return FPValue();
}

// Empty when the arguments fit the declaration, else the reason.
std::string CheckArguments(const FPFunctionDef& def, const FPParams* params) {
  const int given = params != nullptr ? params->Count() : 0;
  const int wanted = static_cast<int>(def.params.size());
  if (given != wanted)
    return def.internal_name + " takes " + std::to_string(wanted) + " argument(s), " +
           std::to_string(given) + " given";
  for (int k = 0; k < wanted; ++k) {
    const ParamType2 type = params->params[static_cast<size_t>(k)].type;
    if (type != def.params[static_cast<size_t>(k)].type)
      return def.internal_name + " argument " + std::to_string(k + 1) + " (" +
             def.params[static_cast<size_t>(k)].internal_name + ") must be " +
             ParamTypeName(def.params[static_cast<size_t>(k)].type) + ", not " +
             ParamTypeName(type);
  }
  return {};
}

template <class T>
bool ParseNumber(const std::string& text, T& out) {
  const char* first = text.data();
  const char* last = first + text.size();
  auto [ptr, ec] = std::from_chars(first, last, out);
  return ec == std::errc() && ptr == last && !text.empty();
}

}  // namespace

const char* ParamTypeName(ParamType2 type) {
  switch (type) {
    case TYPE_VOID: return "void";
    case TYPE_INT: return "int";
    case TYPE_FLOAT: return "float";
    case TYPE_BOOL: return "bool";
    case TYPE_TSTR: return "string";
    case TYPE_INODE: return "node";
    case TYPE_POINT3: return "point3";
  }
  return "unknown";
}

int FPValue::i() const {
  const int* v = std::get_if<int>(&value_);
  return v != nullptr ? *v : 0;
}
float FPValue::f() const {
  const float* v = std::get_if<float>(&value_);
  return v != nullptr ? *v : 0.0f;
}
bool FPValue::b() const {
  const bool* v = std::get_if<bool>(&value_);
  return v != nullptr && *v;
}
const std::string& FPValue::s() const {
  static const std::string empty;
  const std::string* v = std::get_if<std::string>(&value_);
  return v != nullptr ? *v : empty;
}
INode* FPValue::n() const {
  INode* const* v = std::get_if<INode*>(&value_);
  return v != nullptr ? *v : nullptr;
}
Point3 FPValue::p() const {
  const Point3* v = std::get_if<Point3>(&value_);
  return v != nullptr ? *v : Point3();
}

std::string FPValue::ToString() const {
  char buf[96];
  switch (type) {
    case TYPE_VOID: return "";
    case TYPE_INT: return std::to_string(i());
    case TYPE_FLOAT: std::snprintf(buf, sizeof buf, "%g", static_cast<double>(f())); return buf;
    case TYPE_BOOL: return b() ? "true" : "false";
    case TYPE_TSTR: return s();
    case TYPE_INODE: std::snprintf(buf, sizeof buf, "node %p", static_cast<void*>(n())); return buf;
    case TYPE_POINT3:
      std::snprintf(buf, sizeof buf, "[%g,%g,%g]", static_cast<double>(p().x),
                    static_cast<double>(p().y), static_cast<double>(p().z));
      return buf;
  }
  return "";
}

Interface_ID FPInterface::GetID() {
  FPInterfaceDesc* desc = GetDesc();
  return desc != nullptr ? desc->ID : Interface_ID();
}

FunctionID FPInterface::FindFn(std::string_view name) {
  FPInterfaceDesc* desc = GetDesc();
  const FPFunctionDef* def = desc != nullptr ? desc->GetFnDef(name) : nullptr;
  return def != nullptr ? def->ID : FP_NO_FUNCTION;
}

FPStatus FPInterface::Invoke(FunctionID fid, FPValue& result, FPParams* params, TimeValue t) {
  result = FPValue();
  FPInterfaceDesc* desc = GetDesc();
  const FPFunctionDef* def = desc != nullptr ? desc->GetFnDef(fid) : nullptr;
  if (def == nullptr) return FPS_NO_SUCH_FUNCTION;
  if (!CheckArguments(*def, params).empty()) return FPS_FAIL;
  result = ZeroValue(def->result_type);
  const FPStatus status = _dispatch_fn(fid, t, result, params);
  if (result.type != def->result_type) result = ZeroValue(def->result_type);
  return status;
}

FPStatus FPInterface::Invoke(FunctionID fid, FPParams* params, TimeValue t) {
  FPValue ignored;
  return Invoke(fid, ignored, params, t);
}

FPInterfaceDesc::FPInterfaceDesc(Interface_ID id, std::string internalName, ULONG flagBits,
                                 std::vector<FPFunctionDef> fns)
    : ID(id), internal_name(std::move(internalName)), flags(flagBits), functions(std::move(fns)) {
  if ((flags & FP_CORE) != 0) published_ = RegisterCOREInterface(this) != FALSE;
}

FPInterfaceDesc::~FPInterfaceDesc() {
  if (published_) UnregisterCOREInterface(this);
}

const FPFunctionDef* FPInterfaceDesc::GetFnDef(FunctionID fid) const {
  auto it = std::find_if(functions.begin(), functions.end(),
                         [fid](const FPFunctionDef& d) { return d.ID == fid; });
  return it == functions.end() ? nullptr : &*it;
}

const FPFunctionDef* FPInterfaceDesc::GetFnDef(std::string_view name) const {
  auto it = std::find_if(functions.begin(), functions.end(),
                         [name](const FPFunctionDef& d) { return d.internal_name == name; });
  return it == functions.end() ? nullptr : &*it;
}

BOOL RegisterCOREInterface(FPInterface* fpi) {
  if (fpi == nullptr || fpi->GetDesc() == nullptr) return FALSE;
  auto& list = CoreInterfaces();
  if (std::find(list.begin(), list.end(), fpi) != list.end()) return FALSE;
  if (GetCOREInterface(fpi->GetID()) != nullptr) return FALSE;
  list.push_back(fpi);
  return TRUE;
}

void UnregisterCOREInterface(FPInterface* fpi) {
  std::erase(CoreInterfaces(), fpi);
}

FPInterface* GetCOREInterface(Interface_ID id) {
  for (FPInterface* fpi : CoreInterfaces())
    if (fpi->GetID() == id) return fpi;
  return nullptr;
}

FPInterface* GetCOREInterfaceByName(std::string_view name) {
  for (FPInterface* fpi : CoreInterfaces())
    if (fpi->GetDesc()->internal_name == name) return fpi;
  return nullptr;
}

int NumCOREInterfaces() { return static_cast<int>(CoreInterfaces().size()); }

FPInterface* GetCOREInterfaceAt(int i) {
  const auto& list = CoreInterfaces();
  return i >= 0 && i < static_cast<int>(list.size()) ? list[static_cast<size_t>(i)] : nullptr;
}

bool ParseFPValue(ParamType2 type, const std::string& text, FPValue& out, FPNodeFinder findNode,
                  void* context) {
  switch (type) {
    case TYPE_INT: {
      int v = 0;
      if (!ParseNumber(text, v)) return false;
      out = FPValue(v);
      return true;
    }
    case TYPE_FLOAT: {
      float v = 0.0f;
      if (!ParseNumber(text, v)) return false;
      out = FPValue(v);
      return true;
    }
    case TYPE_BOOL:
      if (text == "true" || text == "1") out = FPValue(true);
      else if (text == "false" || text == "0") out = FPValue(false);
      else return false;
      return true;
    case TYPE_TSTR: out = FPValue(text); return true;
    case TYPE_INODE: {
      INode* node = findNode != nullptr ? findNode(text, context) : nullptr;
      if (node == nullptr) return false;
      out = FPValue(node);
      return true;
    }
    case TYPE_POINT3: {
      float c[3] = {0.0f, 0.0f, 0.0f};
      size_t start = 0;
      for (int k = 0; k < 3; ++k) {
        const size_t comma = k < 2 ? text.find(',', start) : text.size();
        if (comma == std::string::npos) return false;
        if (!ParseNumber(text.substr(start, comma - start), c[k])) return false;
        start = comma + 1;
      }
      out = FPValue(Point3(c[0], c[1], c[2]));
      return true;
    }
    case TYPE_VOID: break;
  }
  return false;
}

FPStatus InvokeByName(std::string_view interfaceName, std::string_view functionName,
                      const std::vector<std::string>& args, FPValue& result, std::string& error,
                      FPNodeFinder findNode, void* context) {
  result = FPValue();
  error.clear();
  FPInterface* fpi = GetCOREInterfaceByName(interfaceName);
  if (fpi == nullptr) {
    error = "no function interface named \"" + std::string(interfaceName) + "\"";
    return FPS_NO_SUCH_FUNCTION;
  }
  const FPFunctionDef* def = fpi->GetDesc()->GetFnDef(functionName);
  if (def == nullptr) {
    error = std::string(interfaceName) + " has no function \"" + std::string(functionName) + "\"";
    return FPS_NO_SUCH_FUNCTION;
  }
  if (args.size() != def->params.size()) {
    error = def->internal_name + " takes " + std::to_string(def->params.size()) +
            " argument(s), " + std::to_string(args.size()) + " given";
    return FPS_FAIL;
  }
  FPParams params;
  for (size_t k = 0; k < args.size(); ++k) {
    FPValue value;
    if (!ParseFPValue(def->params[k].type, args[k], value, findNode, context)) {
      error = def->internal_name + " argument " + std::to_string(k + 1) + " (" +
              def->params[k].internal_name + "): \"" + args[k] + "\" is not a " +
              ParamTypeName(def->params[k].type);
      return FPS_FAIL;
    }
    params.params.push_back(std::move(value));
  }
  const FPStatus status = fpi->Invoke(def->ID, result, &params);
  if (status != FPS_OK)
    error = def->internal_name + " answered " + std::to_string(status);
  return status;
}
