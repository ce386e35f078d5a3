// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/scheduling/confirm_window.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "gui/common/ui_context.h"

namespace orv::ui {

FrmConfirm::FrmConfirm(QWidget* parent) : QDialog(parent) {
  setObjectName("frmConfirm");
  setWindowTitle("请确认");
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);

  lblTitle = new QLabel(this);
  lblTitle->setObjectName("lblTitle");
  lblTitle->setStyleSheet("color: rgb(192,0,0);");
  lblTitle->setMinimumHeight(66);
  lblTitle->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

  Label1 = new QLabel("请在右边框中输入OK，然后按<确认>按钮", this);
  Label1->setObjectName("Label1");

  Text1 = new QLineEdit(this);
  Text1->setObjectName("Text1");
  Text1->setFixedWidth(80);

  cmdOK = new QPushButton("确认(&Y)", this);
  cmdOK->setObjectName("cmdOK");
  cmdOK->setDefault(true);
  cmdCancel = new QPushButton("取消(&C)", this);
  cmdCancel->setObjectName("cmdCancel");
  cmdCancel->setAutoDefault(false);

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(16, 14, 16, 14);
  grid->setVerticalSpacing(14);
  grid->addWidget(lblTitle, 0, 0, 1, 2);
  grid->addWidget(Label1, 1, 0);
  grid->addWidget(Text1, 1, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cmdOK);
  buttons->addWidget(cmdCancel);
  buttons->addStretch();
  grid->addLayout(buttons, 2, 0, 1, 2);

  connect(cmdOK, &QPushButton::clicked, this, &FrmConfirm::OnOk);
  connect(cmdCancel, &QPushButton::clicked, this, &FrmConfirm::OnCancel);
  Text1->setFocus();
}

void FrmConfirm::SetWarning(const QStringList& lines) { lblTitle->setText(lines.join('\n')); }

void FrmConfirm::OnOk() {
  if (Text1->text().trimmed().toUpper() == "OK") {
    confirmed_ = true;
    accept();
    return;
  }
  Text1->selectAll();
  Text1->setFocus();
}

void FrmConfirm::OnCancel() {
  confirmed_ = false;
  reject();
}

QStringList ClearTimetableWarning(const QString& firstLine) {
  return {firstLine, "您最好先保存现在的课表数据。", "菜单“文件”->“数据库另存为”"};
}

bool AskTypedConfirmation(UiContext& ctx, QWidget* parent, const QString& firstLine) {
  FrmConfirm confirm(parent);
  confirm.SetWarning(ClearTimetableWarning(firstLine));
  confirm.Text1->clear();
  ctx.prompter.RunModal(confirm);
  // Closing the window by its close box or Esc counts as cancelling.
  return confirm.Confirmed() && confirm.result() == QDialog::Accepted;
}

}  // namespace orv::ui
