# Shared by the bench scripts: building what they run, and a fresh virtual screen per run.
# Sourced, not run.

BENCH_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
SOURCE_DIR=$(cd "$BENCH_DIR/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$SOURCE_DIR/build-bench}
PIXELWATCH=$BUILD_DIR/pixelwatch
PROGRAM=$BUILD_DIR/ambervale
BASELINE=$BUILD_DIR/baseline/baseline
PROBE=$BUILD_DIR/probe/probe

# The engine's sandbox cannot run as root; this concerns the bench's launches only.
if [[ $(id -u) -eq 0 ]]; then
    export QTWEBENGINE_DISABLE_SANDBOX=1
fi

# The same geometry as the reader's windows (twips / 15 at 96 dpi).
SCREEN=1024x768x24

build_all() {
    echo "building in $BUILD_DIR ..." >&2
    {
        cmake -S "$SOURCE_DIR" -B "$BUILD_DIR" &&
        cmake --build "$BUILD_DIR" -j2 --target ambervale &&
        cmake -S "$BENCH_DIR/baseline" -B "$BUILD_DIR/baseline" &&
        cmake --build "$BUILD_DIR/baseline" -j2 &&
        cmake -S "$BENCH_DIR/probe" -B "$BUILD_DIR/probe" &&
        cmake --build "$BUILD_DIR/probe" -j2 --target probe &&
        gcc -O2 -Wall -Wextra -o "$PIXELWATCH" "$BENCH_DIR/pixelwatch.c" -lX11 -lXext
    } > "$BUILD_DIR.bench-build.log" 2>&1 || {
        echo "build failed; see $BUILD_DIR.bench-build.log" >&2
        exit 1
    }
}

# Starts a fresh Xvfb on a free display; sets DISPLAY and XVFB_PID.
start_xvfb() {
    local fifo
    fifo=$(mktemp -u /tmp/ambervale-bench.XXXXXX)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 "$SCREEN" -br -nolisten tcp 3>"$fifo" 2>/dev/null &
    XVFB_PID=$!
    local number
    read -r number <"$fifo"
    rm -f "$fifo"
    export DISPLAY=:$number
}

stop_xvfb() {
    if [[ -n "${XVFB_PID:-}" ]]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
        XVFB_PID=
    fi
}

load_average() {
    cut -d' ' -f1-3 /proc/loadavg
}
