#!/usr/bin/env bash
# Start-up of the reader, watched from outside on a fresh Xvfb per run, against a bare web view
# that shows the same book (bench/baseline). Three variants of the reader's start-up, built from
# its own libraries by bench/probe, show what the warm-up during the splash is worth: one
# without it; one whose warm view keeps the page it loaded instead of loading it again when the
# main window sends it to the start page; and one that also shows the warm view off the screen
# (Qt::WA_DontShowOnScreen) during the splash, so that the page is rendered before the main
# window takes the view.
#
#   bash bench/startup.sh [--runs N] [--no-build] [--keep DIR]
#
# Per run, times in ms from the fork of the process, by bench/pixelwatch.c (grabs every 1 ms):
#   reader:   first splash pixel; splash gone; first pixel of the main window; the book's title
#             colour rgb(0,0,153) in the view's top strip
#   baseline: first pixel of its window; the title colour in its top strip
# and the peak of the summed proportional set size (Pss, /proc/<pid>/smaps_rollup) of the
# process and all its descendants (QtWebEngineProcess), sampled every 50 ms until 1.5 s after
# the book was painted; also the peak of its anonymous and shmem part alone. One round of untimed runs goes first, to fill the page cache.
set -euo pipefail
source "$(dirname "$0")/common.sh"

runs=5
build=1
keep=
while [[ $# -gt 0 ]]; do
    case $1 in
        --runs) runs=$2; shift 2 ;;
        --no-build) build=0; shift ;;
        --keep) keep=$2; shift 2 ;;
        *) echo "usage: $0 [--runs N] [--no-build] [--keep DIR]" >&2; exit 2 ;;
    esac
done

[[ $build == 1 ]] && build_all

results=${keep:-$(mktemp -d /tmp/ambervale-startup.XXXXXX)}
mkdir -p "$results"
trap 'stop_xvfb; [[ -z "$keep" ]] && rm -rf "$results"' EXIT

# Splash: 3675, 3165 twips, 364 x 130 px. Main window: client area at 1740, 2055 twips (116, 137
# px), 559 x 337 px, its menu bar just above; the view at 120, 720 twips (8, 48 px) inside it.
reader_stages=(
    -s splash:differ:255,221,8,8
    -s splash_gone:same:255,221,8,8
    -s main:differ:600,124,4,4
    -s book:colour:124,185,540,80:000099
)
# The baseline's window stands where the reader's client area stands.
baseline_stages=(
    -s window:differ:600,440,4,4
    -s book:colour:116,137,559,80:000099
)
watch=("$PIXELWATCH" -i 1000 -m 50 -l 1500 -T 30000)

run_one() { # name round command...
    local name=$1 round=$2
    shift 2
    start_xvfb
    local out=$results/$name.$round
    if ! "$@" >"$out" 2>"$out.err"; then
        echo "run $name.$round did not complete:" >&2
        cat "$out" >&2
    fi
    stop_xvfb
}

echo "load average before: $(load_average) ($(nproc) cores)"
for ((round = 0; round <= runs; round++)); do
    # Round 0 fills the page cache and is not counted. Interleaved, so that a busy moment on the
    # machine falls on all of them alike.
    run_one reader $round "${watch[@]}" "${reader_stages[@]}" -- "$PROGRAM"
    run_one baseline $round "${watch[@]}" "${baseline_stages[@]}" -- "$BASELINE" "$SOURCE_DIR/resources/d.htm"
    run_one nowarm $round "${watch[@]}" "${reader_stages[@]}" -- "$PROBE" start --no-warm-up
    run_one kept $round "${watch[@]}" "${reader_stages[@]}" -- "$PROBE" start --keep-warm-page
    run_one offscreen $round "${watch[@]}" "${reader_stages[@]}" -- "$PROBE" start --warm-offscreen
    echo "round $round of $runs done" >&2
done
echo "load average after:  $(load_average)"

/usr/bin/python3 - "$results" "$runs" <<'EOF'
import statistics, sys
results, runs = sys.argv[1], int(sys.argv[2])

def parse(path):
    events, maps, values = {}, [], {}
    for line in open(path):
        f = line.split()
        if not f:
            continue
        if f[0] == 'event':
            events[f[1]] = float(f[2])
        elif f[0] == 'map':
            maps.append(float(f[-1]))
        elif f[0].startswith('pss_'):
            values[f[0]] = int(f[1])
    return events, maps, values

def figures(name):
    rows = []
    for r in range(1, runs + 1):
        try:
            ev, maps, val = parse(f'{results}/{name}.{r}')
        except FileNotFoundError:
            continue
        row = {'pss': val.get('pss_peak_kb', 0) / 1024, 'own': val.get('pss_own_peak_kb', 0) / 1024}
        if 'splash' in ev:
            row['first'] = ev['splash']
            row['first_map'] = maps[0] if maps else None
        if 'window' in ev:
            row['first'] = ev['window']
            row['first_map'] = maps[0] if maps else None
        if 'book' in ev:
            if 'splash_gone' in ev:
                row['closed_to_book'] = ev['book'] - ev['splash_gone']
                row['closed_to_main'] = ev['main'] - ev['splash_gone']
                row['shown_to_book'] = ev['book'] - ev['main']
                if len(maps) >= 2:
                    row['map_to_book'] = ev['book'] - maps[1]
                    row['closed_to_map'] = maps[1] - ev['splash_gone']
            else:
                row['shown_to_book'] = ev['book'] - ev['window']
                if maps:
                    row['map_to_book'] = ev['book'] - maps[0]
            row['start_to_book'] = ev['book']
        rows.append(row)
    return rows

