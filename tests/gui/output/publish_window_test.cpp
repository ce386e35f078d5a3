// SPDX-License-Identifier: GPL-3.0-or-later
// frmPublish: the folder chosen through the folder dialog, the site on
// disk, the folder and address remembered in the database for the next
// time, the browser handed the index, and bad input refused with the old
// site left as it was.
#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>

#include "core/publish/site_place.h"
#include "gui/output/publish_window.h"
#include "support/test_program.h"

namespace fs = std::filesystem;

namespace orv::ui {
namespace {

// Stands in for the desktop's browser: records what it was asked to open.
class Browser : public QObject {
  Q_OBJECT
 public:
  Browser() { QDesktopServices::setUrlHandler("file", this, "Open"); }
  ~Browser() override { QDesktopServices::unsetUrlHandler("file"); }
  QList<QUrl> opened;
 public slots:
  void Open(const QUrl& url) { opened << url; }
};

class PublishWindow : public ::testing::Test {
 protected:
  PublishWindow() : program("[USERINFO]\nUSER=育才实验学校\n") {
    program.AddSmallSchool();
    program.Exec("insert into LessonListtb values ('11',1,1,'01','T1',1),('12',4,6,'02','T2',2)");
  }
  test::TestProgram program;
};

TEST_F(PublishWindow, PublishesIntoTheChosenFolderRemembersItAndOpensTheIndex) {
  auto window = std::make_unique<FrmPublish>(program.ctx());
  EXPECT_EQ(window->txtFolder->text(), test::Q(program.dir() / "site")) << "beside the database at first";
  EXPECT_EQ(window->lblStatus->text(), "这个课表还没有发布过。");
  EXPECT_FALSE(window->cmdOpen->isEnabled());

  const fs::path folder = program.dir() / "网站" / "kebiao";
  program.prompter().QueueFileName(test::Q(folder));
  test::Click(window->cmdBrowse);
  EXPECT_EQ(program.prompter().fileDialogs().back().filter, "folder");
  EXPECT_EQ(window->txtFolder->text(), test::Q(folder));
  window->txtBaseUrl->setText("https://kb.example/kebiao");
  test::Click(window->cmdPublish);
  EXPECT_EQ(program.Said(), "I|发布网页课表|网页课表发布成功！（第1次发布）");
  const std::string index = test::ReadFile(folder / "index.html");
  EXPECT_NE(index.find("<h1>育才实验学校 课表</h1>"), std::string::npos);
  EXPECT_NE(test::ReadFile(folder / "c-12.html").find("<b>数学</b><small>李</small>"), std::string::npos);
  EXPECT_NE(test::ReadFile(folder / "c-11.html").find("<svg"), std::string::npos) << "the door's QR code";
  EXPECT_TRUE(window->lblStatus->text().startsWith("已完成第1次发布"))
      << window->lblStatus->text().toStdString();
  ASSERT_TRUE(window->cmdOpen->isEnabled());

  Browser browser;
  test::Click(window->cmdOpen);
  ASSERT_EQ(browser.opened.size(), 1);
  EXPECT_EQ(browser.opened[0].toLocalFile(), test::Q(folder / "index.html"));

  EXPECT_EQ(*LoadSitePlace(*program.state().db), (SitePlace{folder.string(), "https://kb.example/kebiao"}));
  window = std::make_unique<FrmPublish>(program.ctx());
  EXPECT_EQ(window->txtFolder->text(), test::Q(folder));
  EXPECT_EQ(window->txtBaseUrl->text(), "https://kb.example/kebiao");
  EXPECT_TRUE(window->lblStatus->text().startsWith("上次发布：第1次发布"))
      << window->lblStatus->text().toStdString();
  EXPECT_TRUE(program.prompter().AllAnswersUsed());
}

TEST_F(PublishWindow, BadInputIsRefusedWithItsReasonAndTheOldSiteStays) {
  FrmPublish window(program.ctx());
  const fs::path site = program.dir() / "site";
  test::Click(window.cmdPublish);
  ASSERT_TRUE(fs::exists(site / "index.html"));
  const std::string before = test::ReadFile(site / "c-11.html");
  program.Exec("update LessonListtb set Day=2 where ClassCode='11'");

  window.txtBaseUrl->setText("kb.example");
  test::Click(window.cmdPublish);
  EXPECT_EQ(program.prompter().lastMessage().icon, MessageIcon::Warning);
  EXPECT_TRUE(program.prompter().lastMessage().text.startsWith("网站地址无效：网址应以 http://"));
  window.txtBaseUrl->clear();

  window.txtFolder->setText("  ");
  test::Click(window.cmdPublish);
  EXPECT_EQ(program.Said(), "W|发布网页课表|请选择发布网页课表的文件夹。");

  window.txtFolder->setText(test::Q(program.dir() / "kbxt.ini" / "site"));
  test::Click(window.cmdPublish);
  EXPECT_EQ(program.prompter().lastMessage().icon, MessageIcon::Critical);
  EXPECT_TRUE(program.prompter().lastMessage().text.startsWith("发布网页课表失败！\n"));
  EXPECT_TRUE(program.prompter().lastMessage().text.contains("不是文件夹"));
  EXPECT_EQ(window.lblStatus->text(), "发布失败，原来的网页课表没有改变。");
  EXPECT_FALSE(window.cmdOpen->isEnabled());
  EXPECT_EQ(test::ReadFile(site / "c-11.html"), before);
  EXPECT_EQ(LoadSitePlace(*program.state().db)->folder, site.string())
      << "only a publish that worked is remembered";
}

}  // namespace
}  // namespace orv::ui

#include "publish_window_test.moc"
