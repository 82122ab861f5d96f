#!/usr/bin/env bash
# Builds the Debian package from a built tree, checks its control fields and contents, installs
# it with apt-get, starts the installed /usr/bin/ambervale on a fresh Xvfb and waits for the
# book's title colour in the document view (the installed, stripped executable serving its own
# book through its res: address), keeps a screenshot, and removes the package again.
# Needs root (or sudo) and a machine where the package may be installed for a moment.
#
#   bash tests/install/deb-roundtrip.sh BUILD_DIR [SCREENSHOT.png]
set -euo pipefail
build=$(cd "$1" && pwd)
screenshot=${2:-/tmp/ambervale-installed.png}

as_root=()
[[ $(id -u) -ne 0 ]] && as_root=(sudo)

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

if dpkg-query -W -f='${Status}' ambervale 2>/dev/null | grep -q "install ok installed"; then
    echo "ambervale is installed already; remove it first, this script installs and removes it" >&2
    exit 2
fi

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
rm -f "$build"/ambervale_*.deb
(cd "$build" && cpack -G DEB > cpack.log 2>&1) || { echo "cpack failed; see $build/cpack.log" >&2; exit 1; }
deb=$(ls "$build"/ambervale_*.deb)
echo "package: $deb"

[[ $(dpkg-deb -f "$deb" Package) == ambervale ]] || fail "package name is not ambervale"
[[ $(dpkg-deb -f "$deb" Version) == "$version" ]] \
    || fail "package version $(dpkg-deb -f "$deb" Version) is not the project version $version"
[[ $(basename "$deb") == "ambervale_${version}_$(dpkg --print-architecture).deb" ]] \
    || fail "package file name $(basename "$deb") does not carry the version and architecture"
depends=$(dpkg-deb -f "$deb" Depends)
for package in xdg-utils fonts-liberation libqt6webenginewidgets6 libqt6printsupport6 libqt6widgets6; do
    grep -q -E "(^|, )$package( |,|$)" <<< "$depends" || fail "Depends lacks $package: $depends"
done

expected="./usr/bin/ambervale
./usr/share/applications/ambervale.desktop
./usr/share/icons/hicolor/16x16/apps/ambervale.png
./usr/share/icons/hicolor/32x32/apps/ambervale.png
./usr/share/icons/hicolor/48x48/apps/ambervale.png"
actual=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | LC_ALL=C sort)
if [[ "$actual" != "$expected" ]]; then
    fail "package contents differ from the expected list"
    diff <(echo "$expected") <(echo "$actual") >&2 || true
fi

work=$(mktemp -d)
app_pid=
xvfb_pid=
cleanup() {
    [[ -n $app_pid ]] && { kill "$app_pid" 2>/dev/null || true; wait "$app_pid" 2>/dev/null || true; }
    [[ -n $xvfb_pid ]] && { kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; }
    if dpkg-query -W -f='${Status}' ambervale 2>/dev/null | grep -q "install ok installed"; then
        DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get purge -y -qq ambervale > /dev/null
        echo "package removed"
    fi
    rm -rf "$work"
}
trap cleanup EXIT

DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq "$deb" > "$work/apt.log" 2>&1 \
    || { cat "$work/apt.log" >&2; exit 1; }
echo "installed: $(dpkg-query -W -f='${Package} ${Version}' ambervale)"
[[ $(command -v ambervale) == /usr/bin/ambervale ]] || fail "ambervale is not found on PATH at /usr/bin"

# The windows' stored places are meant for this screen (twips / 15 at 96 dpi).
fifo=$work/display
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1024x768x24 -br -nolisten tcp 3> "$fifo" 2> /dev/null &
xvfb_pid=$!
read -r display < "$fifo"

# The engine's sandbox cannot run as root; the variable is set for this launch only.
DISPLAY=:$display QTWEBENGINE_DISABLE_SANDBOX=1 /usr/bin/ambervale > "$work/ambervale.log" 2>&1 &
app_pid=$!

# The splash stands for three seconds; then the view should show the title in rgb(0, 0, 153)
# across its top strip (the view's top-left corner is at 124, 185 on this screen).
seen=0
for _ in $(seq 60); do
    sleep 0.5
    kill -0 "$app_pid" 2> /dev/null || break
    DISPLAY=:$display import -window root "$screenshot" 2> /dev/null || continue
    if /usr/bin/python3 - "$screenshot" <<'EOF'
import sys
from PIL import Image
strip = Image.open(sys.argv[1]).convert("RGB").crop((124, 185, 124 + 540, 185 + 80))
# The title is large type: a few stray pixels of the colour are not the title.
title = sum(count for count, colour in strip.getcolors(1 << 20) if colour == (0, 0, 153))
sys.exit(0 if title >= 500 else 1)
EOF
    then
        seen=1
        break
    fi
done
# A second look a moment later, for the screenshot to show the settled page.
if [[ $seen == 1 ]]; then
    sleep 2
    DISPLAY=:$display import -window root "$screenshot" 2> /dev/null || true
fi

if ! kill -0 "$app_pid" 2> /dev/null; then
    fail "the installed ambervale ended on its own"
    cat "$work/ambervale.log" >&2
fi
[[ $seen == 1 ]] || fail "the book's title never appeared in the view within 30 s"
echo "screenshot: $screenshot"

if [[ $failures -ne 0 ]]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "Debian package round trip: all checks passed"
