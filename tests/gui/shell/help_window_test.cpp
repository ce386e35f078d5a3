// SPDX-License-Identifier: GPL-3.0-or-later
// The help window: every window's F1 chapter exists in the manual, F1 opens
// the manual scrolled to it, the contents list and history lead where they
// say, and a missing manual is said rather than silently ignored.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTreeWidget>
#include <regex>
#include <set>

#include "gui/editors/class_list_editor.h"
#include "gui/gallery/gallery.h"
#include "gui/shell/help_window.h"
#include "gui/shell/window_manners.h"
#include "support/test_program.h"

namespace fs = std::filesystem;

namespace orv::ui {
namespace {

const fs::path kManualDir = ORVANDEL_MANUAL_DIR;

std::set<std::string> ManualIds() {
  const std::string html = test::ReadFile(kManualDir / "使用手册.html");
  std::set<std::string> ids;
  const std::regex id(R"re(\bid="([^"]+)")re");
  for (std::sregex_iterator it(html.begin(), html.end(), id), end; it != end; ++it)
    ids.insert((*it)[1].str());
  return ids;
}

// The text at the top of the manual's visible part: the heading scrolled to.
QString TopLine(const FrmHelp& help) {
  return help.txtManual->cursorForPosition(QPoint(8, 8)).block().text();
}

QTreeWidgetItem* ContentsItem(const FrmHelp& help, const QString& title) {
  const auto found = help.lstContents->findItems(title, Qt::MatchExactly | Qt::MatchRecursive);
  return found.isEmpty() ? nullptr : found.front();
}

TEST(HelpWindow, EveryGalleryWindowHasAChapterThatTheManualHolds) {
  GalleryList list;
  AddShellGallery(list);
  AddEditorGallery(list);
  AddLimitGallery(list);
  AddTimetableGallery(list);
  AddOutputGallery(list);
  AddQualityGallery(list);
  ASSERT_GE(list.size(), 25u);
  const std::set<std::string> ids = ManualIds();
  for (const GalleryEntry& entry : list) {
    const QString window = entry.name.section('_', 0, 0);  // frmManualSetLesson_placing
    if (window == "frmHelp") continue;                     // the manual itself
    const QString anchor = ChapterOfWindow(window);
    EXPECT_FALSE(anchor.isEmpty()) << window.toStdString() << " has no chapter";
  }
  for (const auto& [window, anchor] : WindowChapters())
    EXPECT_TRUE(ids.count(anchor.toStdString())) << window.toStdString() << " → #" << anchor.toStdString();
}

class Help : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy(kManualDir, program.dir() / "使用手册", fs::copy_options::recursive);
    qApp->installEventFilter(&manners);
  }
  test::TestProgram program;
  WindowManners manners{program.ctx()};
};

TEST_F(Help, F1OpensTheManualAtTheWindowsChapterAndTheContentsAndHistoryLeadWhereTheySay) {
  ClassListEditor editor(program.ctx());
  editor.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
  QTest::keyClick(editor.focusWidget() ? editor.focusWidget() : &editor, Qt::Key_F1);
  auto* help = editor.findChild<FrmHelp*>("frmHelp");
  ASSERT_NE(help, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(help));
  EXPECT_EQ(help->CurrentAnchor(), "class-list");
  EXPECT_TRUE(test::WaitUntil([&] { return TopLine(*help) == "四、班级名单"; }))
      << TopLine(*help).toStdString();
  EXPECT_EQ(program.Said(), "");

  // The chapters in order, each with its sections; a section without an id
  // of its own is reached all the same.
  EXPECT_EQ(help->lstContents->topLevelItemCount(), 27);
  QTreeWidgetItem* classList = ContentsItem(*help, "四、班级名单");
  ASSERT_NE(classList, nullptr);
  EXPECT_EQ(classList->childCount(), 5);
  EXPECT_EQ(help->lstContents->currentItem(), classList);
  QTreeWidgetItem* addClass = classList->child(0);
  ASSERT_EQ(addClass->text(0), "添加班级");
  QTest::mouseClick(help->lstContents->viewport(), Qt::LeftButton, {},
                    help->lstContents->visualItemRect(addClass).center());
  EXPECT_TRUE(test::WaitUntil([&] { return TopLine(*help) == "添加班级"; })) << TopLine(*help).toStdString();

  ASSERT_TRUE(help->cmdBack->isEnabled());
  EXPECT_FALSE(help->cmdForward->isEnabled());
  QTest::mouseClick(help->cmdBack, Qt::LeftButton);
  EXPECT_EQ(help->CurrentAnchor(), "class-list");
  EXPECT_TRUE(test::WaitUntil([&] { return TopLine(*help) == "四、班级名单"; }));
  ASSERT_TRUE(help->cmdForward->isEnabled());
  QTest::mouseClick(help->cmdForward, Qt::LeftButton);
  EXPECT_EQ(help->lstContents->currentItem(), addClass);
  QTest::mouseClick(help->cmdHome, Qt::LeftButton);
  EXPECT_EQ(help->txtManual->verticalScrollBar()->value(), 0);

  // F1 again reuses the window and leads back to the chapter.
  QTest::keyClick(&editor, Qt::Key_F1);
  EXPECT_EQ(editor.findChildren<FrmHelp*>().size(), 1);
  EXPECT_EQ(help->CurrentAnchor(), "class-list");
}

TEST_F(Help, PicturesOfTheManualAreShown) {
  auto* help = new FrmHelp(kManualDir / "使用手册.html");
  std::unique_ptr<FrmHelp> owner(help);
  help->ShowAnchor("manual-adjust");
  help->show();
  const QVariant picture = help->txtManual->document()->resource(QTextDocument::ImageResource,
                                                                 QUrl("images/frmManualSetLesson.png"));
  const QImage image =
      picture.value<QImage>().isNull() ? QImage::fromData(picture.toByteArray()) : picture.value<QImage>();
  ASSERT_FALSE(image.isNull());
  EXPECT_LE(image.width(), help->txtManual->viewport()->width())
      << "shrunk to the page, the file is 1202 wide";
}

TEST(HelpWindowMissing, WithoutAManualF1SaysSoAndOpensNothing) {
  test::TestProgram program;
  WindowManners manners(program.ctx());
  qApp->installEventFilter(&manners);
  ClassListEditor editor(program.ctx());
  editor.show();
  QTest::keyClick(&editor, Qt::Key_F1);
  EXPECT_EQ(editor.findChild<FrmHelp*>(), nullptr);
  EXPECT_EQ(program.Said(), "W|" + editor.windowTitle().toStdString() + "|找不到使用手册文件：" +
                                (program.dir() / "使用手册" / "使用手册.html").string());
}

TEST(HelpWindowText, HeadingsWithoutAnIdGetOneNamedAfterTheirChapterThatClashesWithNothing) {
  const ManualText text = ReadManualText(
      "<h3>前言</h3><h2 id=\"a\">一、甲</h2><h3>添加</h3><h3 id=\"a-2\">删除</h3><h3>提示 <b>信息</b></h3>");
  ASSERT_EQ(text.headings.size(), 5u);
  EXPECT_EQ(text.headings[0].anchor, "top-1");
  EXPECT_EQ(text.headings[1].anchor, "a");
  EXPECT_EQ(text.headings[2].anchor, "a-1");
  EXPECT_EQ(text.headings[3].anchor, "a-2");
  EXPECT_EQ(text.headings[4].anchor, "a-3");
  EXPECT_EQ(text.headings[4].title, "提示 信息");
  EXPECT_EQ(
      text.html,
      "<h3 id=\"top-1\">前言</h3><h2 id=\"a\">一、甲</h2><h3 id=\"a-1\">添加</h3><h3 id=\"a-2\">删除</h3>"
      "<h3 id=\"a-3\">提示 <b>信息</b></h3>");
  EXPECT_EQ(ReadManualText("<p>甲</p>\n<img src=\"x.png\"><p>乙 <img src=\"y.png\"></p>").html,
            "<p>甲</p>\n<p><img src=\"x.png\"></p><p>乙 <img src=\"y.png\"></p>")
      << "a picture between paragraphs stands in its own; one inside a paragraph stays";
}

}  // namespace
}  // namespace orv::ui
