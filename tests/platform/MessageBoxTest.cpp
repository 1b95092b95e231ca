// Message boxes: recording, the default answers, and answers that the box does not offer.
#include "PlatformFixture.h"
#include "platform/Interaction.h"

namespace {

using MessageBoxTest = PlatformTest;

class FixedAnswer : public InteractionDriver {
public:
  explicit FixedAnswer(int answer) : answer_(answer) {}
  int AnswerMessageBox(const MessageBoxRecord&) override { return answer_; }

private:
  int answer_;
};

TEST_F(MessageBoxTest, DefaultDriverAnswersOkNoOrCancel) {
  struct Case {
    UINT type;
    int answer;
  } cases[] = {{MB_OK, IDOK},
               {MB_YESNO | MB_ICONQUESTION, IDNO},
               {MB_OKCANCEL, IDCANCEL},
               {MB_YESNOCANCEL, IDCANCEL},
               {MB_RETRYCANCEL, IDCANCEL},
               {MB_ABORTRETRYIGNORE, IDABORT}};
  for (const Case& c : cases) EXPECT_EQ(MessageBoxA(nullptr, "t", "c", c.type), c.answer) << c.type;
}

TEST_F(MessageBoxTest, EveryBoxIsRecordedWithItsAnswer) {
  const HWND owner = CreateDesktopWindow("Host", "", nullptr);
  FixedAnswer yes(IDYES);
  ScopedInteractionDriver scoped(yes);
  EXPECT_EQ(MessageBoxA(owner, "Continue ?", "Warning !", MB_YESNO), IDYES);
  EXPECT_EQ(MessageBoxA(nullptr, "Unable to find DUVOVUZ window.", nullptr, MB_ICONEXCLAMATION), IDOK)
      << "an answer the box does not offer becomes its default";
  const std::vector<MessageBoxRecord> boxes = MessageBoxRecords();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].owner, owner);
  EXPECT_EQ(boxes[0].text, "Continue ?");
  EXPECT_EQ(boxes[0].caption, "Warning !");
  EXPECT_EQ(boxes[0].Buttons(), MB_YESNO);
  EXPECT_EQ(boxes[0].Icon(), 0u);
  EXPECT_EQ(boxes[0].answer, IDYES);
  EXPECT_EQ(boxes[1].owner, nullptr);
  EXPECT_EQ(boxes[1].caption, "Error") << "no caption shows Error";
  EXPECT_EQ(boxes[1].Icon(), MB_ICONEXCLAMATION);
  EXPECT_EQ(boxes[1].answer, IDOK);
}

TEST_F(MessageBoxTest, ScriptedDriverChecksBoxesAndReportsUnexpectedOnes) {
  ScriptedDriver driver;
  driver.ExpectBox({.text = "Continue ?", .caption = "Warning !", .buttons = MB_YESNO, .answer = IDYES})
      .ExpectBox({.caption = "Error", .icon = MB_ICONERROR, .answer = IDOK});
  ScopedInteractionDriver scoped(driver);
  EXPECT_EQ(MessageBoxA(nullptr, "Continue ?", "Warning !", MB_YESNO), IDYES);
  EXPECT_TRUE(driver.Failures().empty()) << driver.Report();
  MessageBoxA(nullptr, "Unable to execute TZ2 viewer", "Error", MB_OK | MB_ICONEXCLAMATION);
  EXPECT_EQ(MessageBoxA(nullptr, "Surprise", "Oops", MB_YESNO), IDNO);
  driver.ExpectBox({.answer = IDYES});
  EXPECT_EQ(MessageBoxA(nullptr, "Done", "Info", MB_OK), IDOK);
  ASSERT_EQ(driver.Failures().size(), 3u);
  EXPECT_NE(driver.Failures()[2].find("does not offer the scripted answer 6"), std::string::npos);
  EXPECT_NE(driver.Failures()[0].find("has icon 48, expected 16"), std::string::npos) << driver.Failures()[0];
  EXPECT_NE(driver.Failures()[1].find("unexpected message box \"Oops\": \"Surprise\""), std::string::npos);
  EXPECT_FALSE(driver.Done());
}

}  // namespace
