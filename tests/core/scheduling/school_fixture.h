// SPDX-License-Identifier: GPL-3.0-or-later
// A small school for the scheduling tests, filled from compact text, and a
// generator whose draws a test writes down in advance so that a case that
// depends on chance takes a known road.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "core/scheduling/generation_steps.h"
#include "support/test_db.h"

namespace orv::test {

// A draw beyond the script is a failure: the code drew more often than the
// case expects.
class ScriptedRandom : public UniformRandom {
 public:
  ScriptedRandom(std::vector<double> draws) : draws_(std::move(draws)) {}
  double Next() override {
    if (next_ < draws_.size()) return draws_[next_++];
    ADD_FAILURE() << "unscripted draw number " << next_ + 1;
    return 0.0;
  }
  bool AllDrawn() const { return next_ == draws_.size(); }

 private:
  std::vector<double> draws_;
  size_t next_ = 0;
};

// Rows as text: "101/02/T1/5 102/02/T1/5" is two rows of four fields.
inline std::vector<std::vector<std::string>> Rows(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream words(text);
  for (std::string word; words >> word;) {
    std::istringstream fields(word);
    rows.emplace_back();
    for (std::string field; std::getline(fields, field, '/');) rows.back().push_back(field);
  }
  return rows;
}

class School : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* c : {"101", "102", "103", "104"}) t.AddClass(c, std::string("一（") + c[2] + "）班");
    for (const auto& r : Rows("01/语文 02/数学 03/英语 06/体育 99/其他")) t.AddCourse(r[0], r[1]);
    for (const auto& r : Rows("T1/王伟 T2/李芳 T3/张敏 F/填充")) t.AddTeacher(r[0], r[1]);
  }
  // Statements separated by ';' (a trigger, whose body holds ';', alone); "" runs nothing.
  void Exec(const std::string& sql) {
    if (sql.find(" begin ") != std::string::npos) {
      t.db().Execute(sql);
      return;
    }
    std::string::size_type from = 0;
    while (from < sql.size()) {
      const std::string::size_type end = std::min(sql.find(';', from), sql.size());
      const std::string one = sql.substr(from, end - from);
      if (one.find_first_not_of(' ') != std::string::npos) t.db().Execute(one);
      from = end + 1;
    }
  }
  // Class/course/teacher/count; replaces the plan.
  void Plan(const std::string& text) {
    Exec("delete from ClassPlantb");
    for (const auto& r : Rows(text)) t.AddPlan(r[0], r[1], r[2], std::stoi(r[3]));
  }
  // Class/day/lesson/course/teacher[/SetFlag, 1 when left out].
  void Add(const std::string& text) {
    for (const auto& r : Rows(text))
      t.AddLesson(r[0], std::stoi(r[1]), std::stoi(r[2]), r[3], r[4], r.size() > 5 ? std::stoi(r[5]) : 1);
  }
  // Kind/code/day/lesson/attr; lesson 0 marks the whole day.
  void Limit(const std::string& text) {
    for (const auto& r : Rows(text)) {
      const int n = std::stoi(r[3]);
      for (int k = n ? n : 1; k <= (n ? n : 6); ++k)
        t.AddLimit(std::stoi(r[0]), r[1], std::stoi(r[2]), k, std::stoi(r[4]));
    }
  }
  // The timetable in the same notation, in the order stored.
  std::string Lessons() {
    return t.db()
        .FirstText(
            "select group_concat(ClassCode||'/'||Day||'/'||LessonNo||'/'||CourseCode||'/'||"
            "TeacherCode||'/'||SetFlag,' ') from (select * from LessonListtb order by rowid)")
        .value_or("");
  }

  TestDb t;
};

}  // namespace orv::test
