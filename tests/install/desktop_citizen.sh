#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What a Debian desktop expects of the package, one check per CTest entry:
#   desktop_citizen.sh CHECK SOURCE_DIR BUILD_DIR
# lintian      the .deb that `make package` builds has no lintian error or warning
# metainfo     appstreamcli and desktop-file-validate accept the metainfo and desktop entry
# mime         the MIME type tells the program's database from another SQLite file
# manpages     the man pages render without a groff warning
# completion   the bash completion offers the commands, their options and --kind's values
# nodisplay    orvandel --help and --version work without any display
set -euo pipefail
check=$1 src=$2 build=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

case "$check" in
  lintian)
    (cd "$work" && cpack --config "$build/CPackConfig.cmake" -G DEB -D CPACK_OUTPUT_FILE_PREFIX="$work" >/dev/null)
    lintian --fail-on error,warning "$work"/orvandel_*.deb
    ;;
  metainfo)
    appstreamcli validate --no-net "$src/packaging/io.github.orvandel.Orvandel.metainfo.xml"
    desktop-file-validate "$src/src/gui/shell/resources/orvandel.desktop"
    grep -q '^MimeType=application/x-orvandel-timetable;$' "$src/src/gui/shell/resources/orvandel.desktop"
    ;;
  mime)
    mkdir -p "$work/share/mime/packages"
    cp /usr/share/mime/packages/freedesktop.org.xml "$work/share/mime/packages/"
    cp "$src/packaging/orvandel-mime.xml" "$work/share/mime/packages/orvandel.xml"
    update-mime-database "$work/share/mime" 2>/dev/null
    "$build/orvandel-cli" init "$work/school.db" >/dev/null
    python3 -c "import sqlite3,sys; c=sqlite3.connect(sys.argv[1]); c.execute('create table t(x)'); c.commit()" \
      "$work/other.db"
    type_of() { XDG_DATA_DIRS="$work/share" XDG_DATA_HOME="$work/none" gio info -a standard::content-type "$1" |
      sed -n 's/.*content-type: //p'; }
    [[ $(type_of "$work/school.db") == application/x-orvandel-timetable ]]
    [[ $(type_of "$work/other.db") == application/vnd.sqlite3 ]]
    ;;
  manpages)
    for page in "$src"/packaging/man/*.1 "$src"/packaging/man/zh_CN/*.1; do
      warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 "$page" 2>&1 >/dev/null)
      [[ -z "$warnings" ]] || { echo "$page: $warnings"; exit 1; }
    done
    ;;
  completion)
    source /usr/share/bash-completion/bash_completion
    source "$src/packaging/orvandel-cli.bash-completion"
    complete_line() {
      COMP_LINE="$build/orvandel-cli $1"; COMP_POINT=${#COMP_LINE}
      read -ra COMP_WORDS <<< "$COMP_LINE"
      [[ "$COMP_LINE" == *" " ]] && COMP_WORDS+=("")
      COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); COMPREPLY=()
      _orvandel_cli
      echo "${COMPREPLY[*]}"
    }
    [[ $(complete_line "export") == "export export-data export-csv" ]]
    [[ $(complete_line "changes db.mdb --si") == "--since" ]]
    [[ $(complete_line "import db.mdb x.xlsx --dry") == "--dry-run" ]]
    [[ $(complete_line "import db.mdb x.csv --kind te") == "teachers" ]]
    ;;
  nodisplay)
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$build/orvandel" --help)
    grep -q -- '--version' <<< "$out"
    [[ $(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$build/orvandel" --version) == "orvandel "* ]]
    [[ $("$build/orvandel-cli" --version) == "orvandel-cli "* ]]
    ;;
  *) echo "unknown check $check"; exit 2 ;;
esac
