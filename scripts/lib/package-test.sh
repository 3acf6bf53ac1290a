# The release package as a lab receives it: packed from a Windows build tree with CPack, unpacked
# into a fresh folder, and run from there under Wine (the end-to-end driver's Package scenario).
# Source this file after wine-env.sh, with the prefix booted and a display running.

# focura_package_test BUILD_DIR: exits non-zero on any failure.
focura_package_test() {
  local build="$1" version name unpacked
  cpack --config "$build/CPackConfig.cmake" >/dev/null
  version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
  name="focura-$version-win64"
  unpacked="$build/package-test"
  rm -rf "$unpacked"
  mkdir -p "$unpacked"
  (cd "$unpacked" && cmake -E tar xf "$build/package/$name.zip")
  # The size goals of the shipped programs (stripped; their debug info stays in the build tree).
  local exe size limit failed=0
  for exe in focura.exe:2097152 focura32.exe:2097152 zsim.exe:1572864 zsim64.dll:1572864 \
    zsim32.dll:1572864; do
    size="$(stat -c %s "$unpacked/$name/${exe%%:*}")"
    limit="${exe##*:}"
    printf 'packaged %-10s %8d bytes (goal: under %d)\n' "${exe%%:*}" "$size" "$limit"
    [ "$size" -lt "$limit" ] || failed=1
  done
  for file in guide.html LICENSE.txt examples/captureprogpath.txt examples/capturekey.txt \
      focura-check.exe focura-check32.exe capture_target.exe; do
    [ -s "$unpacked/$name/$file" ] || { echo "the package lacks $file" >&2; failed=1; }
  done
  [ "$failed" -eq 0 ] || return 1
  local dir="$unpacked/$name"
  # Without Wine's 32-bit half (FOCURA_PACKAGE_WITH_WINE32=0) nothing 32-bit is started: not the
  # packed focura32.exe, not the 32-bit regsvr32 that registers the other width's DLL.
  local filter='Package.*:DllServer.*:PackageCheck.*' rc=0
  [ "${FOCURA_PACKAGE_WITH_WINE32:-1}" = 1 ] || filter+='-DllServer.ADllOfTheOtherWidthOnly*'
  # PackageCheck runs the packaged focura-check.exe unattended, reads its exit code and report
  # (printed here), and compares the Z server's registration before and after.
  FOCURA_E2E_TOOL="$dir/focura.exe" FOCURA_E2E_ZSIM="$dir/zsim.exe" \
    FOCURA_E2E_ZSIM_DLL="$dir/zsim64.dll" FOCURA_E2E_OTHER_ZSIM_DLL="$dir/zsim32.dll" \
    FOCURA_E2E_CHECK="$dir/focura-check.exe" \
    focura_wine 600 "$build/e2e_tests.exe" --gtest_filter="$filter" </dev/null || rc=1
  [ "${FOCURA_PACKAGE_WITH_WINE32:-1}" = 1 ] || return "$rc"
  # The 32-bit program of the package reaches the (64-bit) local server as well.
  FOCURA_E2E_TOOL="$dir/focura32.exe" FOCURA_E2E_ZSIM="$dir/zsim.exe" \
    focura_wine 300 "$build/e2e_tests.exe" --gtest_filter='Package.*' </dev/null || rc=1
  return "$rc"
}
