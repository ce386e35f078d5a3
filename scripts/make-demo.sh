#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Creates a demo school in DEMO_DIR/kb.mdb with the rules it states (every
# teacher at most four lessons a day and three in a row, a double period of
# Chinese in the upper grades), checks it before scheduling, generates,
# completes and improves its timetable, checks the result, prints a summary
# and its quality, and writes its timetables (PDF and .xlsx) beside it, with
# the import template and the school's own basic data in that template's form,
# and publishes it as a web site in DEMO_DIR/site with its term calendar.
# Usage: scripts/make-demo.sh BUILD_DIR DEMO_DIR
set -euo pipefail
build=${1:-build}
demo=${2:-demo}
cli="$build/orvandel-cli"

mkdir -p "$demo"
# The demo is always rebuilt from scratch; the user's own databases live elsewhere.
rm -f "$demo/kb.mdb" "$demo/kbxt.ini"
"$cli" demo "$demo/kb.mdb" --grades 1-6 --classes-per-grade 3 --lessons-per-day 6 --rules --calendar --write-settings
echo "-- check before scheduling"
"$cli" analyze "$demo/kb.mdb" --lessons-per-day 6
"$cli" rules "$demo/kb.mdb"
echo "-- generation, completion and the optimiser"
"$cli" generate "$demo/kb.mdb" --lessons-per-day 6 --complete
echo "-- the timetable"
"$cli" info "$demo/kb.mdb"
"$cli" check "$demo/kb.mdb" --lessons-per-day 6
echo "-- quality"
"$cli" quality "$demo/kb.mdb" --lessons-per-day 6
# Every class, every teacher and the overview, printed to PDF and exported to
# .xlsx; the school name comes from the kbxt.ini written beside the database.
for what in classes teachers total; do
  case $what in
    classes) selector=--all-classes ;;
    teachers) selector=--all-teachers ;;
    total) selector=--total ;;
  esac
  "$cli" --program-dir "$demo" export "$demo/kb.mdb" $selector --out "$demo/$what.xlsx" --force
  if ! "$cli" --program-dir "$demo" print "$demo/kb.mdb" $selector --pdf "$demo/$what.pdf" --force; then
    echo "(PDF printing needs the desktop build)"
  fi
done
# Every PDF names itself: the print queue and a PDF reader show its title,
# author and the program that made it.
if command -v pdfinfo >/dev/null; then
  for pdf in "$demo"/*.pdf; do
    [[ -f "$pdf" ]] || continue
    info=$(pdfinfo "$pdf")
    grep -q '^Title: .*课程表' <<< "$info" && grep -q '^Creator: *Orvandel排课软件' <<< "$info" ||
      { echo "$pdf: no title or creator" >&2; exit 1; }
  done
fi
echo "-- the import template and the school's basic data"
"$cli" template --out "$demo/导入模板.xlsx" --force
"$cli" export-data "$demo/kb.mdb" --out "$demo/school.xlsx" --force
echo "-- the web timetable, with its calendar files and CSV file"
"$cli" --program-dir "$demo" publish "$demo/kb.mdb" --out "$demo/site"
echo
echo "Demo school: $demo/kb.mdb   (open it with: $build/orvandel $demo/kb.mdb)"
echo "Timetables:  $demo/{classes,teachers,total}.pdf and .xlsx"
echo "Basic data:  $demo/school.xlsx   (template: $demo/导入模板.xlsx)"
echo "Web site:    $demo/site/index.html"
