#!/usr/bin/env bash
# A restore on the demo profile as a person does it: xdotool moves the mouse,
# clicks and types in the real windows of quillmere.exe under Wine, and a
# screenshot of every restore page and of the password dialog goes to
# build/person-restore/. It restores C:\Backups\demo.qmb (password "s3cret")
# of the demo prefix, the backup scripts/person-backup.sh leaves there; with
# none there it takes the one the backup wizard test leaves in the build
# tree (backup_kept/wizard.qmb), or else makes one with person-backup.sh.
# The identities come back onto those of the same name in the demo profile,
# their stores into the standard folders. QM_BUILD and QM_PREFIX name another
# build tree and Wine prefix.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$top"
build="${QM_BUILD:-$top/build/win64}"
prefix="${QM_PREFIX:-$top/build/demo-prefix}"
archive="$prefix/drive_c/Backups/demo.qmb"
kept="$build/backup_kept/wizard.qmb"
if [ ! -f "$archive" ] && [ ! -f "$kept" ]; then
  if [ -n "${QM_BUILD:-}${QM_PREFIX:-}" ]; then
    echo "no backup to restore: run scripts/person-backup.sh or the backup tests first" >&2
    exit 1
  fi
  "$top/scripts/person-backup.sh"
fi

source "$top/scripts/person-lib.sh"
person_prefix "$prefix"
if [ ! -f "$archive" ]; then
  mkdir -p "$(dirname "$archive")"
  cp "$kept" "$archive"
fi
out="$top/build/person-restore"
rm -rf "$out"
mkdir -p "$out"

start_wizard "$build/bin/quillmere.exe"

next                            # welcome -> method
at 230 130                      # "Restore Outlook Express data from a backup file"
shot 1-method-restore; next
shot 2-source
at 614 63 1.5                   # Browse...
shot 3-open-dialog
xdotool type --delay 15 'C:\Backups\demo.qmb'; xdotool key Return
find_window '^Password$' >/dev/null; sleep 0.5
xdotool type --delay 15 's3cret'
shot 4-password
# Without a window manager Wine waits two seconds for a closed dialog to go.
xdotool key Return; sleep 3
shot 5-source-loaded; next
shot 6-mapping
at 288 91                       # Anna Berger
at 553 81                       # the identities of this machine
shot 7-mapping-targets
at 496 112                      # Anna Berger again
at 465 205                      # her address book stays out (Main Identity's comes back)
shot 8-mapping-chosen; next 0.4
shot 9-running-clients; sleep 2; next
shot 10-ready;         next
box=$(find_window '^Quillmere$'); sleep 0.5
shot 11-question
eval "$(xdotool getwindowgeometry --shell "$box")"
xdotool mousemove $((X + 130)) $((Y + 93)) click 1  # OK
# The run is short: frames until one shows the progress bar filling.
for i in $(seq 1 80); do
  shot run
  px="p{$((wx + 250)),$((wy + 76))}"
  if [ "$(convert "$out/run.png" -format "%[fx:$px.b > 0.6 && $px.r < 0.4]" info:)" = 1 ]; then
    mv "$out/run.png" "$out/12-running.png"
    break
  fi
done
rm -f "$out/run.png"; sleep 2
shot 13-done
next                            # Finish
ended

echo "screenshots in build/person-restore/"
qm_wine reg query 'HKCU\Identities' /s 2>/dev/null | grep 'Store Root' || true
ls "$prefix"/drive_c/users/*/"Local Settings/Application Data/Identities"/*/"Microsoft/Outlook Express"/
