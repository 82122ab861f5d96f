#!/usr/bin/env bash
# The faith bar on the real clock: when quotation 1 and quotation 2 appear after the main window
# loads. Two observers run side by side, each on its own Xvfb (just over two minutes in all):
#
#   probe:  bench/probe, built from the reader's own libraries: the real splash, main window and
#           desktop platform (steady clock); it notes the moment the main window is created (its
#           quotation timers are armed then) and reads the faith bar's text every 5 ms, so it
#           also tells which quotation came.
#   screen: the reader's executable itself, watched from outside by bench/pixelwatch.c: the
#           first pixel of the main window, then the faith bar's strip grabbed every 100 ms;
#           each change of the strip after the window came up is a new text. Its delays count
#           from the window's first pixel, which comes a little after the window was created.
#           It cannot read the text; with --keep DIR the strips are kept as DIR/strips/*.png.
#
#   bash bench/faithbar.sh [--no-build] [--keep DIR]
set -euo pipefail
source "$(dirname "$0")/common.sh"

build=1
keep=
while [[ $# -gt 0 ]]; do
    case $1 in
        --no-build) build=0; shift ;;
        --keep) keep=$2; shift 2 ;;
        *) echo "usage: $0 [--no-build] [--keep DIR]" >&2; exit 2 ;;
    esac
done

[[ $build == 1 ]] && build_all

results=${keep:-$(mktemp -d /tmp/ambervale-faithbar.XXXXXX)}
mkdir -p "$results"
probe_xvfb=
screen_xvfb=
cleanup() {
    for pid in $probe_xvfb $screen_xvfb; do
        kill "$pid" 2>/dev/null || true
    done
    [[ -z "$keep" ]] && rm -rf "$results"
}
trap cleanup EXIT

echo "load average before: $(load_average) ($(nproc) cores)"
echo "running both observers for about 2 min 10 s ..."

start_xvfb
probe_xvfb=$XVFB_PID
# Quits by itself after the opening quotation and two changes, or after 150 s.
"$PROBE" faith 2 150000 >"$results/probe" 2>"$results/probe.err" &
probe_pid=$!

start_xvfb
screen_xvfb=$XVFB_PID
# The menu bar's empty right end tells the window is up; the faith bar is the client area's
# bottom 255 twips (17 px): 116, 457, 559 x 17 on the screen.
mkdir -p "$results/strips"
"$PIXELWATCH" -i 2000 -m 0 -T 150000 -l 126000 -o "$results/strips" \
    -s main:differ:600,124,4,4 \
    -w faithbar:116,457,559,17:100 \
    -- "$PROGRAM" >"$results/screen" 2>"$results/screen.err" &
screen_pid=$!

wait "$probe_pid" || true
wait "$screen_pid" || true
echo "load average after:  $(load_average)"
for strip in "$results"/strips/*.ppm; do
    [[ -e $strip ]] && convert "$strip" "${strip%.ppm}.png" && rm -f "$strip"
done

/usr/bin/python3 - "$results" <<'EOF'
import sys
results = sys.argv[1]

def verdict(delay, nominal):
    return 'ok' if delay is not None and abs(delay - nominal) <= 1000 else 'OFF'

print('\nprobe (real main window and desktop platform; times from the main window\'s creation)')
texts, shown, armed, timed_out = [], None, None, False
for line in open(f'{results}/probe'):
    f = line.rstrip('\n').split(' ', 3)
    if f[0] == 'shown':
        shown = float(f[1])
    elif f[0] == 'armed':
        armed = (float(f[1]), float(f[2]))
    elif f[0] == 'text':
        texts.append((float(f[1]), int(f[2]), f[3] if len(f) > 3 else ''))
    elif f[0] == 'timeout':
        timed_out = True
if armed:
    print(f'  twenty quotation timers armed from {armed[0] * 1000:.0f} to {armed[1] * 1000:.0f} us '
          f'(Timer20 first, Timer1 last)')
if shown is not None:
    print(f'  main window shown            {shown / 1000:9.3f} s')
if texts and texts[0][1] == 0:
    print(f'  opening quotation            {texts[0][0] / 1000:9.3f} s (first read)')
changes = texts[1:]
for i, (t, number, text) in enumerate(changes):
    gap = f', {(t - changes[i - 1][0]) / 1000:.3f} s after the one before' if i else ''
    label = f'quotation {number}' if number else 'unknown text'
    print(f'  change {i + 1}: {label:<17} {t / 1000:9.3f} s{gap}')
for n in (1, 2):
    got = next(((t, number) for t, number, _ in changes if number == n), None)
    if got:
        print(f'  quotation {n} at {got[0] / 1000:.3f} s, nominal {60 * n} s  [{verdict(got[0], 60000 * n)}]')
    else:
        print(f'  quotation {n} never came  [MISS]')
if changes and changes[0][1] != 1:
    print(f'  the chain began at Timer{changes[0][1]}: its expiry was delivered before Timer1\'s')
if timed_out:
    print('  (the probe timed out waiting for further changes)')

print('\nscreen (the reader\'s executable; times from the main window\'s first pixel)')
main, maps, strip = None, [], []
for line in open(f'{results}/screen'):
    f = line.split()
    if f[0] == 'event' and f[1] == 'main':
        main = float(f[2])
    elif f[0] == 'map':
        maps.append(float(f[-1]))
    elif f[0] == 'change':
        strip.append(float(f[2]))
if main is None:
    print('  the main window never showed')
else:
    if len(maps) >= 2:
        print(f'  main window mapped {maps[1] / 1000:.3f} s, first pixel {main / 1000:.3f} s after the start')
    # The window's own first paints change the strip too: only later changes are new texts.
    later = [t - main for t in strip if t - main > 5000]
    for n in (1, 2):
        if len(later) >= n:
            t = later[n - 1]
            gap = f', {(t - later[n - 2]) / 1000:.3f} s after the one before' if n > 1 else ''
            print(f'  change {n} of the faith bar    {t / 1000:9.3f} s{gap}  [{verdict(t, 60000 * n)}]')
        else:
            print(f'  change {n} of the faith bar    not seen')
    if len(later) > 2:
        print(f'  further changes: {", ".join(f"{t / 1000:.3f}" for t in later[2:])} s')
print('\nnominal: quotation 1 at 60 s, quotation 2 at 120 s after the main window loads '
      '(ok: within 1 s; the screen is grabbed every 100 ms)')
EOF
