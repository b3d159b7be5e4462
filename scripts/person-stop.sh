#!/usr/bin/env bash
# Runs stopped as a person stops them: xdotool drives the real windows of
# quillmere.exe under Wine through a backup and a restore of the demo
# profile grown by large store files, presses Cancel while each run goes on
# and answers Yes, and takes a screenshot of the run, the question and the
# last page of each into build/person-stop/ (the wizard alone in window/).
# Needs a built win64 tree.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$top"
source "$top/scripts/person-lib.sh"
# A fresh prefix each time: a restore onto identities that were restored
# before would find their signature files there already.
prefix="$top/build/stop-prefix"
rm -rf "$prefix"
person_prefix "$prefix"
out="$top/build/person-stop"
rm -rf "$out"
mkdir -p "$out" "$prefix/drive_c/Backups"
echo "last week's backup" > "$prefix/drive_c/Backups/demo.qmb"

# Anna Berger's store grows by 150 MB of text, so that the runs take a while.
ids="$prefix/drive_c/Documents and Settings/demo/Local Settings/Application Data/Identities"
anna="$ids/{8D4E2B17-5C3A-4F6B-A1D2-9E8F7A6B5C4D}/Microsoft/Outlook Express"
head -c 110M /dev/urandom | base64 > "$anna/Archive.dbx"

start() { start_wizard "$top/build/win64/bin/quillmere.exe"; }
# Waits until the progress bar is filled past `$1` percent.
bar_past() {
  local x=$((wx + 238 + 402 * $1 / 100)) i
  for i in $(seq 1 600); do
    import -window root "$out/bar.png"
    [ "$(convert "$out/bar.png" -format "%[fx:p{$x,$((wy + 76))}.b > 0.6 && p{$x,$((wy + 76))}.r < 0.4]" info:)" = 1 ] && break
    sleep 0.1
  done
  rm -f "$out/bar.png"
}

# A backup of Main Identity and Anna Berger over C:\Backups\demo.qmb.
backup_to() {
  next; next; next 1.5
  at 339 213 2.5                  # OK: "Work" has no data (the box takes a while to go)
  at 227 108                      # untick "Work"
  next 1.5
  at 386 63; xdotool key ctrl+a; xdotool type --delay 15 "$1"; sleep 0.5
  next 1.5
  if [ -n "${2:-}" ]; then        # replace the file of that name
    find_window '^Quillmere$' >/dev/null; sleep 0.5
    xdotool key y; sleep 2.5
  fi
  sleep 1; next 2                 # neither program runs (its check takes a second)
}

start
backup_to 'C:\Backups\demo.qmb' replace
next 0.2                          # the run
bar_past 40
shot backup-run-running
cancel 0
box=$(find_window '^Quillmere$'); sleep 0.5
shot backup-stop-question
xdotool key y; sleep 3
shot backup-stopped
next; ended
cmp -s "$prefix/drive_c/Backups/demo.qmb" <(echo "last week's backup") && echo "the earlier backup file is as it was"

# A whole backup to restore from.
start
backup_to 'C:\Backups\full.qmb'
next 0.2
for i in $(seq 1 300); do [ -f "$prefix/drive_c/Backups/full.qmb" ] && break; sleep 0.2; done
sleep 2; next; ended

# The restore onto the same identities, stopped while Anna Berger's part of
# the backup is extracted (Main Identity, restored first, is small).
start
next
at 230 130                        # restore
next
at 614 63 1.5                     # Browse...
xdotool type --delay 15 'C:\Backups\full.qmb'; xdotool key Return; sleep 3
next
at 288 91                         # Anna Berger
at 553 81                         # the identities of this machine
at 496 112                        # Anna Berger again
next 0.4
sleep 2; next 2                   # neither program runs (its check takes a second)
next
box=$(find_window '^Quillmere$'); sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$box")"
xdotool mousemove $((X + 130)) $((Y + 93)) click 1  # OK
bar_past 25
shot restore-run-running
cancel 0
box=$(find_window '^Quillmere$'); sleep 0.5
shot restore-stop-question
xdotool key y; sleep 3
shot restore-stopped
next; ended
mkdir -p "$out/window"
for f in "$out"/*-*.png; do
  [[ "$f" == */step-* ]] || convert "$f" -crop 676x380+$wx+$wy +repage "$out/window/$(basename "$f")"
done
echo "screenshots in build/person-stop/"
