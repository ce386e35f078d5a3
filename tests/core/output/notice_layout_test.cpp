// SPDX-License-Identifier: GPL-3.0-or-later
// The change notice laid out with the shipped template: one page per teacher
// with the title, the line under it and the sentences, a teacher with more
// changes than a page holds going on over the next, and a notice never laid
// out with a timetable template nor a timetable with the notice's.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/output/page_layout.h"
#include "support/temp_dir.h"

namespace orv {
namespace {

PrintTemplate NoticeTemplate() {
  auto t = ParsePrintTemplate(test::ReadFile(std::filesystem::path(ORVANDEL_TEMPLATE_DIR) / "NoticeA4.xml"));
  EXPECT_TRUE(t) << t.message();
  return t.value_or({});
}

std::vector<std::string> Texts(const Page& page) {
  std::vector<std::string> out;
  for (const PageText& t : page.texts) out.push_back(t.text);
  return out;
}

PrintData Notice(std::vector<size_t> linesPerTeacher) {
  PrintData data;
  data.kind = PrintDataKind::Notice;
  for (size_t i = 0; i < linesPerTeacher.size(); ++i) {
    PrintSubject s{
        "实验中学　教师" + std::to_string(i + 1), "自第1次发布（2026-09-01 08:00）以来", {}, 0, {}};
    for (size_t n = 0; n < linesPerTeacher[i]; ++n) s.lines.push_back("变动" + std::to_string(n + 1));
    data.subjects.push_back(s);
  }
  return data;
}

TEST(NoticeLayout, OnePagePerTeacherAndALongNoticeGoesOn) {
  const PrintTemplate t = NoticeTemplate();
  ASSERT_EQ(t.layout, TemplateLayout::Notice);
  const PageDocument two = LayOutPages(Notice({2, 1}), t).value();
  EXPECT_EQ(two.paper, "A4");
  ASSERT_EQ(two.pages.size(), 2u);
  EXPECT_EQ(Texts(two.pages[0]),
            (std::vector<std::string>{"实验中学　教师1　课表变更通知", "自第1次发布（2026-09-01 08:00）以来",
                                      "第 1 页，共 1 页", "变动1", "变动2"}));
  EXPECT_EQ(Texts(two.pages[1])[0], "实验中学　教师2　课表变更通知");
  for (const Page& p : two.pages)
    for (const PageText& text : p.texts) {
      EXPECT_GE(text.y, t.marginTop - 1e-9) << text.text;
      EXPECT_LE(text.y + text.height, t.paperHeight - t.marginBottom + 1e-9) << text.text;
    }

  // 297 mm less margins, title, the line under it and the footer hold 22 rows of 10 mm.
  const PageDocument long_ = LayOutPages(Notice({23, 0}), t).value();
  ASSERT_EQ(long_.pages.size(), 3u);
  EXPECT_EQ(Texts(long_.pages[1]).at(0), "实验中学　教师1　课表变更通知");
  EXPECT_EQ(Texts(long_.pages[1]).back(), "变动23");
  EXPECT_EQ(Texts(long_.pages[0]).back(), "变动22");
  EXPECT_EQ(Texts(long_.pages[2]).at(0), "实验中学　教师2　课表变更通知");
  // Pages are numbered within each teacher's notice, which is handed out alone.
  EXPECT_EQ(Texts(long_.pages[1]).at(2), "第 2 页，共 2 页");
  EXPECT_EQ(Texts(long_.pages[2]).at(2), "第 1 页，共 1 页");
}

TEST(NoticeLayout, ANoticeAndATimetableNeverShareATemplate) {
  const Result<PageDocument> empty = LayOutPages(Notice({}), NoticeTemplate());
  ASSERT_FALSE(empty);
  EXPECT_EQ(empty.message(), "打印数据中没有变更");
  PrintData timetable;
  timetable.lessonsPerDay = 6;
  timetable.subjects.push_back({"实验中学　七（2）班", "", std::vector<PrintCell>(30), 0, {}});
  EXPECT_EQ(LayOutPages(timetable, NoticeTemplate()).message(), "打印数据是课表，模板却是变更通知");
  const PrintTemplate classTemplate =
      ParsePrintTemplate(test::ReadFile(std::filesystem::path(ORVANDEL_TEMPLATE_DIR) / "ClassSchd6.xml"))
          .value();
  EXPECT_EQ(LayOutPages(Notice({1}), classTemplate).message(), "打印数据是变更通知，模板却是课表");
}

}  // namespace
}  // namespace orv
