// SPDX-License-Identifier: GPL-3.0-or-later
// What the benchmark programs share: a demo school in a new database file.
#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "core/database/timetable_db.h"
#include "core/demo/demo_school.h"

namespace orv::bench {

// A new database at `file` holding the demo school; nullptr, with the
// reason on stderr, when it cannot be made.
inline std::unique_ptr<TimetableDb> CreateDemoDatabase(const std::filesystem::path& file,
                                                       const DemoOptions& options) {
  if (Outcome created = TimetableDb::Create(file); !created) {
    std::fprintf(stderr, "create %s: %s\n", file.c_str(), created.message().c_str());
    return nullptr;
  }
  auto opened = TimetableDb::Open(file);
  Outcome filled = opened ? FillDemoSchool(**opened, options) : opened.outcome();
  if (!filled) {
    std::fprintf(stderr, "demo school: %s\n", filled.message().c_str());
    return nullptr;
  }
  return std::move(opened).value();
}

}  // namespace orv::bench
