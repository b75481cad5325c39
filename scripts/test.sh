#!/usr/bin/env bash
# The one command that builds everything and runs every test: the unit tests
# on the simulated desktop and the end-to-end tests of the real program under
# Wine, for each edition this machine runs (scripts/editions.sh). Installs
# what a fresh Debian 12 machine lacks first. Ends by saying which editions
# ran end to end and how many of their tests passed; fails when none ran.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
started=$SECONDS

bash scripts/setup.sh
export STRENNIX_SETUP_DONE=1

echo "test: building the native tests"
cmake --preset host
cmake --build --preset host -j2

echo "test: building both Windows editions and their release zips"
bash scripts/package.sh

echo "test: building the sanitizer and fuzzing build"
cmake --preset sanitize
cmake --build --preset sanitize -j2

# Here the Windows binaries have just been built: an end-to-end test that
# cannot find them fails instead of skipping.
export STRENNIX_E2E_REQUIRE_BINARIES=1
status=0
echo "test: formatting and lint"
bash scripts/lint.sh || status=1
echo "test: unit tests under AddressSanitizer and UndefinedBehaviorSanitizer, then the fuzzers"
ctest --preset sanitize || status=1

# The end-to-end tests of an edition this machine cannot run are never
# registered (tests/e2e asks scripts/editions.sh), nor the template prefix
# they would need.
editions=$(bash scripts/editions.sh)
results=$repo/build/host/test-results.xml
rm -f "$results"
echo "test: unit and end-to-end tests (editions run here: ${editions:-none})"
ctest --preset host --output-junit "$results" || status=1

echo "test: took $(((SECONDS - started) / 60)) min $(((SECONDS - started) % 60)) s"
python3 scripts/e2esummary.py "$results" "$editions" || status=1
exit "$status"
