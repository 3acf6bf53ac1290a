#!/usr/bin/env bash
# scripts/install-deps against a stand-in package manager: an index that fails as a mirror in the
# middle of its sync does, i386 packages that cannot be installed, and a needed package that is
# broken. Each case runs the script in a fresh fake system and checks what it asked for and said.
set -uo pipefail
script="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/scripts/install-deps"
failures=0

fake_system() {
  local dir="$1" broken="$2"
  mkdir -p "$dir/bin"
  : >"$dir/installed"
  : >"$dir/calls"
  echo "$broken" >"$dir/broken"
  cat >"$dir/bin/dpkg-query" <<'FAKE'
#!/usr/bin/env bash
grep -qx "${@: -1}" "$FAKE_SYS/installed" && echo "install ok installed" || exit 1
FAKE
  cat >"$dir/bin/dpkg" <<'FAKE'
#!/usr/bin/env bash
echo "dpkg $*" >>"$FAKE_SYS/calls"
[ "$1" = "--print-foreign-architectures" ] && cat "$FAKE_SYS/arches" 2>/dev/null
exit 0
FAKE
  cat >"$dir/bin/sudo" <<'FAKE'
#!/usr/bin/env bash
exec "$@"
FAKE
  cat >"$dir/bin/apt-get" <<'FAKE'
#!/usr/bin/env bash
echo "apt-get $*" >>"$FAKE_SYS/calls"
if [ "$1" = "update" ]; then
  echo "E: Failed to fetch http://deb.example/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?"
  echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
  exit 100
fi
shift
pkgs=()
for a in "$@"; do [ "${a#-}" = "$a" ] && pkgs+=("$a"); done
for p in "${pkgs[@]}"; do
  if [ "${p%:i386}" != "$p" ] || grep -qx "$p" "$FAKE_SYS/broken"; then
    echo "The following packages have unmet dependencies:"
    echo " $p : Depends: libwine:i386 (= 8.0~repack-4) but it is not going to be installed"
    echo "E: Unable to correct problems, you have held broken packages."
    exit 100
  fi
done
[ "$1" = "-s" ] || printf '%s\n' "${pkgs[@]}" >>"$FAKE_SYS/installed"
FAKE
  chmod +x "$dir/bin/"*
}

# check NAME MODE BROKEN WANT_RC OUTPUT_MUST CALLS_MUST CALLS_MUST_NOT
check() {
  local name="$1" mode="$2" broken="$3" want_rc="$4" out_must="$5" calls_must="$6" calls_not="$7"
  local sys
  sys="$(mktemp -d)"
  fake_system "$sys" "$broken"
  local out rc
  out="$(env -u DISPLAY PATH="$sys/bin:$PATH" FAKE_SYS="$sys" FOCURA_APT_PAUSE=0 "$script" "$mode" 2>&1)"
  rc=$?
  local calls
  # One line, so that a pattern can say how often and in which order.
  calls="$(paste -sd'|' "$sys/calls")"
  local bad=""
  { [ "$want_rc" = 0 ] && [ "$rc" -ne 0 ]; } && bad+=" exit $rc, expected 0;"
  { [ "$want_rc" != 0 ] && [ "$rc" -eq 0 ]; } && bad+=" exit 0, expected a failure;"
  [ -z "$out_must" ] || grep -qzE "$out_must" <<<"$out" || bad+=" output lacks /$out_must/;"
  [ -z "$calls_must" ] || grep -qE "$calls_must" <<<"$calls" || bad+=" no call /$calls_must/;"
  [ -z "$calls_not" ] || ! grep -qE "$calls_not" <<<"$calls" || bad+=" a call /$calls_not/;"
  if [ -n "$bad" ]; then
    echo "FAIL $name:$bad"
    echo "--- output:"; echo "$out"; echo "--- calls:"; echo "$calls"
    failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
  rm -rf "$sys"
}

# The mirror's index fails on every try; it is tried three times, every 64-bit package still
# installs, and wine32 is named with the package manager's reason and what goes without it.
check "the tests' set-up survives a bad index and no i386" test "" 0 \
  "still failed after 3 tries[^@]*wine32:i386 cannot be installed" \
  "(apt-get update[^|]*\|){3}apt-get install -y -qq [^|]*wine64[^|]*xvfb[^|]*g\+\+-mingw-w64-i686" ""
check "the i386 reason is the package manager's" test "" 0 "Depends: libwine:i386" "" ""
# The run needs neither the i386 architecture nor wine32, but a virtual display when it has none.
check "the run asks only for its own" run "" 0 "" "install -y -qq .*wine64.*xvfb" \
  "add-architecture|i386|i686|clang-format"
# A needed package that cannot be installed fails the set-up, named with its reason.
check "a needed package's failure is not hidden" test "wine64" 1 "ERROR: wine64 cannot be installed" "" ""
exit $((failures > 0))
