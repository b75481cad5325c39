#!/usr/bin/env bash
# Prints the editions of Strennix that this machine can run end to end under
# Wine, as words on one line: "32" (the 32-bit strennix.exe in a 32-bit
# prefix) and "64" (the 64-bit strennix.exe in a 64-bit prefix). Set-up, the
# test command, the run command and the end-to-end harness all ask here, so
# they agree.
#
#   STRENNIX_NO_32BIT=1   behave as on a machine that runs no 32-bit program
#
# A machine's kernel may run no 32-bit Linux program at all, even with the
# 32-bit Wine installed, so each loader is asked to run rather than looked for.
set -uo pipefail

runs() {
  [[ -x $1 ]] && "$1" --version >/dev/null 2>&1
}

editions=()
if [[ ${STRENNIX_NO_32BIT:-} != 1 ]] && runs /usr/lib/wine/wine; then
  editions+=(32)
fi
if runs /usr/lib/wine/wine64; then
  editions+=(64)
fi
echo "${editions[*]}"
