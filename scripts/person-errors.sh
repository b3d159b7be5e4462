#!/usr/bin/env bash
# Backup files that do not open, as a person meets them: xdotool drives the
# restore's source page of quillmere.exe under Wine and takes a screenshot of
# each message into build/person-errors/: a file that is no zip at all, a
# zip that is no backup of this program, a backup whose identity list was
# damaged, and a wrong password (said at once, then the dialog again, then
# Cancel), and an automatic backup whose backup file cannot be written (a
# folder stands in its place). Uses the demo prefix and its C:\Backups\demo.qmb (password
# "s3cret"), made by scripts/person-backup.sh when missing.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$top"
prefix="$top/build/demo-prefix"
backups="$prefix/drive_c/Backups"
[ -f "$backups/demo.qmb" ] || "$top/scripts/person-backup.sh"
source "$top/scripts/person-lib.sh"
person_prefix "$prefix"
out="$top/build/person-errors"
rm -rf "$out"
mkdir -p "$out"

echo "shopping list" > "$backups/notes.qmb"
python3 - "$backups" <<'PY'
import sys, zipfile, struct
folder = sys.argv[1]
with zipfile.ZipFile(folder + "/photos.qmb", "w") as z:
    z.writestr("holiday/beach.txt", "sand")
data = bytearray(open(folder + "/demo.qmb", "rb").read())
info = zipfile.ZipFile(folder + "/demo.qmb").getinfo("IdList.lst")
at = info.header_offset
name_len, extra_len = struct.unpack("<HH", data[at + 26:at + 30])
data[at + 30 + name_len + extra_len + 20] ^= 0x55  # a byte of its data
open(folder + "/damaged.qmb", "wb").write(bytes(data))
PY

# Opens $1 through Browse...
open_file() {
  at 614 63 1.5
  xdotool type --delay 15 "$1"; xdotool key Return; sleep 1
}
# The message box that shows, shot as $1 and closed with Enter.
message() {
  find_window '^Quillmere$' >/dev/null; sleep 0.5
  shot "$1"
  xdotool key Return; sleep 2.5
}

start_wizard "$top/build/win64/bin/quillmere.exe"
next                            # welcome -> method
at 230 130                      # "Restore Outlook Express data from a backup file"
next
open_file 'C:\Backups\notes.qmb';   message open-not-a-zip
open_file 'C:\Backups\photos.qmb';  message open-not-a-backup
open_file 'C:\Backups\damaged.qmb'
find_window '^Password$' >/dev/null; sleep 0.5
xdotool type --delay 15 's3cret'; xdotool key Return; sleep 2.5
message open-damaged
open_file 'C:\Backups\demo.qmb'
find_window '^Password$' >/dev/null; sleep 0.5
xdotool type --delay 15 'secret'; xdotool key Return; sleep 2.5
message wrong-password
find_window '^Password$' >/dev/null; sleep 0.5
shot password-again
xdotool key Escape; sleep 2.5
message open-no-password
cancel; sleep 1; xdotool key Return
ended
kill $pid 2>/dev/null || true
rm -f "$backups/notes.qmb" "$backups/photos.qmb" "$backups/damaged.qmb"

# The automatic run of the script the backup saved: its backup file's place
# is taken by a folder.
if [ -f "$backups/weekly.oes" ]; then
  # A copy of the script whose last backup is long past, so that it is due.
  python3 -c 'import sys, struct; b = bytearray(open(sys.argv[1], "rb").read()); b[45:53] = struct.pack("<d", 2.0); open(sys.argv[2], "wb").write(b)' \
    "$backups/weekly.oes" "$backups/due.oes"
  mv "$backups/demo.qmb" "$backups/demo.qmb.kept"
  mkdir "$backups/demo.qmb"
  trap 'rmdir "$backups/demo.qmb"; mv "$backups/demo.qmb.kept" "$backups/demo.qmb"' EXIT
  qm_wine "$top/build/win64/bin/quillmere.exe" /S 'C:\Backups\due.oes' &
  pid=$!
  win=none
  box=$(find_window '^Quillmere$'); sleep 0.5
  import -window root "$out/automatic-not-written.png"
  xdotool windowfocus "$box"; xdotool key Return
  ended
  tail -1 "$backups/due.log" || true
  rm -f "$backups/due.oes" "$backups/due.log"
fi
echo "screenshots in build/person-errors/"
