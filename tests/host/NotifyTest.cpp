// Notifications: registration, broadcast to the handlers of one code, and handlers that
// change the handler list while a broadcast runs.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/Notify.h"

namespace {

// A handler's parameter: what it saw, and what it does to the list when called.
struct Probe {
  std::string name;
  std::vector<std::string>* log = nullptr;
  std::vector<void*> callParams;
  Probe* unregisterOnCall = nullptr;  // unregisters this probe's registration (may be itself)
  Probe* registerOnCall = nullptr;    // registers this probe for the same code
};

void Handler(void* param, NotifyInfo* info) {
  auto* probe = static_cast<Probe*>(param);
  probe->log->push_back(probe->name + ":" + std::to_string(info->intcode));
  probe->callParams.push_back(info->callParam);
  if (probe->unregisterOnCall != nullptr)
    UnRegisterNotification(Handler, probe->unregisterOnCall, info->intcode);
  if (probe->registerOnCall != nullptr)
    RegisterNotification(Handler, probe->registerOnCall, info->intcode);
}

// Unregisters every probe of a test when it ends, so no test leaves a handler behind.
class NotifyTest : public ::testing::Test {
 protected:
  Probe& MakeProbe(const std::string& name) {
    probes_.push_back(std::make_unique<Probe>());
    probes_.back()->name = name;
    probes_.back()->log = &log_;
    return *probes_.back();
  }
  void TearDown() override {
    for (auto& p : probes_) UnRegisterNotification(Handler, p.get());
    EXPECT_EQ(NotificationHandlerCount(NOTIFY_PRE_EXPORT), 0);
    EXPECT_EQ(NotificationHandlerCount(NOTIFY_POST_EXPORT), 0);
  }
  std::vector<std::string> log_;
  std::vector<std::unique_ptr<Probe>> probes_;
};

TEST_F(NotifyTest, BroadcastCallsTheHandlersOfItsCodeInRegistrationOrder) {
  Probe& a = MakeProbe("a");
  Probe& b = MakeProbe("b");
  Probe& c = MakeProbe("c");
  ASSERT_TRUE(RegisterNotification(Handler, &a, NOTIFY_PRE_EXPORT));
  ASSERT_TRUE(RegisterNotification(Handler, &b, NOTIFY_POST_EXPORT));
  ASSERT_TRUE(RegisterNotification(Handler, &c, NOTIFY_PRE_EXPORT));
  int payload = 0;
  BroadcastNotification(NOTIFY_PRE_EXPORT, &payload);
  BroadcastNotification(NOTIFY_EXPORT_FAILED);
  EXPECT_EQ(log_, (std::vector<std::string>{"a:27", "c:27"}));
  EXPECT_EQ(a.callParams, (std::vector<void*>{&payload}));
  EXPECT_TRUE(b.callParams.empty());
}

TEST_F(NotifyTest, RegistrationIsKeptOnceAndRemovedPerCodeOrEntirely) {
  Probe& a = MakeProbe("a");
  EXPECT_TRUE(RegisterNotification(Handler, &a, NOTIFY_PRE_EXPORT));
  EXPECT_FALSE(RegisterNotification(Handler, &a, NOTIFY_PRE_EXPORT));  // the same again
  EXPECT_FALSE(RegisterNotification(nullptr, &a, NOTIFY_PRE_EXPORT));
  EXPECT_TRUE(RegisterNotification(Handler, &a, NOTIFY_POST_EXPORT));
  EXPECT_EQ(NotificationHandlerCount(NOTIFY_PRE_EXPORT), 1);

  EXPECT_TRUE(UnRegisterNotification(Handler, &a, NOTIFY_PRE_EXPORT));
  EXPECT_FALSE(UnRegisterNotification(Handler, &a, NOTIFY_PRE_EXPORT));
  BroadcastNotification(NOTIFY_PRE_EXPORT);
  BroadcastNotification(NOTIFY_POST_EXPORT);
  EXPECT_EQ(log_, (std::vector<std::string>{"a:28"}));

  EXPECT_TRUE(RegisterNotification(Handler, &a, NOTIFY_PRE_EXPORT));
  EXPECT_TRUE(UnRegisterNotification(Handler, &a));  // every code
  EXPECT_EQ(NotificationHandlerCount(NOTIFY_PRE_EXPORT), 0);
  EXPECT_EQ(NotificationHandlerCount(NOTIFY_POST_EXPORT), 0);
}

TEST_F(NotifyTest, HandlersMayChangeTheListDuringABroadcast) {
  Probe& first = MakeProbe("first");
  Probe& second = MakeProbe("second");
  Probe& third = MakeProbe("third");
  Probe& late = MakeProbe("late");
  first.unregisterOnCall = &first;   // removes itself
  first.registerOnCall = &late;      // adds a handler: called from the next broadcast on
  second.unregisterOnCall = &third;  // removes a later handler: not called any more
  for (Probe* p : {&first, &second, &third})
    ASSERT_TRUE(RegisterNotification(Handler, p, NOTIFY_PRE_EXPORT));

  BroadcastNotification(NOTIFY_PRE_EXPORT);
  EXPECT_EQ(log_, (std::vector<std::string>{"first:27", "second:27"}));
  log_.clear();
  BroadcastNotification(NOTIFY_PRE_EXPORT);
  EXPECT_EQ(log_, (std::vector<std::string>{"second:27", "late:27"}));
}

}  // namespace
