#!/usr/bin/env bash
# Tessaro as the desktop meets it: under a private X server with a small
# window manager, a tray host and a private session bus that can start
# Tessaro on demand. Text kept over the bus before any window exists, a
# second start with a keep link, the tray menu as the host reads it, closing
# the window and Ctrl+Alt+K (with and without Num Lock) bringing it back with
# the quotes sheet.
#   desktop.sh <tessaro executable> <statusnotifierwatcher executable>
set -euo pipefail
program=$(readlink -f "$1")
watcher=$(readlink -f "$2")

if [ -z "${TESSARO_IN_SESSION:-}" ]; then
    home=$(mktemp -d)
    trap 'rm -rf "$home"' EXIT
    mkdir -m 700 "$home/run"
    mkdir "$home/services"
    # What an install puts in dbus-1/services, pointing at this build.
    printf '[D-BUS Service]\nName=app.tessaro.Tessaro\nExec=%s --service\n' "$program" \
        > "$home/services/app.tessaro.Tessaro.service"
    cat > "$home/session.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=$home/run</listen>
  <servicedir>$home/services</servicedir>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
EOF
    # The bus inside the X server, so that what it starts finds the display.
    exec env -i PATH="$PATH" HOME="$home" XDG_RUNTIME_DIR="$home/run" LANG=C.UTF-8 \
        TESSARO_IN_SESSION=1 ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}" \
        UBSAN_OPTIONS="${UBSAN_OPTIONS:-}" \
        xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
        dbus-run-session --config-file="$home/session.conf" -- "$0" "$program" "$watcher"
fi

state="$HOME/.local/share/tessaro/state.json"
log="$HOME/tessaro.log"
fail() {
    echo "FAILED: $*"
    echo "--- state"; cat "$state" 2>/dev/null || echo "(none)"
    echo "--- log"; cat "$log" 2>/dev/null || true
    exit 1
}
# Polls for up to ten seconds (or $2 tenths), as a test waits for what it
# cannot hear.
wait_for() {
    for _ in $(seq "${2:-100}"); do
        if eval "$1"; then return 0; fi
        sleep 0.1
    done
    return 1
}
visible() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
# Alt+F4 as a hand presses it. A press that comes while the window manager
# is still taking the window in can be lost: it is pressed again, and said
# so, if the window is still there a few seconds later.
close_with_alt_f4() {
    local window
    for press in 1 2 3; do
        window=$(xdotool search --onlyvisible --name '^Tessaro$' | head -n1)
        [ -n "$window" ] || return 0
        [ "$press" -eq 1 ] || echo "Alt+F4 pressed again (press $press)"
        xdotool windowactivate --sync "$window"
        xdotool key alt+F4
        wait_for "! visible '^Tessaro\$'" 40 && return 0
    done
    for window in $(xdotool search --onlyvisible --name 'Tessaro'); do
        echo "still shown: $(xwininfo -id "$window" | grep -E 'xwininfo:|Override' | paste -sd ' ')"
    done
    return 1
}
# The Tessaro processes of this session (other tests may run their own).
ours() {
    for pid in $(pgrep -x tessaro); do
        tr '\0' '\n' < "/proc/$pid/environ" 2>/dev/null | grep -qx "HOME=$HOME" && echo "$pid"
    done
    return 0
}
running() { ours | wc -l; }
keep_line() {
    gdbus call --session --dest app.tessaro.Tessaro --object-path /app/tessaro/Tessaro \
        --method app.tessaro.Keeper.KeepLine "$1" "$2"
}

openbox > /dev/null 2>&1 &
openbox=$!
"$watcher" > "$HOME/items" &
host=$!
trap 'kill $(ours) "$openbox" "$host" 2>/dev/null || true' EXIT
wait_for 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window' || fail "no window manager"
wait_for 'gdbus introspect --session --dest org.kde.StatusNotifierWatcher --object-path / >/dev/null 2>&1' ||
    fail "no tray host"

# 1. Nothing runs: the bus starts Tessaro for the call, in the background,
# and the text is kept though no window was ever shown. Without a source,
# the calling program's name stands in.
answer=$(keep_line "Kept before any window" "")
[ "$answer" = "('',)" ] || fail "KeepLine answered $answer"
wait_for 'grep -q "Kept before any window" "$state" 2>/dev/null' || fail "the text was not kept"
grep -q '"source" *: *"gdbus"' "$state" || fail "the caller's name is not the source"
visible '^Tessaro$' && fail "a window appeared for a background start"
answer=$(keep_line "   " "Editor")
case "$answer" in "('',)") fail "a blank text was accepted" ;; esac

# 2. A second start with a link hands it over and ends at once; the names
# are read in their order of precedence, not the query's.
start=$(date +%s%N)
"$program" 'tessaro://keep?text=second&q=First%20link&src=Browser' >> "$log" 2>&1 ||
    fail "the second start did not end with 0"
echo "second start with a link: $(( ($(date +%s%N) - start) / 1000000 )) ms (sanitizer build)"
wait_for 'grep -q "First link" "$state"' || fail "the link's quote was not kept"
grep -q '"Browser"' "$state" || fail "the link's source was not kept"
[ "$(running)" -eq 1 ] || fail "$(running) Tessaro processes run"
# A start without the bus (from a terminal over ssh, say) finds the same one.
env -u DBUS_SESSION_BUS_ADDRESS "$program" 'tessaro://keep?q=Without%20the%20bus' >> "$log" 2>&1 ||
    fail "the start without the bus did not end with 0"
wait_for 'grep -q "Without the bus" "$state"' || fail "the quote from without the bus was not kept"
[ "$(running)" -eq 1 ] || fail "$(running) Tessaro processes run"

# 3. The tray menu, as the host reads it: the pen (an icon on a row of its
# own), the newest quotes, open and quit.
wait_for '[ -s "$HOME/items" ]' || fail "no tray icon registered"
layout=$(gdbus call --session --dest "$(head -n1 "$HOME/items")" --object-path /MenuBar \
    --method com.canonical.dbusmenu.GetLayout 0 10 '[]')
labels=$(grep -o "'label': <'[^']*'>" <<< "$layout" | sed "s/'label': <'\(.*\)'>/\1/" | paste -sd '|')
[ "$labels" = "|Without the bus|First link|Kept before any window|Open Tessaro|Quit Tessaro" ] ||
    fail "the tray menu reads $labels"
grep -q "'icon-data'" <<< "$layout" || fail "the tray menu has no pen"

# 4. A plain second start brings the window; closing it only hides it.
"$program" >> "$log" 2>&1 || fail "the plain second start failed"
wait_for "visible '^Tessaro\$'" || fail "the window did not come"
close_with_alt_f4 || fail "the window did not close"
[ "$(running)" -eq 1 ] || fail "closing the window ended Tessaro"

# 5. Ctrl+Alt+K brings it back with the quotes sheet, and again with Num
# Lock on (a grab matches exact modifier states).
xdotool key ctrl+alt+k
wait_for "visible '^Quotes'" || fail "Ctrl+Alt+K did not open the quotes"
visible '^Tessaro$' || fail "Ctrl+Alt+K did not show the window"
xdotool key Escape
wait_for "! visible '^Quotes'" || fail "the quotes sheet did not close"
close_with_alt_f4 || fail "the window did not close again"
xdotool key Num_Lock
xdotool key ctrl+alt+k
wait_for "visible '^Quotes'" || fail "Ctrl+Alt+K with Num Lock on did not open the quotes"
echo "one Tessaro kept text from the bus and a link, and came back with Ctrl+Alt+K"
