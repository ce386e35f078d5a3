// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/output/publish_window.h"

#include <QDesktopServices>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <optional>

#include "core/publish/publications.h"
#include "core/publish/site_place.h"
#include "core/publish/site_publish.h"
#include "gui/common/editor_parts.h"
#include "gui/common/gui_support.h"
#include "gui/common/ui_context.h"

namespace fs = std::filesystem;

namespace orv::ui {

namespace {

const QString kCaption = QStringLiteral("发布网页课表");

fs::path IndexOf(const QString& folder) { return fs::path(S(folder)) / "index.html"; }

}  // namespace

FrmPublish::FrmPublish(UiContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
  setObjectName("frmPublish");
  setWindowTitle(kCaption);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);

  lblFolder = new QLabel("发布到文件夹", this);
  lblFolder->setObjectName("lblFolder");
  txtFolder = new QLineEdit(this);
  txtFolder->setObjectName("txtFolder");
  txtFolder->setMinimumWidth(360);
  cmdBrowse = MakeCommandButton(this, "cmdBrowse", "浏览…");
  lblBaseUrl = new QLabel("网站地址（可不填）", this);
  lblBaseUrl->setObjectName("lblBaseUrl");
  txtBaseUrl = new QLineEdit(this);
  txtBaseUrl->setObjectName("txtBaseUrl");
  txtBaseUrl->setPlaceholderText("https://www.example.edu.cn/kebiao/");
  lblBaseUrlHint = new QLabel(
      "填写网页课表放在学校网站上的地址后，每个班级课表的打印页带有本班网址的二维码，可贴在教室门口。", this);
  lblBaseUrlHint->setObjectName("lblBaseUrlHint");
  lblBaseUrlHint->setWordWrap(true);
  lblStatus = new QLabel(this);
  lblStatus->setObjectName("lblStatus");
  lblStatus->setWordWrap(true);
  lblStatus->setFrameShape(QFrame::StyledPanel);
  lblStatus->setMinimumHeight(48);
  cmdPublish = MakeCommandButton(this, "cmdPublish", "发布");
  cmdPublish->setDefault(true);
  cmdOpen = MakeCommandButton(this, "cmdOpen", "在浏览器中打开");
  cmdOK = MakeCommandButton(this, "cmdOK", "退出(&Q)");

  auto* grid = new QGridLayout;
  grid->addWidget(lblFolder, 0, 0);
  grid->addWidget(txtFolder, 0, 1);
  grid->addWidget(cmdBrowse, 0, 2);
  grid->addWidget(lblBaseUrl, 1, 0);
  grid->addWidget(txtBaseUrl, 1, 1, 1, 2);
  grid->addWidget(lblBaseUrlHint, 2, 1, 1, 2);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cmdPublish);
  buttons->addWidget(cmdOpen);
  buttons->addStretch();
  buttons->addWidget(cmdOK);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(lblStatus);
  layout->addLayout(buttons);

  // The school's place from the last publish; the first time, a folder
  // beside the database.
  SitePlace place;
  if (ctx_.state.db) {
    Result<SitePlace> stored = LoadSitePlace(*ctx_.state.db);
    if (stored) place = *stored;
    if (place.folder.empty()) place.folder = (ctx_.state.db->Path().parent_path() / "site").string();
  }
  txtFolder->setText(Q(place.folder));
  txtBaseUrl->setText(Q(place.baseUrl));
  ShowLastPublication();
  UpdateOpenButton();

  connect(cmdBrowse, &QPushButton::clicked, this, &FrmPublish::Browse);
  connect(cmdPublish, &QPushButton::clicked, this, &FrmPublish::Publish);
  connect(cmdOpen, &QPushButton::clicked, this, &FrmPublish::OpenInBrowser);
  connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(txtFolder, &QLineEdit::textChanged, this, &FrmPublish::UpdateOpenButton);
}

void FrmPublish::Say(MessageIcon icon, const QString& text) {
  ctx_.prompter.Message(this, icon, kCaption, text);
}

void FrmPublish::ShowLastPublication() {
  if (!ctx_.state.db) return;
  const Result<std::vector<Publication>> all = ListPublications(*ctx_.state.db);
  if (!all || all->empty()) {
    lblStatus->setText("这个课表还没有发布过。");
    return;
  }
  lblStatus->setText(
      QString("上次发布：第%1次发布，%2。").arg(all->back().version).arg(Q(all->back().publishedAt)));
}

void FrmPublish::UpdateOpenButton() {
  std::error_code ec;
  cmdOpen->setEnabled(fs::is_regular_file(IndexOf(txtFolder->text().trimmed()), ec));
}

void FrmPublish::Browse() {
  const QString chosen = ctx_.prompter.FolderName(this, "选择发布网页课表的文件夹", txtFolder->text());
  if (!chosen.isEmpty()) txtFolder->setText(chosen);
}

void FrmPublish::Publish() {
  if (!ctx_.state.db) return;
  const QString folder = txtFolder->text().trimmed();
  const std::string baseUrl = S(txtBaseUrl->text().trimmed());
  MarkInput(txtFolder, folder.isEmpty());
  if (folder.isEmpty()) {
    txtFolder->setFocus();
    return Say(MessageIcon::Warning, "请选择发布网页课表的文件夹。");
  }
  const std::string problem = BaseUrlProblem(baseUrl);
  MarkInput(txtBaseUrl, !problem.empty());
  if (!problem.empty()) {
    txtBaseUrl->setFocus();
    return Say(MessageIcon::Warning, "网站地址无效：" + Q(problem));
  }
  PublishOptions options;
  options.schoolName = ctx_.state.settings().GetSchoolName();
  options.week = ctx_.state.week;
  options.baseUrl = baseUrl;
  options.publishedAt = LocalMinuteNow();
  std::optional<WaitCursor> wait(std::in_place);
  const Result<Publication> published = PublishSite(*ctx_.state.db, S(folder), options);
  const Outcome remembered = published ? SaveSitePlace(*ctx_.state.db, {S(folder), baseUrl}) : Outcome::Ok();
  wait.reset();
  UpdateOpenButton();
  if (!published) {
    lblStatus->setText("发布失败，原来的网页课表没有改变。");
    return Say(MessageIcon::Critical, FailureText("发布网页课表失败！", published.outcome()));
  }
  lblStatus->setText(QString("已完成第%1次发布（%2）：%3")
                         .arg(published->version)
                         .arg(Q(published->publishedAt))
                         .arg(Q(IndexOf(folder).string())));
  if (!remembered)
    return Say(MessageIcon::Warning, FailureText("网页课表已发布，但没有记住发布位置。", remembered));
  Say(MessageIcon::Information, QString("网页课表发布成功！（第%1次发布）").arg(published->version));
}

void FrmPublish::OpenInBrowser() {
  const fs::path index = IndexOf(txtFolder->text().trimmed());
  std::error_code ec;
  if (!fs::is_regular_file(index, ec))
    return Say(MessageIcon::Warning, "这个文件夹里还没有网页课表，请先发布。");
  QDesktopServices::openUrl(QUrl::fromLocalFile(Q(fs::absolute(index).string())));
}

}  // namespace orv::ui
