# SPDX-License-Identifier: GPL-3.0-or-later
cmake_minimum_required(VERSION 3.20)
# Which folder of src/core may include which. A folder sees only the folders
# below it, so no two folders ever include each other:
#
#   domain, files              the week, the marks; writing a file safely
#   settings                   kbxt.ini                 -> files, domain
#   database                   the tables               -> files, domain
#   model                      the school in memory     -> database, files, domain
#   rules                      every rule, once         -> model, database, files, domain
#   scheduling                 generation and checks    -> rules, model, database, files, domain
#   editing, output, demo      manual edits, printouts and workbooks, the demo school (with its term);
#                              output sees calendar for the term in the overview's title
#                                                       -> (demo: calendar,) scheduling, rules, model, database, files, domain
#   exchange                   the workbook of basic data  -> model, database, files, domain
#   session                    starting up, the program folder
#                                                       -> settings, database, files, domain
#   calendar                   the term: dates, bell times, holidays, make-up days
#                                                       -> database, files, domain
#   publish                    the web timetable, calendar files, CSV, publications and change notices
#                                                       -> calendar, output, scheduling, rules, model,
#                                                          database, files, domain
#   overview                   where the school stands: the start page's counts and steps
#                                                       -> publish and all it sees
#
# core/outcome.h is seen by every folder. Run with -DCORE_DIR=<src/core>.
set(allowed_domain "")
set(allowed_files "")
set(allowed_settings files domain)
set(allowed_database files domain)
set(allowed_model database files domain)
set(allowed_rules model database files domain)
set(allowed_scheduling rules model database files domain)
set(allowed_editing scheduling rules model database files domain)
set(allowed_output calendar scheduling rules model database files domain)
set(allowed_demo calendar scheduling rules model database files domain)
set(allowed_exchange model database files domain)
set(allowed_session settings database files domain)
set(allowed_calendar database files domain)
set(allowed_publish calendar output scheduling rules model database files domain)
set(allowed_overview publish calendar output scheduling rules model database files domain)

file(GLOB folders LIST_DIRECTORIES true RELATIVE ${CORE_DIR} ${CORE_DIR}/*)
set(wrong "")
foreach(folder IN LISTS folders)
  if(NOT IS_DIRECTORY ${CORE_DIR}/${folder})
    continue()
  endif()
  if(NOT DEFINED allowed_${folder})
    string(APPEND wrong "\n  src/core/${folder}/ has no place in the include directions")
    continue()
  endif()
  file(GLOB files ${CORE_DIR}/${folder}/*.h ${CORE_DIR}/${folder}/*.cpp)
  foreach(path IN LISTS files)
    file(STRINGS ${path} includes REGEX "^#include \"core/[a-z_]+/")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^#include \"core/([a-z_]+)/.*" "\\1" target "${line}")
      if(NOT target STREQUAL folder AND NOT target IN_LIST allowed_${folder})
        file(RELATIVE_PATH shown ${CORE_DIR} ${path})
        string(APPEND wrong "\n  src/core/${shown}: ${line}")
      endif()
    endforeach()
  endforeach()
endforeach()
if(wrong)
  message(FATAL_ERROR "core includes against the folder directions:${wrong}")
endif()
