#!/usr/bin/env bash
# Every test of both builds: the native suite (with AddressSanitizer and
# UndefinedBehaviorSanitizer) and the Windows suite under Wine in Xvfb.
set -uo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$top"
"$top/scripts/setup.sh" || exit 1
source "$top/scripts/wine-env.sh"

jobs=$(nproc)
summary=()
failed=0

run_suite() {  # name preset
  local name=$1 preset=$2 log="$top/build/$2-ctest.log"
  mkdir -p "$top/build"
  ctest --preset "$preset" -j "$jobs" 2>&1 | tee "$log"
  local line
  line=$(grep -E '^[0-9]+% tests passed' "$log" | tail -1)
  local total pass
  total=$(echo "$line" | sed -nE 's/.* out of ([0-9]+).*/\1/p')
  local bad
  bad=$(echo "$line" | sed -nE 's/.*, ([0-9]+) tests? failed.*/\1/p')
  [ -z "$total" ] && { total=0; bad=1; }
  pass=$((total - bad))
  summary+=("$name: $pass passed, $bad failed")
  [ "$bad" = 0 ] || failed=1
}

echo "== floors: no include runs up"
if python3 "$top/scripts/check-floors.py" --self-test && python3 "$top/scripts/check-floors.py" \
   && python3 "$top/scripts/mutate.py" --self-test; then
  summary+=("floors: every include looks down")
else
  summary+=("floors: an include runs up a floor (see above)")
  failed=1
fi

echo "== native build"
cmake --preset native >/dev/null && cmake --build --preset native -j "$jobs" || exit 1
run_suite native native

echo "== win64 build"
cmake --preset win64 >/dev/null && cmake --build --preset win64 -j "$jobs" || exit 1
qm_start_display || exit 1
qm_start_prefix "$top/build/win64/wineprefix"
run_suite win64 win64

# The 32-bit build for Windows XP and later: compiled whole (the test programs
# too), not run (no 32-bit Wine here), every file it ships checked for imports
# that Windows XP lacks.
echo "== win32 build"
if cmake --preset win32 >/dev/null && cmake --build --preset win32 -j "$jobs" &&
   python3 "$top/scripts/check-xp-imports.py" --self-test &&
   python3 "$top/scripts/check-xp-imports.py" "$top"/build/win32/bin/{quillmere.exe,ExitCleaner.exe,qmlibzip32.dll,qmlibunzip.dll}; then
  summary+=("win32: built, every shipped file's imports on Windows XP")
else
  summary+=("win32: FAILED (build or Windows XP imports)")
  failed=1
fi

# A short libFuzzer campaign per reader of outside files (clang, sanitizers):
# QM_FUZZ_SECONDS each.
echo "== fuzz campaigns"
if cmake -S "$top" -B "$top/build/fuzz" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
     -DCMAKE_BUILD_TYPE=Debug -DQM_SANITIZE=ON -DQM_FUZZ_SECONDS="${QM_FUZZ_SECONDS:-30}" >/dev/null &&
   cmake --build "$top/build/fuzz" -j "$jobs" --target fuzz_unzip fuzz_regfile fuzz_idlist fuzz_script; then
  log="$top/build/fuzz-ctest.log"
  ctest --test-dir "$top/build/fuzz" -L fuzz --output-on-failure 2>&1 | tee "$log"
  line=$(grep -E '^[0-9]+% tests passed' "$log" | tail -1)
  total=$(echo "$line" | sed -nE 's/.* out of ([0-9]+).*/\1/p')
  bad=$(echo "$line" | sed -nE 's/.*, ([0-9]+) tests? failed.*/\1/p')
  [ -z "$total" ] && { total=0; bad=1; }
  # A finding is reported, not a failure of the run: the inputs that were
  # found are kept under tests/fuzz/ and replayed by the native suite.
  echo "fuzz campaigns: $((total - bad)) of $total without a finding (details in $log)"
else
  echo "fuzz campaigns skipped: the clang build could not be made"
fi

echo
for s in "${summary[@]}"; do echo "$s"; done
exit $failed
