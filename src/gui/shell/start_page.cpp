// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/shell/start_page.h"

#include <QAction>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <filesystem>

#include "gui/common/gui_support.h"

namespace fs = std::filesystem;

namespace orv::ui {

namespace {

constexpr const char* kStepNames[kWorkStepCount] = {
    "cmdStepBasicData",  "cmdStepPlan",       "cmdStepRestrictions", "cmdStepAnalysis",
    "cmdStepGeneration", "cmdStepAdjustment", "cmdStepPublishing"};

// What each step asks of the user, for the button's tooltip.
constexpr const char* kStepHints[kWorkStepCount] = {
    "录入班级、课程和老师（基础数据菜单）",
    "为每个班级填写教学计划：哪门课、哪位老师、每周几节",
    "可选：班级、课程、老师或教室不上课的时间，以及排课规则",
    "排课前检查：找出使课表无法排满的计划和限制",
    "自动生成课表",
    "在课表上手工调整，直到所有课程都已排入",
    "打印、导出课表，或发布给老师、学生和家长",
};

// Green reads as done on light and dark themes alike.
constexpr const char* kDoneStyle =
    "QPushButton { color: #2e8b3a; font-weight: bold; text-align: left; padding: 4px 10px; }";
constexpr const char* kOpenStyle = "QPushButton { text-align: left; padding: 4px 10px; }";

QString CountsText(const DatabaseTotals& t) {
  return QStringLiteral(
             "班级 %1 个，课程 %2 门，老师 %3 位，教学计划 %4 行\n"
             "计划 %5 节课，已排 %6 节，完成率 %7%")
      .arg(t.classes)
      .arg(t.courses)
      .arg(t.teachers)
      .arg(t.planRows)
      .arg(t.plannedLessons)
      .arg(t.placedLessons)
      .arg(CompletionPercent(t));
}

}  // namespace

StartPage::StartPage(UiContext& ctx, const std::array<QAction*, kWorkStepCount>& stepActions, QWidget* parent)
    : QWidget(parent), ctx_(ctx) {
  setObjectName("frmStart");

  auto* title = new QLabel("开始排课", this);
  QFont big = title->font();
  big.setPointSizeF(big.pointSizeF() * 1.6);
  big.setBold(true);
  title->setFont(big);

  lblDatabase = new QLabel(this);
  lblDatabase->setObjectName("lblDatabase");
  lblDatabase->setTextInteractionFlags(Qt::TextSelectableByMouse);
  lblDatabase->setWordWrap(true);
  lblCounts = new QLabel(this);
  lblCounts->setObjectName("lblCounts");

  auto* steps = new QGroupBox("排课步骤（按顺序完成）", this);
  auto* stepColumn = new QVBoxLayout(steps);
  for (int i = 0; i < kWorkStepCount; ++i) {
    auto* button = new QPushButton(steps);
    button->setObjectName(kStepNames[i]);
    button->setToolTip(kStepHints[i]);
    QAction* action = stepActions[static_cast<size_t>(i)];
    connect(button, &QPushButton::clicked, this, [action] {
      if (action) action->trigger();
    });
    stepColumn->addWidget(button);
    stepButtons_[static_cast<size_t>(i)] = button;
  }
  stepColumn->addStretch();
  cmdStepBasicData = stepButtons_[0];
  cmdStepPlan = stepButtons_[1];
  cmdStepRestrictions = stepButtons_[2];
  cmdStepAnalysis = stepButtons_[3];
  cmdStepGeneration = stepButtons_[4];
  cmdStepAdjustment = stepButtons_[5];
  cmdStepPublishing = stepButtons_[6];

  auto* begin = new QGroupBox("新的开始", this);
  auto* beginColumn = new QVBoxLayout(begin);
  cmdNewDatabase = new QPushButton("新建数据库...", begin);
  cmdNewDatabase->setObjectName("cmdNewDatabase");
  cmdDemoSchool = new QPushButton("打开演示学校...", begin);
  cmdDemoSchool->setObjectName("cmdDemoSchool");
  cmdDemoSchool->setToolTip("在您选择的新文件中建立一所演示学校，看看排好的课表是什么样子");
  cmdImport = new QPushButton("从表格导入...", begin);
  cmdImport->setObjectName("cmdImport");
  cmdImport->setToolTip("从 Excel 表格导入班级、课程、老师和教学计划");
  for (QPushButton* b : {cmdNewDatabase, cmdDemoSchool, cmdImport}) beginColumn->addWidget(b);

  auto* recent = new QGroupBox("最近打开的数据库（双击打开）", this);
  auto* recentColumn = new QVBoxLayout(recent);
  lstRecent = new QListWidget(recent);
  lstRecent->setObjectName("lstRecent");
  recentColumn->addWidget(lstRecent);
  connect(lstRecent, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
    if (item->flags() & Qt::ItemIsEnabled) emit RecentChosen(item->data(Qt::UserRole).toString());
  });

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(24, 18, 24, 18);
  grid->setHorizontalSpacing(24);
  grid->addWidget(title, 0, 0, 1, 2);
  grid->addWidget(lblDatabase, 1, 0, 1, 2);
  grid->addWidget(lblCounts, 2, 0, 1, 2);
  grid->addWidget(steps, 3, 0, 2, 1);
  grid->addWidget(begin, 3, 1);
  grid->addWidget(recent, 4, 1);
  grid->setColumnStretch(0, 1);
  grid->setColumnStretch(1, 1);
  grid->setRowStretch(4, 1);

