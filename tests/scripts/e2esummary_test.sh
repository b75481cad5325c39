#!/usr/bin/env bash
# e2esummary.py on JUnit files as ctest writes them: the count per edition
# from the test names, and a failure on a failed or skipped test of an
# edition that runs here, on an edition with no test, or when none runs.
set -euo pipefail
summary=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

# results <file> <name>=<status>...: a JUnit file with those test cases.
results() {
  local file=$dir/$1 pair
  shift
  echo '<?xml version="1.0" encoding="UTF-8"?><testsuite name="(empty)">' >"$file"
  for pair in "$@"; do
    local name=${pair%=*} status=${pair##*=} child=
    [[ $status == fail ]] && child='<failure message=""/>'
    [[ $status == notrun ]] && child='<skipped message="SKIP_REGULAR_EXPRESSION_MATCHED"/>'
    echo "<testcase name=\"$name\" classname=\"$name\" status=\"$status\">$child</testcase>" >>"$file"
  done
  echo '</testsuite>' >>"$file"
}

# expect <exit code> <file> <editions> <line>...: the summary exits so and
# prints each line.
expect() {
  local code=$1 file=$dir/$2 editions=$3 output status=0 line
  shift 3
  output=$(python3 "$summary" "$file" "$editions") || status=$?
  if [[ $status -ne $code ]]; then
    echo "FAIL: $file with editions '$editions' exited $status, not $code"
    echo "$output"
    exit 1
  fi
  for line in "$@"; do
    grep -qxF "$line" <<<"$output" || { echo "FAIL: not printed: $line"; echo "$output"; exit 1; }
  done
}

results only64.xml e2e.MakeWineTemplate64=run 'e2e.Editions/StartupTest.NoSwitch/Edition64=run' \
  'e2e.Editions/PressTest.Shade/Edition64=run' unit.SomeTest=fail e2e.RemoveWineTemplate64=run
expect 0 only64.xml 64 \
  'test: end to end, 32-bit edition: not run (Wine'"'"'s 32-bit loader does not run on this machine)' \
  'test: end to end, 64-bit edition: 2 of 2 tests passed, 0 failed, 0 skipped'
STRENNIX_NO_32BIT=1 expect 0 only64.xml 64 'test: end to end, 32-bit edition: not run (STRENNIX_NO_32BIT=1)'

results both.xml 'e2e.Editions/StartupTest.NoSwitch/Edition32=run' 'e2e.Editions/Win64HelperTest.Starts/Edition32=run' \
  'e2e.Editions/StartupTest.NoSwitch/Edition64=notrun' 'e2e.Editions/PressTest.Shade/Edition64=run'
expect 1 both.xml "32 64" \
  'test: end to end, 32-bit edition: 2 of 2 tests passed, 0 failed, 0 skipped' \
  'test: end to end, 64-bit edition: 1 of 2 tests passed, 0 failed, 1 skipped'

results failed.xml 'e2e.Editions/StartupTest.NoSwitch/Edition64=fail' 'e2e.Editions/PressTest.Shade/Edition64=run'
expect 1 failed.xml 64 'test: end to end, 64-bit edition: 1 of 2 tests passed, 1 failed, 0 skipped'

# An edition that runs here and has no test, a test that names no edition.
results other.xml e2e.StartupTest.NoSwitch=notrun
expect 1 other.xml 64 'test: end to end, 64-bit edition: 0 of 0 tests passed, 0 failed, 0 skipped' \
  'test: end to end, tests that name no edition: 0 passed, 0 failed, 1 skipped'

expect 1 only64.xml "" 'test: no end-to-end test ran: this machine runs neither of Wine'"'"'s loaders'
expect 1 missing.xml 64 "test: no end-to-end test ran: ctest wrote no results ($dir/missing.xml)"
echo "e2esummary: counts per edition; a failure, a skip, an edition without tests or none run fails"
