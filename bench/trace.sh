#!/usr/bin/env bash
# One start-up, step by step: the reader's start-up built as bench/probe, with its own trace of
# the steps (application made, splash shown, engine warmed, main window created, its controls
# added, its native window made, shown, exposed, the view's loads) merged with what
# bench/pixelwatch.c saw on the screen, in ms from the start.
#
#   bash bench/trace.sh [--no-build] [--runs N] [-- probe options]
#   probe options: --no-warm-up | --keep-warm-page | --warm-offscreen (see bench/probe/probe.cpp)
set -euo pipefail
source "$(dirname "$0")/common.sh"

build=1
runs=1
while [[ $# -gt 0 ]]; do
    case $1 in
        --no-build) build=0; shift ;;
        --runs) runs=$2; shift 2 ;;
        --) shift; break ;;
        *) echo "usage: $0 [--no-build] [--runs N] [-- probe options]" >&2; exit 2 ;;
    esac
done

[[ $build == 1 ]] && build_all
out=$(mktemp /tmp/ambervale-trace.XXXXXX)
trap 'stop_xvfb; rm -f "$out"' EXIT

for ((run = 1; run <= runs; run++)); do
    start_xvfb
    "$PIXELWATCH" -i 1000 -m 0 -l 500 -T 30000 \
        -s splash:differ:255,221,8,8 \
        -s splash_gone:same:255,221,8,8 \
        -s main:differ:600,124,4,4 \
        -s book:colour:124,185,540,80:000099 \
        -- "$PROBE" start --trace "$@" >"$out" 2>/dev/null || true
    stop_xvfb
    echo "run $run ($*), load average $(load_average):"
    /usr/bin/python3 - "$out" <<'EOF'
import sys
t0, rows, maps = None, [], 0
for line in open(sys.argv[1]):
    f = line.split()
    if not f:
        continue
    if f[0] == 't0':
        t0 = float(f[1])
    elif f[0] == 'trace':
        rows.append((float(f[2]), 'program', f[1] + (' ' + ' '.join(f[3:]) if len(f) > 3 else ''), True))
    elif f[0] == 'event':
        rows.append((float(f[2]), 'screen', f[1], False))
    elif f[0] == 'map':
        maps += 1
        rows.append((float(f[-1]), 'screen', f'map {"splash" if maps == 1 else "main window"} {f[2]},{f[3]} {f[4]}x{f[5]}', False))
    elif f[0] == 'unmap':
        rows.append((float(f[-1]), 'screen', 'unmap', False))
timeline = sorted((t - t0 if absolute else t, who, what) for t, who, what, absolute in rows)
last = 0.0
for t, who, what in timeline:
    print(f'  {t:8.1f} ms  (+{t - last:6.1f})  {who:<8} {what}')
    last = t
EOF
done
