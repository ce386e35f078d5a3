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
      "一、输入基础数据\n"
      "    1. 加入班级名单\n"
      "    2. 加入课程名单\n"
      "    3. 加入老师名单\n"
      "    4. 调整上课时间限制\n"
      "    5. 输入各班级教学计划\n"
      "\n"
      "二、生成课表\n"
      "    1. 预先安排固定课程：例如星期五下午的班会课，自动生成课表时保留不动。\n"
      "    2. 自动生成课表：自动排课会先删除以前排好的课表。\n"
      "    3. 手工调整课表：右键单击删除一节课；左键单击一节课，可以与它交换的课以黄色显示，\n"
      "       在黄色的课上单击右键即可交换；未排入的课，先选中它，再用左键单击青色的格子即可排入。\n"
      "    4. 打印课表");
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
