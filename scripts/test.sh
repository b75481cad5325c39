#!/usr/bin/env bash
# The one command that builds everything and runs every test: the unit tests
# on the simulated desktop and the end-to-end tests of the real program under
# Wine. Installs what a fresh Debian 12 machine lacks first.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"

bash scripts/setup.sh

echo "test: building the native tests"
cmake --preset host
cmake --build --preset host -j2

echo "test: building the Windows program and the release zip"
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
echo "test: unit and end-to-end tests"
ctest --preset host || status=1
exit "$status"
