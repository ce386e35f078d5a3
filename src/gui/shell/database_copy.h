// A consistent copy of the open timetable database, taken through its own
// connection: the file is held exclusively, so it cannot be copied as a file.
#pragma once

#include <filesystem>
#include <string>

#include "core/database/timetable_db.h"

namespace orv::ui {

// Writes a snapshot of the database to target, replacing an existing file
// only once the snapshot is complete. Refuses the database's own file.
// False on failure with the reason in *why; the database stays open either way.
bool SaveDatabaseCopy(TimetableDb& db, const std::filesystem::path& target, std::string* why = nullptr);

}  // namespace orv::ui
