#!/usr/bin/env bash
# Installs a built tree, stripped, into a scratch prefix and checks what lands there: exactly the
# executable, the desktop entry and the three icons, and an executable whose resource table
# (the book among its entries) came through the strip byte for byte.
# Usage: check-install.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2

prefix=$(mktemp -d)
work=$(mktemp -d)
trap 'rm -rf "$prefix" "$work"' EXIT

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

cmake --install "$build" --prefix "$prefix" --strip > /dev/null

expected="./bin/ambervale
./share/applications/ambervale.desktop
./share/icons/hicolor/16x16/apps/ambervale.png
./share/icons/hicolor/32x32/apps/ambervale.png
./share/icons/hicolor/48x48/apps/ambervale.png"
actual=$(cd "$prefix" && find . \( -type f -o -type l \) | LC_ALL=C sort)
if [[ "$actual" != "$expected" ]]; then
    fail "installed files differ from the expected list"
    diff <(echo "$expected") <(echo "$actual") >&2 || true
fi

binary=$prefix/bin/ambervale
[[ -x $binary ]] || fail "bin/ambervale is not executable"

# The strip must have happened, or the next checks prove nothing.
sections=$(readelf -S -W "$binary")
if grep -q -E '\.symtab|\.debug_info' <<< "$sections"; then
    fail "bin/ambervale still has its symbol table or debug information"
fi

# The table's section must stay allocated ("A") so that the loader and strip keep it.
section=$(grep -E ' \.rsrc ' <<< "$sections" || true)
if [[ -z $section ]]; then
    fail "bin/ambervale has no .rsrc section"
else
    [[ $(awk '{ for (i = 1; i <= NF; i++) if ($i == "PROGBITS") print $(i + 5) }' <<< "$section") == *A* ]] \
        || fail ".rsrc is not allocated: $section"
    objcopy --dump-section ".rsrc=$work/installed.rsrc" "$binary" "$work/installed.out"
    objcopy --dump-section ".rsrc=$work/built.rsrc" "$build/ambervale" "$work/built.out"
    cmp -s "$work/installed.rsrc" "$work/built.rsrc" \
        || fail "the installed .rsrc differs from the built one"
    # The book is stored as it is in the source tree.
    /usr/bin/python3 - "$work/installed.rsrc" "$source/resources/d.htm" "$source/resources/ambervale.ico" <<'EOF' \
        || fail "the installed .rsrc does not hold the book and the icon verbatim"
import sys
table = open(sys.argv[1], "rb").read()
sys.exit(0 if all(open(path, "rb").read() in table for path in sys.argv[2:]) else 1)
EOF
fi

entry=$prefix/share/applications/ambervale.desktop
if [[ -f $entry ]]; then
    if command -v desktop-file-validate > /dev/null; then
        desktop-file-validate "$entry" || fail "desktop-file-validate rejects the desktop entry"
    fi
    for pair in Type=Application Name=Ambervale Exec=ambervale Icon=ambervale; do
        grep -qx "$pair" "$entry" || fail "the desktop entry lacks $pair"
    done
    # The command the entry runs is the file installed beside it under bin/.
    [[ -x $prefix/bin/$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry") ]] \
        || fail "the desktop entry's Exec is not the installed executable"
fi

for size in 16 32 48; do
    icon=$prefix/share/icons/hicolor/${size}x${size}/apps/ambervale.png
    [[ -f $icon ]] || continue
    # PNG signature, then the IHDR chunk's big-endian width and height.
    header=($(od -An -tu1 -N24 "$icon"))
    signature="${header[*]:0:8}"
    width=$(( (header[16] << 24) | (header[17] << 16) | (header[18] << 8) | header[19] ))
    height=$(( (header[20] << 24) | (header[21] << 16) | (header[22] << 8) | header[23] ))
    [[ $signature == "137 80 78 71 13 10 26 10" ]] || fail "$icon is not a PNG"
    [[ $width == "$size" && $height == "$size" ]] || fail "$icon is ${width}x${height}, not ${size}x${size}"
done

if [[ $failures -ne 0 ]]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "install layout: all checks passed"
