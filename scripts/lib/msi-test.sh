# The per-user installer as a lab PC meets it: made from a Windows build tree by make_msi.py,
# installed quietly with msiexec under Wine, its shortcuts and programs found where the guide says,
# the installed tool run against the installed simulator, an upgrade over it, and the removal
# leaving nothing of ours behind. Source this file after wine-env.sh, with the prefix booted and a
# display running.

# The folder the installer takes its files from: the unpacked package when package-test.sh has
# made one, else the build tree's own programs (the 32-bit ones only when their tree is built).
focura_msi_stage() {
  local build="$1" stage="$2" version name other file
  version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
  name="focura-$version-win64"
  rm -rf "$stage"
  mkdir -p "$(dirname "$stage")"
  if [ -f "$build/package-test/$name/focura.exe" ]; then
    cp -r "$build/package-test/$name" "$stage"
    return
  fi
  mkdir -p "$stage"
  for file in focura.exe zsim.exe zsim64.dll focura-check.exe capture_target.exe; do
    cp "$build/$file" "$stage/" || return 1
  done
  [ ! -f "$build/focura-check32.exe" ] || cp "$build/focura-check32.exe" "$stage/"
  other="$(sed -n 's/^FOCURA_OTHER_WIDTH_DIR:PATH=//p' "$build/CMakeCache.txt")"
  for file in focura32.exe zsim32.dll focura-check32.exe; do
    [ -z "$other" ] || [ ! -f "$other/$file" ] || cp "$other/$file" "$stage/"
  done
  cp "$build/guide/guide.html" "$build/LICENSE.txt" "$stage/" || return 1
  [ ! -f "$build/changes.txt" ] || cp "$build/changes.txt" "$stage/"
  cp -r "$(dirname "$build")/../docs/images" "$stage/images"
  rm -f "$stage"/images/*.md
  cp -r "$build/examples" "$stage/examples" || return 1
}

# A Windows path of the prefix as a Linux path.
focura_unix_path() { focura_wine 30 winepath -u "$1" 2>/dev/null | tr -d '\r'; }
# An environment variable of a Wine process, e.g. LOCALAPPDATA.
focura_wine_var() { focura_wine 30 cmd /c echo "%$1%" </dev/null 2>/dev/null | tr -d '\r'; }
focura_reg_has() { focura_wine 30 reg query "$@" </dev/null >/dev/null 2>&1; }

# focura_msi_test BUILD_DIR: exits non-zero on any failure.
focura_msi_test() {
  local build="$1" work="$1/msi-test" failed=0
  local root
  root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
  focura_msi_stage "$build" "$work/stage" || { echo "msi test: cannot stage the files" >&2; return 1; }
  python3 "$root/scripts/lib/make_msi.py" "$work/stage" "$work/focura.msi" >/dev/null || return 1
  local version next
  version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
  next="${version%.*}.$((${version##*.} + 1))"
  python3 "$root/scripts/lib/make_msi.py" --version "$next" "$work/stage" "$work/focura-next.msi" \
    >/dev/null || return 1
  fail() { echo "msi test: $*" >&2; failed=1; }

  # The package asks for no administrator rights: no ALLUSERS, and the summary's word count
  # (msiinfo prints it as "Source") has the "elevation not needed" bit (8).
  msiinfo export "$work/focura.msi" Property | grep -q '^ALLUSERS' && fail "ALLUSERS is set"
  local words
  words="$(msiinfo suminfo "$work/focura.msi" | sed -n 's/^Source: \([0-9]*\).*/\1/p')"
  [ $((words & 8)) -eq 8 ] || fail "the summary's word count ($words) does not say per user"

  local programs menu clsid='{1BF51BFE-5151-4C5F-BB21-3AF8F0298408}'
  programs="$(focura_unix_path "$(focura_wine_var LOCALAPPDATA)\\Programs\\Focura Acquisition")"
  menu="$(focura_unix_path "$(focura_wine_var APPDATA)\\Microsoft\\Windows\\Start Menu\\Programs\\Focura Acquisition")"
  [ -n "$programs" ] && [ -n "$menu" ] || { echo "msi test: no profile folders" >&2; return 1; }

  focura_wine 300 msiexec /i "$(winepath -w "$work/focura.msi")" /qn </dev/null || fail "msiexec /i failed"
  local file
  for file in focura.exe zsim.exe zsim64.dll focura-check.exe capture_target.exe guide.html \
      LICENSE.txt images/window.png examples/captureprogpath.txt; do
    [ -s "$programs/$file" ] || fail "not installed: $file"
  done
  local expected=("Focura Acquisition (64-bit).lnk" "Check this PC (64-bit).lnk" "Operator's guide.lnk")
  [ ! -f "$work/stage/focura32.exe" ] || expected+=("Focura Acquisition (32-bit).lnk")
  [ ! -f "$work/stage/focura-check32.exe" ] || expected+=("Check this PC (32-bit).lnk")
  for file in "${expected[@]}"; do
    [ -s "$menu/$file" ] || fail "no shortcut $file"
  done
  # The "Installed apps" entry: name, version and maker as the version resource says.
  local entry
  entry="$(focura_wine 30 reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s \
    </dev/null 2>/dev/null | tr -d '\r')"
  if ! grep -q 'DisplayName.*Focura Acquisition' <<<"$entry"; then
    entry="$(focura_wine 30 reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s \
      </dev/null 2>/dev/null | tr -d '\r')"
  fi
  grep -q "DisplayVersion.*$version" <<<"$entry" || fail "the entry has no DisplayVersion $version"
  grep -q 'Publisher.*The Focura Acquisition developers' <<<"$entry" || fail "the entry names no maker"

  # The installed tool reaches the installed simulator and runs a plane.
  FOCURA_E2E_TOOL="$programs/focura.exe" FOCURA_E2E_ZSIM="$programs/zsim.exe" \
    focura_wine 300 "$build/e2e_tests.exe" --gtest_filter='Package.*' </dev/null ||
    fail "the installed tool did not run a plane against the installed simulator"

  # A newer version replaces this one: one entry, the newer version, the files still there.
  focura_wine 300 msiexec /i "$(winepath -w "$work/focura-next.msi")" /qn </dev/null ||
    fail "msiexec /i of the newer version failed"
  entry="$(focura_wine 30 reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s \
    </dev/null 2>/dev/null; focura_wine 30 reg query \
    'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s </dev/null 2>/dev/null)"
  [ "$(grep -c 'DisplayName.*Focura Acquisition' <<<"$entry")" -eq 1 ] ||
    fail "after the upgrade there is not exactly one entry"
  grep -q "DisplayVersion.*$next" <<<"$entry" || fail "the newer version's entry is missing"
  [ -s "$programs/focura.exe" ] || fail "the upgrade lost focura.exe"

  # The operator registered the installed simulator; the removal takes that registration away,
  # and with it every file, shortcut, folder and key of ours.
  focura_wine 60 "$programs/zsim.exe" /RegServer </dev/null || fail "zsim.exe /RegServer failed"
  focura_reg_has "HKCU\\Software\\Classes\\CLSID\\$clsid" || fail "the simulator did not register"
  focura_wine 300 msiexec /x "$(winepath -w "$work/focura-next.msi")" /qn </dev/null || fail "msiexec /x failed"
  [ ! -e "$programs" ] || fail "left behind: $(find "$programs" | head -5 | tr '\n' ' ')"
  [ ! -e "$menu" ] || fail "left behind: the Start-menu folder"
  focura_reg_has 'HKCU\Software\Focura Acquisition' && fail "left behind: HKCU\\Software\\Focura Acquisition"
  focura_reg_has "HKCU\\Software\\Classes\\CLSID\\$clsid" && fail "left behind: the simulator's class (HKCU)"
  focura_reg_has "HKCR\\CLSID\\$clsid" && fail "left behind: the simulator's class (HKCR)"
  focura_reg_has 'HKCU\Software\Classes\Hoistra.HoistraCmd' && fail "left behind: the ProgID"
  entry="$(focura_wine 30 reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s \
    </dev/null 2>/dev/null; focura_wine 30 reg query \
    'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s </dev/null 2>/dev/null)"
  grep -q 'DisplayName.*Focura Acquisition' <<<"$entry" && fail "left behind: the Installed apps entry"
  [ "$failed" -eq 0 ] && echo "msi test: install, run, upgrade and removal passed"
  return "$failed"
}
