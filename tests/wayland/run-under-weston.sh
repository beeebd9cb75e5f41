#!/usr/bin/env bash
# Runs a command as a client of a real Wayland compositor without a screen: Weston on a virtual
# X server (Xvfb), in a runtime folder of its own, with Qt's Wayland platform. Weston's headless
# back end has no seat, and without a seat a Wayland client has no clipboard and no drag and
# drop; on X the compositor gets the virtual server's keyboard and pointer as its seat.
#
#   run-under-weston.sh COMMAND [ARGUMENTS...]
#
# The command's exit status is the script's; a compositor that does not come up fails it.
set -euo pipefail

for tool in Xvfb weston; do
    command -v "$tool" >/dev/null || { echo "run-under-weston: $tool is not installed" >&2; exit 2; }
done

work=$(mktemp -d /tmp/kura-weston.XXXXXX)
chmod 700 "$work"
xvfb_pid=""
weston_pid=""
cleanup() {
    [ -n "$weston_pid" ] && kill "$weston_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# A display number of its own: Xvfb writes the number it took.
exec {displayfd}>"$work/display"
Xvfb -displayfd "$displayfd" -screen 0 1280x800x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
display=":$(head -n1 "$work/display")"
[ "$display" != ":" ] || { echo "run-under-weston: Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 2; }

mkdir -m 700 "$work/runtime"
DISPLAY="$display" XDG_RUNTIME_DIR="$work/runtime" weston --backend=x11-backend.so --use-pixman \
    --socket=kura-wayland --width=1200 --height=760 --idle-time=0 >"$work/weston.log" 2>&1 &
weston_pid=$!
for _ in $(seq 100); do
    [ -S "$work/runtime/kura-wayland" ] && break
    sleep 0.1
done
[ -S "$work/runtime/kura-wayland" ] || { echo "run-under-weston: Weston did not start" >&2; cat "$work/weston.log" >&2; exit 2; }

status=0
env -u DISPLAY XDG_RUNTIME_DIR="$work/runtime" WAYLAND_DISPLAY=kura-wayland QT_QPA_PLATFORM=wayland "$@" || status=$?
exit "$status"
