// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/database/schema.h"

namespace orv {

const std::array<TableShape, 8> kTables = {{
    {"Classtb",
     "CREATE TABLE Classtb (Code TEXT PRIMARY KEY, Name TEXT, FullName TEXT, ShortName TEXT)",
     {"Code", "Name", "FullName", "ShortName"}},
    {"Coursetb",
     "CREATE TABLE Coursetb (Code TEXT PRIMARY KEY, Name TEXT, FullName TEXT, ShortName TEXT)",
     {"Code", "Name", "FullName", "ShortName"}},
    {"Teachertb",
     "CREATE TABLE Teachertb (Code TEXT PRIMARY KEY, Name TEXT, FullName TEXT, ShortName TEXT)",
     {"Code", "Name", "FullName", "ShortName"}},
    {"ClassRoomtb",
     "CREATE TABLE ClassRoomtb (Code TEXT PRIMARY KEY, Name TEXT, FullName TEXT, ShortName TEXT)",
     {"Code", "Name", "FullName", "ShortName"}},
    {"ClassPlantb",
     "CREATE TABLE ClassPlantb (ClassCode TEXT, CourseCode TEXT, TeacherCode TEXT, Count INTEGER, "
     "BuildCount INTEGER DEFAULT 0, IsAutoBuild INTEGER DEFAULT 0)",
     {"ClassCode", "CourseCode", "TeacherCode", "Count", "BuildCount", "IsAutoBuild"}},
    {"LessonListtb",
     "CREATE TABLE LessonListtb (ClassCode TEXT, Day INTEGER, LessonNo INTEGER, CourseCode TEXT, "
     "TeacherCode TEXT, SetFlag INTEGER)",
     {"ClassCode", "Day", "LessonNo", "CourseCode", "TeacherCode", "SetFlag"}},
    {"Limittb",
     "CREATE TABLE Limittb (Kind INTEGER, Code TEXT, Day INTEGER, LessonNo INTEGER, Attr INTEGER)",
     {"Kind", "Code", "Day", "LessonNo", "Attr"}},
    {"CourseAttrtb", "CREATE TABLE CourseAttrtb (CourseCode TEXT)", {"CourseCode"}},
}};

namespace {

constexpr std::string_view kVersion2[] = {
    "CREATE TABLE IF NOT EXISTS SchoolSettingtb (Name TEXT PRIMARY KEY, Value TEXT)",
};

constexpr std::string_view kVersion3[] = {
    "CREATE TABLE IF NOT EXISTS SchoolRuletb (RuleKey TEXT NOT NULL, Scope INTEGER NOT NULL, "
    "Code TEXT NOT NULL DEFAULT '', CourseCode TEXT NOT NULL DEFAULT '', Value INTEGER NOT NULL, "
    "PRIMARY KEY (RuleKey, Scope, Code, CourseCode))",
};

// The term calendar (first day, weeks, bell times, holidays and make-up
// days) and what each publication handed out, so that the next one can tell
// people what changed for them. A published lesson keeps its names: the
// notice must still name a class or teacher deleted since.
constexpr std::string_view kVersion4[] = {
    "CREATE TABLE IF NOT EXISTS Termtb (Id INTEGER PRIMARY KEY CHECK (Id = 1), StartDate TEXT NOT NULL, "
    "Weeks INTEGER NOT NULL)",
    "CREATE TABLE IF NOT EXISTS BellTimetb (LessonNo INTEGER PRIMARY KEY, StartTime TEXT NOT NULL, "
    "EndTime TEXT NOT NULL)",
    "CREATE TABLE IF NOT EXISTS CalendarDaytb (Date TEXT PRIMARY KEY, Kind INTEGER NOT NULL, "
    "Weekday INTEGER NOT NULL DEFAULT 0)",
    "CREATE TABLE IF NOT EXISTS Publicationtb (Version INTEGER PRIMARY KEY, PublishedAt TEXT NOT NULL, "
    "LessonsPerDay INTEGER NOT NULL)",
    "CREATE TABLE IF NOT EXISTS PublishedLessontb (Version INTEGER NOT NULL, ClassCode TEXT NOT NULL, "
    "ClassName TEXT NOT NULL, Day INTEGER NOT NULL, LessonNo INTEGER NOT NULL, CourseCode TEXT NOT NULL, "
    "CourseName TEXT NOT NULL, TeacherCode TEXT NOT NULL, TeacherName TEXT NOT NULL, SetFlag INTEGER NOT "
    "NULL)",
};

}  // namespace

const std::array<Migration, 3> kMigrations = {{
    {2, kVersion2},
    {3, kVersion3},
    {4, kVersion4},
}};

const std::array<std::string_view, 7> kIndexSql = {
    "CREATE INDEX IF NOT EXISTS ix_lesson_class_slot ON LessonListtb (ClassCode, Day, LessonNo)",
    "CREATE INDEX IF NOT EXISTS ix_lesson_teacher_slot ON LessonListtb (TeacherCode, Day, LessonNo)",
    "CREATE INDEX IF NOT EXISTS ix_lesson_course_slot ON LessonListtb (CourseCode, Day, LessonNo)",
    "CREATE INDEX IF NOT EXISTS ix_plan_class_course ON ClassPlantb (ClassCode, CourseCode)",
    "CREATE INDEX IF NOT EXISTS ix_plan_teacher ON ClassPlantb (TeacherCode, IsAutoBuild)",
    "CREATE INDEX IF NOT EXISTS ix_limit_cell ON Limittb (Kind, Code, Day, LessonNo)",
    "CREATE INDEX IF NOT EXISTS ix_course_attr ON CourseAttrtb (CourseCode)",
};

}  // namespace orv