def med(rows, key):
    values = [r[key] for r in rows if r.get(key) is not None]
    return (statistics.median(values), values) if values else (None, [])

reader, baseline = figures('reader'), figures('baseline')
nowarm, kept, offscreen = figures('nowarm'), figures('kept'), figures('offscreen')
print(f'\nruns counted: reader {len(reader)}, baseline {len(baseline)}, without warm-up {len(nowarm)}, '
      f'keeping the warm page {len(kept)}, rendering it off the screen {len(offscreen)}')
print('medians in ms (all runs in brackets); memory in MiB of summed Pss\n')

def line(label, key, rows, unit='ms'):
    m, values = med(rows, key)
    if m is None:
        print(f'  {label:<52} n/a')
        return None
    print(f'  {label:<52} {m:8.1f} {unit}   [{", ".join(f"{v:.0f}" for v in values)}]')
    return m

print('reader (build-bench/ambervale)')
r_first = line('(a) start -> first splash pixel', 'first', reader)
line('    start -> splash window mapped', 'first_map', reader)
line('(b) splash gone -> book painted', 'closed_to_book', reader)
line('    splash gone -> main window mapped', 'closed_to_map', reader)
line('    splash gone -> first main window pixel', 'closed_to_main', reader)
r_shown = line('    first main window pixel -> book painted', 'shown_to_book', reader)
r_map = line('    main window mapped -> book painted', 'map_to_book', reader)
line('    start -> book painted', 'start_to_book', reader)
r_pss = line('(c) peak Pss of the process tree', 'pss', reader, 'MiB')
r_own = line('    peak anonymous + shmem Pss ("own")', 'own', reader, 'MiB')
print('baseline (bench/baseline: a bare QWebEngineView with the book)')
b_first = line('    start -> first window pixel', 'first', baseline)
line('    start -> window mapped', 'first_map', baseline)
b_shown = line('    first window pixel -> book painted', 'shown_to_book', baseline)
b_map = line('    window mapped -> book painted', 'map_to_book', baseline)
line('    start -> book painted', 'start_to_book', baseline)
b_pss = line('    peak Pss of the process tree', 'pss', baseline, 'MiB')
b_own = line('    peak anonymous + shmem Pss ("own")', 'own', baseline, 'MiB')
for title, rows in [('reader without warm-up (bench/probe start --no-warm-up)', nowarm),
                    ('reader keeping the warm page (bench/probe start --keep-warm-page)', kept),
                    ('reader rendering the kept page off the screen during the splash '
                     '(bench/probe start --warm-offscreen)', offscreen)]:
    print(title)
    line('    start -> first splash pixel', 'first', rows)
    line('    splash gone -> book painted', 'closed_to_book', rows)
    line('    splash gone -> main window mapped', 'closed_to_map', rows)
    line('    first main window pixel -> book painted', 'shown_to_book', rows)
    line('    main window mapped -> book painted', 'map_to_book', rows)
    line('    peak Pss of the process tree', 'pss', rows, 'MiB')
    line('    peak anonymous + shmem Pss ("own")', 'own', rows, 'MiB')

def ratio(a, b):
    return a / b if a is not None and b else None

print('\nratios reader / baseline (medians)')
for label, a, b in [('start -> first pixel', r_first, b_first),
                    ('window shown -> book painted (first pixel)', r_shown, b_shown),
                    ('window shown -> book painted (window mapped)', r_map, b_map),
                    ('peak Pss', r_pss, b_pss),
                    ('peak anonymous + shmem Pss', r_own, b_own)]:
    q = ratio(a, b)
    print(f'  {label:<52} {q:8.3f}' if q is not None else f'  {label:<52} n/a')

print('\ngoals')
def goal(label, value, limit, unit):
    shown = 'n/a' if value is None else f'{value:.3f}{unit}' if unit == ' x' else f'{value:.0f}{unit}'
    verdict = 'n/a ' if value is None else 'met ' if value <= limit else 'MISS'
    print(f'  {verdict}  {label} ({shown})')
goal('first splash pixel within 100 ms of start', r_first, 100, ' ms')
goal('book within 50 ms of the main window showing (its first pixel)', r_shown, 50, ' ms')
goal("book within 0.4 x the baseline's window-to-painted time (first pixel)", ratio(r_shown, b_shown), 0.4, ' x')
goal("book within 0.4 x the baseline's window-to-painted time (window mapped)", ratio(r_map, b_map), 0.4, ' x')
goal('peak Pss within 1.10 x the baseline', ratio(r_pss, b_pss), 1.10, ' x')
print('\nPss shares a library\'s pages among every process on the machine that maps it, so its\n'
      'file-backed part shrinks while other programs using Qt WebEngine run; the anonymous and\n'
      'shmem part ("own") does not. Timings stretch when the machine is busy: see the load average.')
EOF
