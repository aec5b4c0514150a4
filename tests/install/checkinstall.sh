#!/usr/bin/env bash
# Installs a build into a scratch folder, as a package would, and checks that
# every file a desktop needs landed where the desktop looks for it.
#   checkinstall.sh <build folder> <full bindir> <full datadir>
set -euo pipefail
build=$1 bindir=$2 datadir=$3
id=app.tessaro.Tessaro

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR="$root" cmake --install "$build" > "$root.log" 2>&1 || { cat "$root.log"; rm -f "$root.log"; exit 1; }
rm -f "$root.log"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
present() { [ -s "$root$1" ] || fail "missing $1"; }

for program in tessaro tessaro-page tessaro-widget; do
    [ -x "$root$bindir/$program" ] || fail "missing or not executable: $bindir/$program"
done
present "$datadir/applications/$id.desktop"
present "$datadir/metainfo/$id.metainfo.xml"
present "$datadir/icons/hicolor/scalable/apps/$id.svg"

# D-Bus starts exactly what Exec names, so it must be the installed program.
service="$datadir/dbus-1/services/$id.service"
present "$service"
if [ -f "$root$service" ]; then
    grep -qx "Name=$id" "$root$service" || fail "$service does not name $id"
    exec_line=$(grep '^Exec=' "$root$service" || true)
    [ "$exec_line" = "Exec=$bindir/tessaro --service" ] ||
        fail "$service says '$exec_line', not 'Exec=$bindir/tessaro --service'"
fi

# Each fixed size must hold a PNG of that size: the width and height are the
# two big-endian words after the signature and the IHDR header.
for size in 16 22 24 32 48 64 128 256 512; do
    png="$datadir/icons/hicolor/${size}x$size/apps/$id.png"
    if [ ! -f "$root$png" ]; then
        fail "missing $png"
        continue
    fi
    read -r -a bytes <<<"$(od -An -tu1 -j16 -N8 "$root$png")"
    width=$(((bytes[0] << 24) | (bytes[1] << 16) | (bytes[2] << 8) | bytes[3]))
    height=$(((bytes[4] << 24) | (bytes[5] << 16) | (bytes[6] << 8) | bytes[7]))
    [ "$width" = "$size" ] && [ "$height" = "$size" ] ||
        fail "$png is ${width}x$height, not ${size}x$size"
done

# The entry must show the icon installed under its id.
desktop="$root$datadir/applications/$id.desktop"
if [ -f "$desktop" ]; then
    grep -qx "Icon=$id" "$desktop" || fail "the desktop entry does not use the icon $id"
fi
# The software centres' own check of the installed metainfo and the desktop
# entry it launches. It reads <tree>/usr/share, wherever the prefix is; any
# note it makes (such as finding no metadata at all) counts as a failure.
mkdir -p "$root/.tree/usr"
ln -s "$root$datadir" "$root/.tree/usr/share"
if ! report=$(appstreamcli validate-tree --no-net --explain "$root/.tree" 2>&1) ||
    grep -q '^ *[EWI]: ' <<<"$report"; then
    echo "$report"
    fail "appstreamcli rejects the installed tree"
fi

[ "$failures" -eq 0 ] || exit 1
echo "every file landed in $bindir and $datadir"
