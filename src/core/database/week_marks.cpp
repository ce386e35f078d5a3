// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/database/week_marks.h"
#include "core/database/guard.h"

#include <algorithm>
#include <array>
#include <exception>

namespace orv {

namespace {

constexpr const char* kSelectEntityRows =
    "select Day,LessonNo,Attr from Limittb where Kind=? and Code=? order by rowid";
constexpr const char* kCellRows =
    "select count(*) from Limittb where Kind=? and Code=? and Day=? and LessonNo=?";
constexpr const char* kDeleteCell = "delete from Limittb where Kind=? and Code=? and Day=? and LessonNo=?";
constexpr const char* kUpdateCell =
    "update Limittb set Attr=? where Kind=? and Code=? and Day=? and LessonNo=?";
constexpr const char* kInsertCell = "insert into Limittb values(?,?,?,?,?)";

constexpr std::array<const char*, 4> kSelectEntities = {
    "select Code,Name from Classtb order by rowid", "select Code,Name from Coursetb order by rowid",
    "select Code,Name from Teachertb order by rowid", "select Code,Name from ClassRoomtb order by rowid"};

void WriteCell(TimetableDb& db, LimitKind kind, std::string_view code, int day, int lessonNo,
               LimitMark mark) {
  // A cell another tool stored twice becomes one row: what the window shows
  // is then what every reader of the marks sees.
  const long long rows = db.FirstInt(kCellRows, DbValue(kind), code, day, lessonNo).value_or(0);
  if (rows == 1) {
    db.Execute(kUpdateCell, DbValue(mark), DbValue(kind), code, day, lessonNo);
    return;
  }
  if (rows > 1) db.Execute(kDeleteCell, DbValue(kind), code, day, lessonNo);
  db.Execute(kInsertCell, DbValue(kind), code, day, lessonNo, DbValue(mark));
}

}  // namespace

LimitMark WeekMarks::At(int day, int lessonNo) const {
  if (!InWeek(day, lessonNo)) return LimitMark::Normal;
  return cells_[static_cast<size_t>(day - 1)][static_cast<size_t>(lessonNo - 1)];
}

void WeekMarks::Set(int day, int lessonNo, LimitMark mark) {
  if (InWeek(day, lessonNo)) cells_[static_cast<size_t>(day - 1)][static_cast<size_t>(lessonNo - 1)] = mark;
}

void WeekMarks::Fill(LimitMark mark) {
  for (auto& day : cells_) day.fill(mark);
}

Result<LoadedWeekMarks> LoadWeekMarks(TimetableDb& db, LimitKind kind, std::string_view code,
                                      int lessonsShown) {
  return Guarded("读取上课时间限制失败：", [&]() -> Result<LoadedWeekMarks> {
    LoadedWeekMarks loaded;
    // Two rows on one cell: the stricter mark counts, as it does for the
    // checker, the completion and the analysis.
    std::array<std::array<bool, kMaxLessonsPerDay>, kDaysPerWeek> seen{};
    Cursor c = db.Query(kSelectEntityRows, DbValue(kind), code);
    while (c.Next()) {
      ++loaded.storedRows;
      const int day = c.Int(0);
      const int lessonNo = c.Int(1);
      const int attr = c.Int(2);
      const std::optional<LimitMark> mark = MarkFromDb(attr);
      if (!mark || day < 1 || day > kDaysPerWeek || lessonNo < 1 || lessonNo > lessonsShown) {
        loaded.stray.push_back({day, lessonNo, attr});
        continue;
      }
      bool& before = seen[static_cast<size_t>(day - 1)][static_cast<size_t>(lessonNo - 1)];
      const LimitMark shown = before ? std::max(loaded.marks.At(day, lessonNo), *mark) : *mark;
      before = true;
      loaded.marks.Set(day, lessonNo, shown);
    }
    return loaded;
  });
}

Outcome SaveWeekMark(TimetableDb& db, LimitKind kind, std::string_view code, int day, int lessonNo,
                     LimitMark mark) {
  if (!WeekMarks::InWeek(day, lessonNo)) return Outcome::Fail("该单元格不是上课时间");
  return Guarded("写入上课时间限制失败：", [&]() -> Outcome {
    Transaction tx(db);
    WriteCell(db, kind, code, day, lessonNo, mark);
    tx.Commit();
    return Outcome::Ok();
  });
}

Outcome SaveWeekMarks(TimetableDb& db, LimitKind kind, std::string_view code, const WeekMarks& marks,
                      int lessons) {
  if (lessons < 1 || lessons > kMaxLessonsPerDay) return Outcome::Fail("每天课时数无效");
  return Guarded("写入上课时间限制失败：", [&]() -> Outcome {
    Transaction tx(db);
    for (int lessonNo = 1; lessonNo <= lessons; ++lessonNo)
      for (int day = 1; day <= kDaysPerWeek; ++day)
        WriteCell(db, kind, code, day, lessonNo, marks.At(day, lessonNo));
    tx.Commit();
    return Outcome::Ok();
  });
}

Result<LoadedWeekMarks> OpenWeekMarks(TimetableDb& db, LimitKind kind, std::string_view code,
                                      int lessonsPerDay) {
  Result<LoadedWeekMarks> loaded = LoadWeekMarks(db, kind, code, lessonsPerDay);
  if (!loaded || loaded->storedRows > 0 || kind == LimitKind::Course) return loaded;
  if (Outcome saved = SaveWeekMarks(db, kind, code, WeekMarks(), lessonsPerDay); !saved) return saved;
  return loaded;
}

Result<std::vector<NamedCode>> LoadEntityNames(TimetableDb& db, LimitKind kind) {
  return Guarded("读取名单失败：", [&]() -> Result<std::vector<NamedCode>> {
    std::vector<NamedCode> names;
    Cursor c = db.Query(kSelectEntities[static_cast<size_t>(DbValue(kind))]);
    while (c.Next()) names.push_back({c.Text(0), c.Text(1)});
    return names;
  });
}

}  // namespace orv
