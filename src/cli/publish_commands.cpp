// SPDX-License-Identifier: GPL-3.0-or-later
// publish: the static web timetable (a page per class, teacher and special
// course, the overview, the change page, the calendar files and the CSV
// file) written into a folder and recorded as the next publication.
#include <iostream>

#include "cli/commands.h"
#include "core/publish/site_publish.h"
#include "core/settings/settings.h"

namespace orv::cli {

namespace {

struct PublishRequest {
  std::string db;
  std::string out;
  std::string baseUrl;
  std::optional<int> lessons;
};

int RunPublish(const PublishRequest& r, Context& ctx) {
  // Checked before the database is opened, so a typing mistake costs nothing.
  if (const std::string problem = BaseUrlProblem(r.baseUrl); !problem.empty())
    return Fail("--base-url 无效：" + problem);
  auto db = OpenOrReport(r.db);
  if (!db) return kExitFailed;
  PublishOptions options;
  options.schoolName = Settings(ctx.ProgramDir()).GetSchoolName();
  options.week = ctx.LessonsPerDay(r.lessons, *db);
  options.baseUrl = r.baseUrl;
  options.publishedAt = LocalMinuteNow();
  const Result<Publication> published = PublishSite(*db, r.out, options);
  if (!published) return Fail("发布网页课表失败！", published.outcome());
  std::cout << "已发布网页课表（第" << published->version << "次发布，" << published->publishedAt
            << "）: " << (std::filesystem::path(r.out) / "index.html").string() << "\n";
  return kExitDone;
}

}  // namespace

void AddPublishCommands(CLI::App& app, Context& ctx) {
  static PublishRequest request;
  auto* pub = app.add_subcommand("publish", "Publish the timetable as a static web site");
  pub->add_option("DB", request.db, "Database file")->required();
  pub->add_option("--out", request.out,
                  "Folder of the site (created, or replaced when it holds an earlier site)")
      ->required();
  pub->add_option("--base-url", request.baseUrl,
                  "Address the site is served from; puts a QR code on each class page's printout");
  AddLessonsOption(pub, request.lessons);
  pub->callback([&ctx] { ctx.exitCode = RunPublish(request, ctx); });
}

}  // namespace orv::cli
