// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/publish/site_place.h"

#include "core/database/guard.h"

namespace orv {

namespace {

constexpr const char* kFolder = "SiteFolder";
constexpr const char* kBaseUrl = "SiteBaseUrl";

}  // namespace

Result<SitePlace> LoadSitePlace(TimetableDb& db) {
  return Guarded("读取网页课表的发布位置失败：", [&]() -> Result<SitePlace> {
    constexpr const char* select = "select Value from SchoolSettingtb where Name=?";
    return SitePlace{db.FirstText(select, kFolder).value_or(""), db.FirstText(select, kBaseUrl).value_or("")};
  });
}

Outcome SaveSitePlace(TimetableDb& db, const SitePlace& place) {
  return Guarded("保存网页课表的发布位置失败：", [&]() -> Outcome {
    Transaction write(db);
    constexpr const char* upsert = "insert or replace into SchoolSettingtb (Name,Value) values (?,?)";
    db.Execute(upsert, kFolder, place.folder);
    db.Execute(upsert, kBaseUrl, place.baseUrl);
    write.Commit();
    return Outcome::Ok();
  });
}

}  // namespace orv
