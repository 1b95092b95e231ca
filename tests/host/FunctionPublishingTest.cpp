// Function publishing: core-interface lookup by ID and by name, checked dispatch, and calls
// by name with textual arguments.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/FunctionPublishing.h"

namespace {

enum { kAdd = 0, kConcat = 1, kNudge = 2, kToggle = 3, kNodeName = 4, kUndispatched = 9 };

// A test interface whose functions record that they ran.
class CalcInterface : public FPStaticInterface {
 public:
  explicit CalcInterface(Interface_ID id = Interface_ID(0x7E570001, 0x7E570002),
                         const char* name = "CalcInterface")
      : FPStaticInterface(id, name, FP_CORE,
                          {{kAdd, "Add", TYPE_INT, {{"a", TYPE_INT}, {"b", TYPE_INT}}},
                           {kConcat, "Concat", TYPE_TSTR, {{"a", TYPE_TSTR}, {"b", TYPE_TSTR}}},
                           {kNudge, "Nudge", TYPE_POINT3, {{"p", TYPE_POINT3}, {"by", TYPE_FLOAT}}},
                           {kToggle, "Toggle", TYPE_BOOL, {{"on", TYPE_BOOL}}},
                           {kNodeName, "NodeIsKnown", TYPE_BOOL, {{"node", TYPE_INODE}}},
                           {kUndispatched, "Undispatched", TYPE_VOID, {}}}) {}
  int calls = 0;

