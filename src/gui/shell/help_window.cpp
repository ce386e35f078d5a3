// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/shell/help_window.h"

#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSplitter>
#include <QTextDocument>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <set>

#include "gui/shell/shell_support.h"

namespace fs = std::filesystem;

namespace orv::ui {

namespace {

constexpr int kAnchorRole = Qt::UserRole;
// The widest picture, a little narrower than the page in a window of its
// first size.
constexpr int kPictureWidth = 560;

}  // namespace

const std::vector<std::pair<QString, QString>>& WindowChapters() {
  // The manual's ids are its promise to this table: the help test checks
  // that each one is still there.
  static const std::vector<std::pair<QString, QString>> chapters = {
      {"frmMain", "main-window"},
      {"frmSimpleManual", "steps"},
      {"frmAbout", "main-window"},
      {"frmImport", "import"},
      {"frmClassInput", "class-list"},
      {"frmCourseInput", "course-list"},
      {"frmTeacherInput", "teacher-list"},
      {"frmClassRoomInput", "classroom-list"},
      {"frmClassPlanInput", "class-plan"},
      {"frmClassLimitInput", "class-limit"},
      {"frmCourseLimitInput", "course-limit"},
      {"frmTeacherLimitInput", "teacher-limit"},
      {"frmClassRoomLimitInput", "classroom-limit"},
      {"frmSchoolRules", "school-rules"},
      {"frmSetLesson", "fixed-lessons"},
      {"frmAnalysis", "analysis"},
      {"frmConfirm", "auto-build"},
      {"frmAutoBuild", "auto-build"},
      {"frmCompleteBuild", "complete-build"},
      {"frmManualSetLesson", "manual-adjust"},
      {"frmQuality", "quality"},
      {"frmPrint", "print"},
      {"frmExport", "export"},
      {"frmCalendar", "calendar"},
      {"frmChanges", "changes"},
      {"frmPublish", "publish"},
      {"frmSetLessonOfDay", "lessons-per-day"},
  };
  return chapters;
}

QString ChapterOfWindow(const QString& windowName) {
  for (const auto& [window, anchor] : WindowChapters())
    if (window == windowName) return anchor;
  return {};
}

ManualText ReadManualText(const QString& html) {
  static const QRegularExpression heading(R"re(<h([23])((?: [^>]*)?)>(.*?)</h\1>)re",
                                          QRegularExpression::DotMatchesEverythingOption);
  static const QRegularExpression idAttribute(R"re(\bid="([^"]*)")re");
  static const QRegularExpression anyId(R"re(\bid="([^"]*)")re");
  static const QRegularExpression tag("<[^>]*>");

  std::set<QString> used;
  for (auto it = anyId.globalMatch(html); it.hasNext();) used.insert(it.next().captured(1));

  ManualText text;
  QString chapter = QStringLiteral("top");
  int section = 0;
  qsizetype copied = 0;
  for (auto it = heading.globalMatch(html); it.hasNext();) {
    const QRegularExpressionMatch m = it.next();
    const int level = m.captured(1).toInt();
    QString anchor = idAttribute.match(m.captured(2)).captured(1);
    if (anchor.isEmpty()) {
      // Named after its chapter, so an address says where it leads.
      do anchor = chapter + "-" + QString::number(++section);
      while (used.count(anchor));
      used.insert(anchor);
      text.html += html.mid(copied, m.capturedStart(2) - copied) + " id=\"" + anchor + "\"";
      copied = m.capturedStart(2);
    }
    if (level == 2) {
      chapter = anchor;
      section = 0;
    }
    QString title = m.captured(3);
    title.remove(tag);
    text.headings.push_back({level, anchor, title.simplified()});
  }
  text.html += html.mid(copied);
  // A picture between paragraphs gets a paragraph of its own: the browser
  // would otherwise set it in the line of the text before it.
  static const QRegularExpression looseImage(R"re((</p>\s*)(<img [^>]*>))re");
  text.html.replace(looseImage, "\\1<p>\\2</p>");
  return text;
}

ManualBrowser::ManualBrowser(QUrl manualUrl, QString html, QWidget* parent)
    : QTextBrowser(parent), manualUrl_(std::move(manualUrl)), html_(std::move(html)) {
  setObjectName("txtManual");
}

QVariant ManualBrowser::loadResource(int type, const QUrl& name) {
  if (type == QTextDocument::HtmlResource && name.adjusted(QUrl::RemoveFragment) == manualUrl_) return html_;
  if (type == QTextDocument::ImageResource) {
    // The browser draws pictures at their own size, and the window pictures
    // are wider than the page here: shrunk, so no picture needs scrolling.
    const QVariant data = QTextBrowser::loadResource(type, name);
    QImage picture = data.value<QImage>();
    if (picture.isNull()) picture = QImage::fromData(data.toByteArray());
    if (picture.width() > kPictureWidth)
      return picture.scaledToWidth(kPictureWidth, Qt::SmoothTransformation);
    return picture.isNull() ? data : QVariant(picture);
  }
  return QTextBrowser::loadResource(type, name);
}

FrmHelp::FrmHelp(const fs::path& manual, QWidget* parent)
    : QDialog(parent), manualUrl_(QUrl::fromLocalFile(Q(fs::absolute(manual).string()))) {
  setObjectName("frmHelp");
  setWindowTitle(QStringLiteral("使用手册"));
  setWindowFlag(Qt::WindowMaximizeButtonHint);
  setSizeGripEnabled(true);

  QFile file(Q(manual.string()));
  const QString raw = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
  const ManualText text = ReadManualText(raw);

  lstContents = new QTreeWidget(this);
  lstContents->setObjectName("lstContents");
  lstContents->setHeaderHidden(true);
  lstContents->setColumnCount(1);
  QTreeWidgetItem* chapter = nullptr;
  for (const ManualHeading& h : text.headings) {
    auto* item = h.level == 3 && chapter ? new QTreeWidgetItem(chapter) : new QTreeWidgetItem(lstContents);
    item->setText(0, h.title);
    item->setData(0, kAnchorRole, h.anchor);
    item->setToolTip(0, h.title);
    if (h.level == 2) chapter = item;
  }

  txtManual = new ManualBrowser(manualUrl_, text.html, this);
  // Web addresses go to the desktop; the manual's own links stay here.
  txtManual->setOpenExternalLinks(true);

  cmdBack = new QPushButton(QStringLiteral("后退(&B)"), this);
  cmdBack->setObjectName("cmdBack");
  cmdForward = new QPushButton(QStringLiteral("前进(&F)"), this);
  cmdForward->setObjectName("cmdForward");
  cmdHome = new QPushButton(QStringLiteral("目录(&H)"), this);
  cmdHome->setObjectName("cmdHome");
  for (QPushButton* b : {cmdBack, cmdForward, cmdHome}) b->setAutoDefault(false);
  cmdBack->setEnabled(false);
  cmdForward->setEnabled(false);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cmdBack);
  buttons->addWidget(cmdForward);
  buttons->addWidget(cmdHome);
  buttons->addStretch(1);
  auto* splitter = new QSplitter(this);
  splitter->addWidget(lstContents);
  splitter->addWidget(txtManual);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({240, 700});
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(buttons);
  layout->addWidget(splitter, 1);
  resize(960, 660);

  connect(cmdBack, &QPushButton::clicked, txtManual, &QTextBrowser::backward);
  connect(cmdForward, &QPushButton::clicked, txtManual, &QTextBrowser::forward);
  connect(cmdHome, &QPushButton::clicked, this, [this] { ShowAnchor({}); });
  connect(txtManual, &QTextBrowser::backwardAvailable, cmdBack, &QPushButton::setEnabled);
  connect(txtManual, &QTextBrowser::forwardAvailable, cmdForward, &QPushButton::setEnabled);
  connect(txtManual, &QTextBrowser::sourceChanged, this,
          [this](const QUrl& url) { SelectContentsItem(url.fragment()); });
  connect(lstContents, &QTreeWidget::itemActivated, this,
          [this](QTreeWidgetItem* item) { ShowAnchor(item->data(0, kAnchorRole).toString()); });
  connect(lstContents, &QTreeWidget::itemClicked, this,
          [this](QTreeWidgetItem* item) { ShowAnchor(item->data(0, kAnchorRole).toString()); });
}

void FrmHelp::ShowAnchor(const QString& anchor) {
  QUrl url = manualUrl_;
  if (!anchor.isEmpty()) url.setFragment(anchor);
  if (url == txtManual->source()) {
    // The same address again: back where it leads, as a link would do.
    anchor.isEmpty() ? txtManual->verticalScrollBar()->setValue(0) : txtManual->scrollToAnchor(anchor);
    return;
  }
  txtManual->setSource(url);
  if (anchor.isEmpty()) txtManual->verticalScrollBar()->setValue(0);
}

QString FrmHelp::CurrentAnchor() const { return txtManual->source().fragment(); }

void FrmHelp::SelectContentsItem(const QString& anchor) {
  for (QTreeWidgetItemIterator it(lstContents); *it; ++it)
    if ((*it)->data(0, kAnchorRole).toString() == anchor) {
      (*it)->setExpanded(true);  // a chapter shows its sections
      lstContents->setCurrentItem(*it);
      lstContents->scrollToItem(*it);
      return;
    }
  lstContents->setCurrentItem(nullptr);
}

void OpenHelp(UiContext& ctx, QWidget* from, const QString& anchor) {
  QWidget* window = from ? from->window() : nullptr;
  const auto manual = FindManual(ctx.state.programDir);
  if (!manual) {
    ctx.prompter.Message(window, MessageIcon::Warning, window ? window->windowTitle() : Q(ctx.state.appTitle),
                         "找不到使用手册文件：" + Q((ctx.state.programDir / kManualFile).string()));
    return;
  }
  // A child of the window F1 was pressed in, so a modal window does not
  // block its own help; one help window per window.
  auto* help = qobject_cast<FrmHelp*>(window);
  if (help == nullptr && window) help = window->findChild<FrmHelp*>("frmHelp", Qt::FindDirectChildrenOnly);
  if (help == nullptr) {
    help = new FrmHelp(*manual, window);
    help->setAttribute(Qt::WA_DeleteOnClose);
  }
  help->ShowAnchor(anchor);
  help->show();
  help->raise();
  help->activateWindow();
}

}  // namespace orv::ui
