#!/usr/bin/env bash
# checklayers.py on small trees: a clean one passes; an upward include, a
# sideways include and a folder cycle are each reported and fail it.
set -euo pipefail
checker=$1
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT

put() { mkdir -p "$tree/$(dirname "$1")" && printf '%s\n' "$2" >"$tree/$1"; }
put platform/ports.h '#include "platform/types.h"'
put platform/win32/windowport.cpp '#include "platform/ports.h"'
put app/core/log.h '#include "platform/ports.h"'
put actions/uifx.cpp '#include "app/core/log.h"'
put app/app.cpp '#include "actions/uifx.h"'
python3 "$checker" "$tree" || { echo "FAIL: a clean tree was refused"; exit 1; }

put app/core/windowbook.h '#include "actions/uifx.h"'
put buttons/gfx.cpp '#include "actions/uifx.h"'
put platform/sim/simdesktop.cpp '#include "platform/ports.h"'
put platform/types.h '#include "platform/sim/simdesktop.h"'
if output=$(python3 "$checker" "$tree"); then
  echo "FAIL: offences passed"
  exit 1
fi
for expected in 'app/core/windowbook.h: includes actions/uifx.h' \
                'buttons/gfx.cpp: includes actions/uifx.h' \
                'platform: includes itself through other folders'; do
  grep -qF "$expected" <<<"$output" || { echo "FAIL: not reported: $expected"; echo "$output"; exit 1; }
done
echo "checklayers: clean tree passes, upward, sideways and circular includes fail"