 protected:
  FPStatus _dispatch_fn(FunctionID fid, TimeValue, FPValue& result, FPParams* p) override {
    ++calls;
    switch (fid) {
      case kAdd: result = FPValue(p->params[0].i() + p->params[1].i()); return FPS_OK;
      case kConcat: result = FPValue(p->params[0].s() + p->params[1].s()); return FPS_OK;
      case kNudge: {
        const float by = p->params[1].f();
        result = FPValue(p->params[0].p() + Point3(by, by, by));
        return FPS_OK;
      }
      case kToggle: result = FPValue(!p->params[0].b()); return FPS_OK;
      case kNodeName: result = FPValue(p->params[0].n() != nullptr); return FPS_OK;
      default: return FPS_NO_SUCH_FUNCTION;
    }
  }
};

TEST(FunctionPublishing, CoreInterfacesAreFoundByIdAndNameWhileTheyLive) {
  const Interface_ID id(0x7E570001, 0x7E570002);
  const int before = NumCOREInterfaces();
  {
    CalcInterface calc;
    EXPECT_TRUE(calc.IsPublished());
    EXPECT_EQ(GetCOREInterface(id), &calc);
    EXPECT_EQ(GetCOREInterfaceByName("CalcInterface"), &calc);
    EXPECT_EQ(GetCOREInterfaceByName("calcinterface"), nullptr);  // letter for letter
    EXPECT_EQ(GetCOREInterfaceAt(NumCOREInterfaces() - 1), &calc);
    EXPECT_EQ(calc.GetID(), id);

    CalcInterface sameId(id, "Other");  // the ID is taken: the first one stays
    EXPECT_FALSE(sameId.IsPublished());
    EXPECT_EQ(GetCOREInterface(id), &calc);
    EXPECT_EQ(GetCOREInterfaceByName("Other"), nullptr);
  }
  EXPECT_EQ(GetCOREInterface(id), nullptr);
  EXPECT_EQ(NumCOREInterfaces(), before);
}

TEST(FunctionPublishing, FunctionsAreFoundByName) {
  CalcInterface calc;
  EXPECT_EQ(calc.FindFn("Concat"), kConcat);
  EXPECT_EQ(calc.FindFn("concat"), FP_NO_FUNCTION);
  ASSERT_NE(calc.GetFnDef(kNudge), nullptr);
  EXPECT_EQ(calc.GetFnDef(kNudge)->params[1].type, TYPE_FLOAT);
  EXPECT_EQ(calc.GetFnDef(42), nullptr);
}

TEST(FunctionPublishing, InvokeDispatchesCheckedCallsWithTypedResults) {
  CalcInterface calc;
  FPValue result;
  FPParams add{FPValue(2), FPValue(40)};
  EXPECT_EQ(calc.Invoke(kAdd, result, &add), FPS_OK);
  EXPECT_EQ(result.type, TYPE_INT);
  EXPECT_EQ(result.i(), 42);

  FPParams nudge{FPValue(Point3(1, 2, 3)), FPValue(0.5f)};
  EXPECT_EQ(calc.Invoke(kNudge, result, &nudge), FPS_OK);
  EXPECT_EQ(result.p(), Point3(1.5f, 2.5f, 3.5f));

  struct Refused {
    FunctionID fid;
    FPParams params;
    FPStatus status;
  };
  const std::vector<Refused> refused = {
      {42, {}, FPS_NO_SUCH_FUNCTION},                      // not declared
      {kAdd, {FPValue(1)}, FPS_FAIL},                      // too few arguments
      {kAdd, {FPValue(1), FPValue(2), FPValue(3)}, FPS_FAIL},  // too many
      {kAdd, {FPValue(1), FPValue("2")}, FPS_FAIL},        // text for an int
      {kNudge, {FPValue(Point3()), FPValue(1)}, FPS_FAIL},  // int for a float
  };
  const int callsBefore = calc.calls;
  for (const Refused& r : refused) {
    FPParams params = r.params;
    EXPECT_EQ(calc.Invoke(r.fid, result, &params), r.status) << r.fid;
    EXPECT_EQ(result.type, TYPE_VOID);
  }
  EXPECT_EQ(calc.calls, callsBefore);  // none reached the plug-in
  // Declared, but the plug-in does not dispatch it.
  EXPECT_EQ(calc.Invoke(kUndispatched), FPS_NO_SUCH_FUNCTION);
}

INode* FindTestNode(const std::string& name, void* context) {
  return name == "Box01" ? static_cast<INode*>(context) : nullptr;
}

TEST(FunctionPublishing, InvokeByNameParsesTextualArguments) {
  CalcInterface calc;
  int fakeNode = 0;
  void* node = &fakeNode;
  struct Case {
    const char* function;
    std::vector<std::string> args;
    FPStatus status;
    std::string result;
  };
  const std::vector<Case> cases = {
      {"Add", {"2", "-5"}, FPS_OK, "-3"},
      {"Concat", {"ab", "cd"}, FPS_OK, "abcd"},
      {"Nudge", {"1,2,3", "1"}, FPS_OK, "[2,3,4]"},
      {"Toggle", {"false"}, FPS_OK, "true"},
      {"Toggle", {"1"}, FPS_OK, "false"},
      {"NodeIsKnown", {"Box01"}, FPS_OK, "true"},
      {"NodeIsKnown", {"Nothing"}, FPS_FAIL, ""},  // no node of that name
      {"Add", {"2", "x"}, FPS_FAIL, ""},
      {"Add", {"2.5", "1"}, FPS_FAIL, ""},
      {"Add", {"2"}, FPS_FAIL, ""},
      {"Nudge", {"1,2", "1"}, FPS_FAIL, ""},
      {"Toggle", {"yes"}, FPS_FAIL, ""},
      {"Missing", {}, FPS_NO_SUCH_FUNCTION, ""},
  };
  for (const Case& c : cases) {
    FPValue result;
    std::string error;
    EXPECT_EQ(InvokeByName("CalcInterface", c.function, c.args, result, error, FindTestNode, node),
              c.status)
        << c.function;
    EXPECT_EQ(result.ToString(), c.result) << c.function;
    EXPECT_EQ(error.empty(), c.status == FPS_OK) << c.function << ": " << error;
  }
  FPValue result;
  std::string error;
  EXPECT_EQ(InvokeByName("NoSuchInterface", "Add", {}, result, error), FPS_NO_SUCH_FUNCTION);
  EXPECT_NE(error.find("NoSuchInterface"), std::string::npos);
}

}  // namespace
