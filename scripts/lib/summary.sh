# The suites' results for the summary that ends scripts/test. Source this file; every function is
# prefixed focura_. A suite is a name; several runs may add to one suite, in the order first seen.

focura_summary_begin() {
  FOCURA_SUMMARY_DIR="$1"
  rm -rf "$FOCURA_SUMMARY_DIR"
  mkdir -p "$FOCURA_SUMMARY_DIR"
  FOCURA_SUMMARY_START="$(date +%s)"
  FOCURA_SUITES=()
  declare -gA FOCURA_PASSED=() FOCURA_FAILED=() FOCURA_SKIPPED=() FOCURA_NOTES=() FOCURA_FIGURES=()
  FOCURA_RUNS=0
}

focura_suite_add() {  # NAME PASSED FAILED SKIPPED
  local name="$1"
  [ -n "${FOCURA_PASSED[$name]+x}" ] || {
    FOCURA_SUITES+=("$name")
    FOCURA_PASSED[$name]=0 FOCURA_FAILED[$name]=0 FOCURA_SKIPPED[$name]=0
  }
  FOCURA_PASSED[$name]=$((FOCURA_PASSED[$name] + $2))
  FOCURA_FAILED[$name]=$((FOCURA_FAILED[$name] + $3))
  FOCURA_SKIPPED[$name]=$((FOCURA_SKIPPED[$name] + $4))
}

focura_suite_note() {  # NAME TEXT
  FOCURA_NOTES[$1]="${FOCURA_NOTES[$1]:-}${FOCURA_NOTES[$1]:+; }$2"
}

# focura_suite_ctest NAME CTEST_ARGS...: one ctest run, counted from its JUnit report.
focura_suite_ctest() {
  local name="$1" xml
  shift
  FOCURA_RUNS=$((FOCURA_RUNS + 1))
  xml="$FOCURA_SUMMARY_DIR/ctest-$FOCURA_RUNS.xml"
  ctest --output-on-failure --output-junit "$xml" "$@"
  local rc=$? total=0 failed=0 skipped=0
  if [ -s "$xml" ]; then
    total="$(grep -c '<testcase ' "$xml")"
    failed="$(grep -c '<testcase [^>]*status="fail"' "$xml")"
    skipped="$(grep -Ec '<testcase [^>]*status="(notrun|disabled)"' "$xml")"
  fi
  # ctest that failed without a failed test (no tests found, a discovery that broke) fails too.
  if [ "$rc" -ne 0 ] && [ "$failed" -eq 0 ]; then
    failed=1
    focura_suite_note "$name" "ctest $* exited $rc"
  fi
  focura_suite_add "$name" "$((total - failed - skipped))" "$failed" "$skipped"
  FOCURA_LAST_XML="$xml"
  return "$rc"
}

# focura_count_in XML REGEX: how many tests of one ctest run have a name matching REGEX (a suite
# of the other width holds the same tests, so a skipped one is counted by this one's).
focura_count_in() {
  grep -o '<testcase name="[^"]*"' "$1" 2>/dev/null | sed 's/<testcase name="//; s/"$//' |
    grep -cE "$2"
}

# focura_suite_command NAME COMMAND...: a command that is one check.
focura_suite_command() {
  local name="$1"
  shift
  if "$@"; then focura_suite_add "$name" 1 0 0; else focura_suite_add "$name" 0 1 0; fi
}

# focura_suite_function NAME FUNCTION ARGS...: a function that runs GoogleTest programs; counted
# from their own "[       OK ]" and "[  FAILED  ]" lines, and one failure more when it failed
# without a failed test.
focura_suite_function() {
  local name="$1" log
  shift
  FOCURA_RUNS=$((FOCURA_RUNS + 1))
  log="$FOCURA_SUMMARY_DIR/run-$FOCURA_RUNS.log"
  "$@" 2>&1 | tee "$log"
  local rc="${PIPESTATUS[0]}" passed failed
  passed="$(grep -c '^\[       OK \]' "$log")"
  failed="$(grep -oE '^\[  FAILED  \] [A-Za-z0-9_]+\.[A-Za-z0-9_/]+' "$log" | sort -u | grep -c .)"
  if [ "$rc" -ne 0 ] && [ "$failed" -eq 0 ]; then
    failed=1
    focura_suite_note "$name" "$1 exited $rc"
  fi
  focura_suite_add "$name" "$passed" "$failed" 0
}

focura_suite_skip() {  # NAME COUNT WHAT: skipped for lack of Wine's 32-bit half
  focura_suite_add "$1" 0 0 "$2"
  focura_suite_note "$1" "skipped $3: no wine32"
}

# focura_suite_figures NAME FILES...: the figures the suite wrote that tell most, shown under its
# line: the timer's excess over the period, the move's end to the frame key, and the soak.
focura_suite_figures() {
  local name="$1" file
  shift
  for file in "$@"; do
    [ -f "$file" ] || continue
    FOCURA_FIGURES[$name]="${FOCURA_FIGURES[$name]:-}$(grep -E '^(TIMING: (excess|move end)|SOAK:)' "$file")"$'\n'
  done
}

focura_summary_failed() {  # WHY: a step that is not a suite failed (set-up, a build)
  focura_suite_add "set-up and builds" 0 1 0
  focura_suite_note "set-up and builds" "$1"
}

# focura_summary_end EXIT_CODE: prints the summary; exits non-zero on any failure.
focura_summary_end() {
  local rc="$1" name passed=0 failed=0 skipped=0 seconds
  seconds=$(($(date +%s) - FOCURA_SUMMARY_START))
  echo
  echo "================================ summary ================================"
  for name in "${FOCURA_SUITES[@]}"; do
    printf '%-22s %5d passed, %d failed, %d skipped%s\n' "$name" "${FOCURA_PASSED[$name]}" \
      "${FOCURA_FAILED[$name]}" "${FOCURA_SKIPPED[$name]}" "${FOCURA_NOTES[$name]:+ (${FOCURA_NOTES[$name]})}"
    [ -z "${FOCURA_FIGURES[$name]:-}" ] || printf '%s' "${FOCURA_FIGURES[$name]}" | sed '/^$/d; s/^/    /'
    passed=$((passed + FOCURA_PASSED[$name]))
    failed=$((failed + FOCURA_FAILED[$name]))
    skipped=$((skipped + FOCURA_SKIPPED[$name]))
  done
  printf 'time: %d min %02d s\n' $((seconds / 60)) $((seconds % 60))
  if [ "$skipped" -gt 0 ]; then
    echo "$passed passed, $failed failed, $skipped skipped"
  else
    echo "$passed passed, $failed failed"
  fi
  if [ "$failed" -gt 0 ] && [ "$rc" -eq 0 ]; then rc=1; fi
  exit "$rc"
}
