# Shared by the person scripts (sourced): a Wine prefix with the demo
# profile, quillmere.exe started and its wizard found, and the mouse and
# screenshot steps of a person, at positions relative to the wizard.
# Expects $top; the steps write their screenshots into $out.
source "$top/scripts/wine-env.sh"

# The display and the prefix; a fresh prefix is seeded with the demo profile.
person_prefix() {
  local fresh=0
  qm_start_display
  [ -f "$1/system.reg" ] || fresh=1
  qm_start_prefix "$1"
  [ $fresh = 1 ] && "$top/scripts/seed-profile.sh"
  return 0
}

# Starts the program ($1) and waits for its wizard: sets pid, win, wx, wy.
start_wizard() {
  qm_wine "$1" &
  pid=$!
  win=""
  local i
  for i in $(seq 1 100); do
    win=$(xdotool search --name '^Quillmere$' 2>/dev/null | head -1 || true)
    [ -n "$win" ] && break
    sleep 0.2
  done
  sleep 1.5
  eval "$(xdotool getwindowgeometry --shell "$win")"  # X, Y of the wizard
  wx=$X wy=$Y
}

# The window named `$1` (an extended regular expression) other than the
# wizard's own, once it shows.
find_window() {
  local w i
  for i in $(seq 1 50); do
    for w in $(xdotool search --onlyvisible --name "$1" 2>/dev/null); do
      [ "$w" != "$win" ] && { echo "$w"; return 0; }
    done
    sleep 0.2
  done
  echo "no window '$1' showed" >&2
  return 1
}

# Waits (up to 20 s) until the program started last has ended.
ended() { local i; for i in $(seq 1 100); do kill -0 $pid 2>/dev/null || break; sleep 0.2; done; }

at() { xdotool mousemove $((wx + $1)) $((wy + $2)) click 1; sleep "${3:-0.6}"; }
shot() { import -window root "$out/$1.png"; }
next() { at 507 352 "${1:-1}"; }
cancel() { at 615 352 "${1:-1}"; }
