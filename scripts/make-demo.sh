#!/usr/bin/env bash
# Creates a demo school in DEMO_DIR/kb.mdb, generates its timetable, checks it
# and prints a summary. Usage: scripts/make-demo.sh BUILD_DIR DEMO_DIR
set -euo pipefail
build=${1:-build}
demo=${2:-demo}
cli="$build/orvandel-cli"

mkdir -p "$demo"
# The demo is always rebuilt from scratch; the user's own databases live elsewhere.
rm -f "$demo/kb.mdb" "$demo/kbxt.ini"
"$cli" demo "$demo/kb.mdb" --grades 1-6 --classes-per-grade 3 --lessons-per-day 6 --write-settings
"$cli" generate "$demo/kb.mdb" --lessons-per-day 6
"$cli" check "$demo/kb.mdb" --lessons-per-day 6 || true
"$cli" info "$demo/kb.mdb"
echo
echo "Demo school: $demo/kb.mdb   (open it with: $build/orvandel $demo/kb.mdb)"
