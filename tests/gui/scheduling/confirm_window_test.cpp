// frmConfirm: only OK (any case, surrounding spaces) confirms.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cctype>
#include <string>

#include "gui/scheduling/confirm_window.h"
#include "support/test_program.h"

namespace orv::ui {
namespace {

struct Typed {
  const char* text;
  bool confirms;
};

class ConfirmTyping : public ::testing::TestWithParam<Typed> {};

TEST_P(ConfirmTyping, OnlyOkConfirms) {
  FrmConfirm window;
  window.show();
  QTest::keyClicks(window.Text1, GetParam().text);
  QTest::mouseClick(window.cmdOK, Qt::LeftButton);
  EXPECT_EQ(window.Confirmed(), GetParam().confirms);
  // A refused text stays in the box, selected, so the next typing replaces it.
  EXPECT_EQ(window.isVisible(), !GetParam().confirms);
  if (!GetParam().confirms) {
    EXPECT_EQ(window.Text1->selectedText(), window.Text1->text());
    EXPECT_EQ(window.result(), QDialog::Rejected);
  } else {
    EXPECT_EQ(window.result(), QDialog::Accepted);
  }
}

INSTANTIATE_TEST_SUITE_P(Texts, ConfirmTyping,
                         ::testing::Values(Typed{"OK", true}, Typed{" ok ", true}, Typed{"oK", true},
                                           Typed{"o k", false}, Typed{"", false}, Typed{"OKK", false},
                                           Typed{"0K", false}),
                         [](const ::testing::TestParamInfo<Typed>& info) {
                           std::string name;
                           for (const char* c = info.param.text; *c; ++c)
                             name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                           return "t" + std::to_string(info.index) + "_" + name;
                         });

TEST(Confirm, CaptionsAndWarningLines) {
  FrmConfirm window;
  window.SetWarning(ClearTimetableWarning("删除课表数据将会清除您以前排好的课表！"));
  EXPECT_EQ(window.windowTitle(), "请确认");
  EXPECT_EQ(window.findChild<QLabel*>("Label1")->text(), "请在右边框中输入OK，然后按<确认>按钮");
  EXPECT_EQ(window.findChild<QPushButton*>("cmdOK")->text(), "确认(&Y)");
  EXPECT_EQ(window.findChild<QPushButton*>("cmdCancel")->text(), "取消(&C)");
  EXPECT_EQ(
      window.findChild<QLabel*>("lblTitle")->text(),
      "删除课表数据将会清除您以前排好的课表！\n您最好先保存现在的课表数据。\n菜单“文件”->“数据库另存为”");
}

TEST(Confirm, CancelAfterOkTypedDoesNotConfirm) {
  FrmConfirm window;
  window.show();
  QTest::keyClicks(window.Text1, "OK");
  QTest::mouseClick(window.cmdCancel, Qt::LeftButton);
  EXPECT_FALSE(window.Confirmed());
  EXPECT_FALSE(window.isVisible());
}

TEST(Confirm, EnterInTheBoxPressesConfirm) {
  FrmConfirm window;
  window.show();
  QTest::keyClicks(window.Text1, "ok");
  QTest::keyClick(window.Text1, Qt::Key_Return);
  EXPECT_TRUE(window.Confirmed());
}

TEST(Confirm, RefusedThenCorrectedConfirms) {
  FrmConfirm window;
  window.show();
  QTest::keyClicks(window.Text1, "o k");
  QTest::mouseClick(window.cmdOK, Qt::LeftButton);
  ASSERT_FALSE(window.Confirmed());
  // The refused text is selected, so typing replaces it.
  QTest::keyClicks(window.Text1, "Ok");
  EXPECT_EQ(window.Text1->text(), "Ok");
  QTest::mouseClick(window.cmdOK, Qt::LeftButton);
  EXPECT_TRUE(window.Confirmed());
}

TEST(Confirm, TypedConfirmationThroughThePrompter) {
  test::TestProgram program;
  program.prompter().QueueModal([](QDialog& d) {
    auto* text = d.findChild<QLineEdit*>("Text1");
    EXPECT_TRUE(text->text().isEmpty());
    QTest::keyClicks(text, " ok ");
    QTest::mouseClick(d.findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
  });
  EXPECT_TRUE(AskTypedConfirmation(program.ctx(), nullptr, "x"));

  // Closing the window (close box, Esc) is a refusal.
  program.prompter().QueueModal([](QDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); });
  EXPECT_FALSE(AskTypedConfirmation(program.ctx(), nullptr, "x"));
  EXPECT_TRUE(program.prompter().AllAnswersUsed());
}

}  // namespace
}  // namespace orv::ui
