#!/usr/bin/env bash
# What a user's hand does: under a private X server, with a home of its own,
# start Tessaro, press the tray's first bead, drag it onto the pen and let
# go. The state file must then hold that bead.
#   dragbead.sh <tessaro executable>
set -euo pipefail
program=$1

if [ -z "${TESSARO_IN_XVFB:-}" ]; then
    home=$(mktemp -d)
    trap 'rm -rf "$home"' EXIT
    mkdir -m 700 "$home/run"
    # Nothing of the user's own setup may leak in, nor a desktop's bus, nor
    # another test's Tessaro through a shared runtime folder.
    exec env -i PATH="$PATH" HOME="$home" XDG_RUNTIME_DIR="$home/run" LANG=C.UTF-8 TESSARO_IN_XVFB=1 \
        ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}" UBSAN_OPTIONS="${UBSAN_OPTIONS:-}" \
        xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$0" "$program"
fi

state="$HOME/.local/share/tessaro/state.json"
"$program" > "$HOME/tessaro.log" 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true' EXIT

# The window, once it is mapped.
window=""
for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --name '^Tessaro$' 2>/dev/null | head -n1 || true)
    [ -n "$window" ] && break
    kill -0 "$pid" 2>/dev/null || { cat "$HOME/tessaro.log"; echo "Tessaro ended early"; exit 1; }
    sleep 0.2
done
[ -n "$window" ] || { cat "$HOME/tessaro.log"; echo "no window"; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$window")"

# At 1000 × 760 the tray's first cell (the glass group's first bead) sits
# near the panel's left edge and the empty pen across the stage's middle.
bead_x=$((X + 52)); bead_y=$((Y + 550))
pen_x=$((X + 500)); pen_y=$((Y + 185))
xdotool mousemove --sync "$bead_x" "$bead_y" mousedown 1
for step in 1 2 3 4 5 6 7 8; do
    xdotool mousemove --sync $((bead_x + (pen_x - bead_x) * step / 8)) \
        $((bead_y + (pen_y - bead_y) * step / 8))
done
xdotool mouseup 1

# Saved at once, written a moment later by the writer thread.
for _ in $(seq 100); do
    if [ -f "$state" ] && grep -q '"beads" *: *\[ *"cherry" *\]' "$state"; then
        echo "the state file holds the dragged bead"
        exit 0
    fi
    sleep 0.1
done
echo "the state file does not hold the dragged bead:"
cat "$state" 2>/dev/null || echo "(no state file)"
cat "$HOME/tessaro.log"
exit 1
