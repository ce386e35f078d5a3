// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/overview/work_steps.h"

#include <algorithm>

#include "core/database/guard.h"
#include "core/domain/marks.h"
#include "core/publish/publications.h"
#include "core/scheduling/school_analysis.h"

namespace orv {

Result<StartFacts> ReadStartFacts(TimetableDb& db, int lessonsPerDay) {
  Result<DatabaseTotals> totals = ReadDatabaseTotals(db);
  if (!totals) return totals.outcome();
  StartFacts facts;
  facts.totals = *totals;
  Outcome counted = Guarded("统计数据失败：", [&]() -> Outcome {
    facts.classesWithoutPlan = db.FirstInt(
                                     "select count(*) from Classtb C where not exists"
                                     " (select 1 from ClassPlantb P where P.ClassCode=C.Code)")
                                   .value_or(0);
    facts.statedRules = db.FirstInt("select count(*) from SchoolRuletb").value_or(0);
    facts.markedCells =
        db.FirstInt("select count(*) from Limittb where Attr<>?", DbValue(LimitMark::Normal)).value_or(0);
    facts.placedLessons =
        db.FirstInt("select count(*) from LessonListtb where SetFlag<>?", DbValue(LessonOrigin::Fixed))
            .value_or(0);
    return Outcome::Ok();
  });
  if (!counted) return counted;
  // An empty school has nothing to analyse; its missing data is the
  // first step's business, not a finding of the check.
  if (facts.totals.planRows > 0) {
    Result<std::vector<AnalysisFinding>> findings = AnalyzeSchool(db, lessonsPerDay);
    if (!findings) return findings.outcome();
    facts.blockingFindings = CountAnalysis(*findings, AnalysisSeverity::kBlocking);
  }
  Result<std::vector<Publication>> publications = ListPublications(db);
  if (!publications) return publications.outcome();
  facts.publications = static_cast<long long>(publications->size());
  return facts;
}

int CompletionPercent(const DatabaseTotals& totals) {
  if (totals.plannedLessons <= 0) return 0;
  const long long placed = std::min(totals.placedLessons, totals.plannedLessons);
  return static_cast<int>(placed * 100 / totals.plannedLessons);
}

std::vector<std::string> MissingForGeneration(const DatabaseTotals& totals) {
  std::vector<std::string> missing;
  if (totals.classes == 0) missing.emplace_back("没有班级");
  if (totals.courses == 0) missing.emplace_back("没有课程");
  if (totals.teachers == 0) missing.emplace_back("没有老师");
  if (totals.planRows == 0 || totals.plannedLessons == 0) missing.emplace_back("教学计划为空");
  return missing;
}

std::vector<WorkStepState> JudgeWorkSteps(const StartFacts& f) {
  const DatabaseTotals& t = f.totals;
  const bool basic = t.classes > 0 && t.courses > 0 && t.teachers > 0;
  const bool plan = basic && t.planRows > 0 && f.classesWithoutPlan == 0;
  // The check has only something to say once there is a plan to check.
  const bool analysed = plan && f.blockingFindings == 0;
  const bool placed = plan && f.placedLessons > 0;
  const bool complete = placed && CompletionPercent(t) == 100;
  return {
      {WorkStep::kBasicData, "基础数据", basic, false},
      {WorkStep::kPlan, "教学计划", plan, false},
      {WorkStep::kRestrictions, "上课时间限制", f.markedCells > 0 || f.statedRules > 0, true},
      {WorkStep::kAnalysis, "排课前检查", analysed, false},
      {WorkStep::kGeneration, "自动排课", placed, false},
      {WorkStep::kAdjustment, "手工调整", complete, false},
      {WorkStep::kPublishing, "打印/导出/发布", f.publications > 0, false},
  };
}

}  // namespace orv
