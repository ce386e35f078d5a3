// SPDX-License-Identifier: GPL-3.0-or-later
// A consistent copy of the open timetable database, taken through its own
// connection: the file is held exclusively, so it cannot be copied as a file.
#pragma once

#include <filesystem>

#include "core/database/timetable_db.h"
#include "core/outcome.h"

namespace orv {

// Writes a snapshot of the database to target, replacing an existing file
// only once the snapshot is complete. Refuses the database's own file. The
// database stays open and unchanged either way.
Outcome SaveDatabaseCopy(TimetableDb& db, const std::filesystem::path& target);

}  // namespace orv
