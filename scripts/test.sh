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

echo "test: building the Windows program"
cmake --preset win32
cmake --build --preset win32 -j2

# Here the Windows binaries have just been built: an end-to-end test that
# cannot find them fails instead of skipping.
export STRENNIX_E2E_REQUIRE_BINARIES=1
echo "test: running the tests"
ctest --preset host
