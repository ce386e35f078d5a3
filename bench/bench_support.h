// What the benchmark programs share: a demo school in a new database file.
#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "core/database/demo_school.h"
#include "core/database/timetable_db.h"

namespace orv::bench {

// A new database at `file` holding the demo school; nullptr, with the
// reason on stderr, when it cannot be made.
inline std::unique_ptr<TimetableDb> CreateDemoDatabase(const std::filesystem::path& file,
                                                       const DemoOptions& options) {
  std::string why;
  if (!TimetableDb::Create(file, &why)) {
    std::fprintf(stderr, "create %s: %s\n", file.c_str(), why.c_str());
    return nullptr;
  }
  auto db = TimetableDb::Open(file, &why);
  if (!db || !FillDemoSchool(*db, options, &why)) {
    std::fprintf(stderr, "demo school: %s\n", why.c_str());
    return nullptr;
  }
  return db;
}

}  // namespace orv::bench
