// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/shell/info_windows.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/shell/home_picture.h"

#ifndef ORVANDEL_VERSION
#error "ORVANDEL_VERSION must come from the build"
#endif

namespace orv::ui {

QString VersionText() { return QString("Ver ") + ORVANDEL_VERSION; }

FrmAbout::FrmAbout(QWidget* parent) : QDialog(parent) {
  setObjectName("frmAbout");
  setWindowTitle("关于");
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);

  Image1 = new QLabel(this);
  Image1->setObjectName("Image1");
  Image1->setPixmap(DrawEmblem(72));
  Image1->setFixedSize(72, 72);

  Label1 = new QLabel("Orvandel排课软件", this);
  Label1->setObjectName("Label1");
  QFont big = Label1->font();
  big.setPointSize(big.pointSize() + 6);
  big.setBold(true);
  Label1->setFont(big);

  lblVersion = new QLabel(VersionText(), this);
  lblVersion->setObjectName("lblVersion");

  auto* note = new QLabel("中小学课程表编排系统", this);

  cmdOK = new QPushButton("确定", this);
  cmdOK->setObjectName("cmdOK");
  cmdOK->setDefault(true);
  connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

  auto* text = new QVBoxLayout;
  text->addWidget(Label1);
  text->addWidget(lblVersion);
  text->addWidget(note);
  text->addStretch();
  auto* top = new QHBoxLayout;
  top->addWidget(Image1, 0, Qt::AlignTop);
  top->addSpacing(14);
  top->addLayout(text);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch();
  bottom->addWidget(cmdOK);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(20, 20, 20, 14);
  layout->addLayout(top);
  layout->addSpacing(12);
  layout->addLayout(bottom);
}

QString SimpleManualText() {
  return QStringLiteral(
      "简要使用步骤：（详细操作请参考《使用手册》）\n"
      "\n"
      "一、输入基础数据（“基础数据”菜单）\n"
      "    班级名单、课程名单、老师名单、公共教室名单，然后输入各班教学计划。\n"
      "\n"
      "二、设置上课时间限制（“自动排课”→“上课时间限制条件”）\n"
      "    班级、课程（专用教室课程也在这里勾选）、老师、教室。\n"
      "\n"
      "三、生成课表（“自动排课”菜单）\n"
      "    1. 预先安排固定课程：例如星期五下午的班会课，自动生成课表时保留不动。\n"
      "    2. 排课前检查：先改正检查出的错误。\n"
      "    3. 自动生成课表：会先删除以前排好的课表（固定课程除外）。\n"
      "    4. 补排未排课程：排入没能排入的课，并把课移出班级和老师“不排”的时间。\n"
      "\n"
      "四、调整和输出（“课表操作”菜单）\n"
      "    1. 手工调整课表：右键单击删除一节课；左键单击一节课，可以与它交换的课以黄色显示，\n"
      "       在黄色的课上单击右键即可交换；未排入的课，先选中它，再用左键单击青色的格子即可排入。\n"
      "    2. 打印课表，或导出课表到Excel。\n"
      "\n"
      "新学年：先“文件”→“数据库另存为...”保存一份，再“课表学年升级”。");
}

FrmSimpleManual::FrmSimpleManual(QWidget* parent) : QDialog(parent) {
  setObjectName("frmSimpleManual");
  setWindowTitle("简要使用说明");
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);

  Label1 = new QLabel(SimpleManualText(), this);
  Label1->setObjectName("Label1");
  Label1->setTextInteractionFlags(Qt::TextSelectableByMouse);

  cmdOK = new QPushButton("确定", this);
  cmdOK->setObjectName("cmdOK");
  cmdOK->setDefault(true);
  connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

  auto* bottom = new QHBoxLayout;
  bottom->addStretch();
  bottom->addWidget(cmdOK);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(24, 20, 24, 14);
  layout->addWidget(Label1);
  layout->addSpacing(10);
  layout->addLayout(bottom);
}

}  // namespace orv::ui
