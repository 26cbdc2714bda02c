#!/usr/bin/env bash
# The clock tick on a real X server (Xvfb with openbox), as CPU of all threads of each program
# from /proc/PID/task/*/schedstat: the window with a day open beside a bare window renewing five
# labels and its caption as often, all three programs side by side so that each sees the same
# minutes change. First the window is the active one, as a user has it while looking at it;
# then a bare window with a focused time field is, and the window runs in the background.
# A focused field's caret blinks twice a second while its window is active: that is measured on
# its own, in the bare window with a field, and the window must cost no more than 1.2 times it
# when active, and 1.2 times the bare window in the background.
#   tick_on_x.sh <horalog> <horalog_bare_window> [seconds per part, default 30]
set -euo pipefail
program=$(realpath "$1")
bare=$(realpath "$2")
seconds=${3:-30}

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || { cat "$work/xvfb.log" >&2; exit 1; }
DISPLAY=":$(cat "$work/display")"
export DISPLAY
openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done

# A user with a day open since midnight, in the C locale, whose dates the program writes
# dd-MM-yyyy. A run across midnight would be asked about the new date instead: wait it out.
while [ "$(date +%H%M)" -ge 2358 ]; do
    sleep 5
done
home="$work/home"
mkdir -p "$home/config/horalog"
chmod 700 "$home"
printf 'x;0;-;-;-;0;0\r\n' >"$home/Horalog.Dat"
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Kvistborg\\Horalog]\n"Moedt"="%s 00:00"\n"Arbejdstimer"="7.4"\n"FrokostVarighed"="50"\n"FrokostArbejdstid"="450"\n"Filnavn"="%s"\n\n' \
    "$(date +%d-%m-%Y)" "$home/Horalog.Dat" >"$home/config/horalog/HKEY_CURRENT_USER.reg"

# Starts a program and prints its pid once its window shows; the window's id goes to a file.
start() {
    local name="$1"
    shift
    # No session bus: a desktop's accessibility bridge or tray would join in otherwise.
    env -u DBUS_SESSION_BUS_ADDRESS -u WAYLAND_DISPLAY -u SESSION_MANAGER HOME="$home" \
        XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home" LANG=C.UTF-8 LC_ALL=C.UTF-8 \
        QT_QPA_PLATFORM=xcb "$@" >"$work/$name.log" 2>&1 &
    local pid=$!
    if ! timeout 20 xdotool search --sync --onlyvisible --pid "$pid" >"$work/$name.window"; then
        echo "tick_on_x.sh: no window from $*" >&2
        cat "$work/$name.log" >&2
        exit 1
    fi
    echo "$pid"
}

# Gives a program's window the keyboard, as a click on it would.
activate() {
    local id
    id=$(head -n1 "$work/$1.window")
    timeout 10 xdotool windowactivate --sync "$id"
    [ "$(xdotool getactivewindow)" = "$id" ] || { echo "tick_on_x.sh: $1 not active" >&2; exit 1; }
}

# Nanoseconds on CPU of every thread of a process.
cpu() {
    cat /proc/"$1"/task/*/schedstat | mawk '{ s += $1 } END { printf "%d\n", s }'
}

# Each program's CPU over the next while, in the order given.
measure() {
    local before=() pid i=0
    for pid in "$@"; do
        before+=("$(cpu "$pid")")
    done
    sleep "$seconds"
    for pid in "$@"; do
        kill -0 "$pid" 2>/dev/null || { echo "tick_on_x.sh: a program ended early" >&2; exit 1; }
        echo $(($(cpu "$pid") - before[i++]))
    done
}

plain=$(start plain "$bare")
pids+=("$plain")
field=$(start field "$bare" --field)
pids+=("$field")
window=$(start window "$program")
pids+=("$window")
activate window
sleep 3  # start-up's own work is over by then
measure "$window" "$plain" "$field" >"$work/active"
activate field
sleep 1
measure "$window" "$plain" "$field" >"$work/behind"
mapfile -t active <"$work/active"
mapfile -t behind <"$work/behind"

mawk -v s="$seconds" -v wa="${active[0]}" -v pa="${active[1]}" -v wb="${behind[0]}" \
    -v pb="${behind[1]}" -v fb="${behind[2]}" 'BEGIN {
    printf "tick on X, %d s each, CPU of all threads:\n", s
    printf "  window active: %.1f ms, bare window %.1f ms: ratio %.2f\n", wa / 1e6, pa / 1e6, wa / pa
    printf "  bare window with a focused field, active: %.1f ms: window active / it %.2f\n",
        fb / 1e6, wa / fb
    printf "  window in the background: %.1f ms, bare window %.1f ms: ratio %.2f\n",
        wb / 1e6, pb / 1e6, wb / pb
    exit wa > 1.2 * fb || wb > 1.2 * pb }'