  Refresh();
}

void StartPage::Refresh() {
  ShowRecent();
  if (!ctx_.state.db) {
    lblDatabase->setText("没有打开数据库：请新建一个数据库，或打开演示学校、最近的数据库。");
    lblCounts->clear();
    ShowSteps(JudgeWorkSteps(StartFacts{}));
    return;
  }
  const fs::path path = fs::absolute(ctx_.state.db->Path());
  lblDatabase->setText(QStringLiteral("数据库：%1\n位置：%2")
                           .arg(Q(path.filename().string()), Q(path.parent_path().string())));
  const Result<StartFacts> facts = ReadStartFacts(*ctx_.state.db, ctx_.state.week.lessonsPerDay);
  if (!facts) {
    // The page is no place for a message box; the step that fails to read
    // says why when the user opens it.
    lblCounts->setText(Q(facts.message()));
    ShowSteps(JudgeWorkSteps(StartFacts{}));
    return;
  }
  lblCounts->setText(CountsText(facts->totals));
  ShowSteps(JudgeWorkSteps(*facts));
}

void StartPage::ShowSteps(const std::vector<WorkStepState>& steps) {
  for (size_t i = 0; i < steps.size() && i < stepButtons_.size(); ++i) {
    const WorkStepState& s = steps[i];
    QString text = QStringLiteral("%1  %2. %3").arg(s.done ? "✓" : "○").arg(i + 1).arg(Q(s.name));
    if (s.optional) text += "（可选）";
    if (!s.done) text += s.optional ? "" : "  — 尚未完成";
    stepButtons_[i]->setText(text);
    stepButtons_[i]->setStyleSheet(s.done ? kDoneStyle : kOpenStyle);
    shownDone_[i] = s.done;
  }
}

void StartPage::ShowRecent() {
  lstRecent->clear();
  for (const std::string& recent : ctx_.state.settings().GetRecentDatabases()) {
    const QString path = Q(recent);
    auto* item = new QListWidgetItem(path, lstRecent);
    item->setData(Qt::UserRole, path);
    // A file that was moved or deleted stays in view, greyed, so the user
    // sees where it was; choosing it does nothing.
    if (!QFileInfo::exists(path)) {
      item->setFlags(item->flags() & ~Qt::ItemIsEnabled);
      item->setText(path + "（文件不存在）");
    }
  }
}

bool StartPage::StepShownDone(WorkStep step) const { return shownDone_[static_cast<size_t>(step)]; }

}  // namespace orv::ui
