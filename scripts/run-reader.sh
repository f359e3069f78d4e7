#!/usr/bin/env bash
# Starts the reader. On a desktop it opens the reader's window. On a machine without a display it
# starts the reader on a virtual display that only this machine can reach (a VNC server, and a
# browser page through noVNC when it is installed, both on 127.0.0.1), says how to reach it, and
# keeps the reader running until Ctrl-C, then stops everything it started. Other users of the
# machine reach 127.0.0.1 too, so the VNC server asks for a password made afresh at each start;
# the line that says how to connect carries it (the browser address has it built in).
#
#   scripts/run-reader.sh [path/to/lomeva]      (default: build/lomeva/lomeva)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
reader=${1:-$root/build/lomeva/lomeva}
if [ ! -x "$reader" ]; then
    echo "run-reader: $reader is not there; build the reader first (cmake --build build)." >&2
    exit 1
fi

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$reader"
fi

for tool in Xvfb x11vnc; do
    if ! command -v "$tool" >/dev/null; then
        echo "run-reader: there is no display and no $tool; install the Debian packages xvfb, x11vnc" \
            "and xauth (and novnc with websockify for a browser)." >&2
        exit 1
    fi
done

pids=()
work=$(mktemp -d "${TMPDIR:-/tmp}/lomeva-display.XXXXXX")

cleanup() {
    trap - EXIT INT TERM
    local pid
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# The first display number that no X server uses.
free_display() {
    local n=99
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do
        n=$((n + 1))
    done
    echo "$n"
}

# The first port from $1 on that nothing listens on at 127.0.0.1.
free_port() {
    local port=$1
    while (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; do
        port=$((port + 1))
    done
    echo "$port"
}

# Waits up to ten seconds for a condition.
wait_for() {
    local tries=100
    until "$@"; do
        tries=$((tries - 1))
        if [ "$tries" -le 0 ]; then
            return 1
        fi
        sleep 0.1
    done
}

port_open() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }

display=$(free_display)

# Qt keeps its runtime files here when the session has no folder of its own for them.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    export XDG_RUNTIME_DIR=$work/runtime
    mkdir -m 700 "$XDG_RUNTIME_DIR"
fi

# Only holders of this display's key may draw on it, when xauth is there to make one.
if command -v xauth >/dev/null; then
    export XAUTHORITY=$work/Xauthority
    touch "$XAUTHORITY"
    xauth -q -f "$XAUTHORITY" add ":$display" . "$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')"
    auth=(-auth "$XAUTHORITY")
else
    auth=()
fi

Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp "${auth[@]}" >"$work/xvfb.log" 2>&1 &
pids+=($!)
if ! wait_for test -S "/tmp/.X11-unix/X$display"; then
    echo "run-reader: the virtual display did not start:" >&2
    cat "$work/xvfb.log" >&2
    exit 1
fi

# A one-time password of eight letters and digits (VNC uses no more), in a file only this user
# can read: on the command line every user could see it.
one_time_password() {
    local letters=""
    while [ ${#letters} -lt 8 ]; do
        letters+=$(head -c 64 /dev/urandom | LC_ALL=C tr -dc 'A-Za-z0-9')
    done
    echo "${letters:0:8}"
}
password=$(one_time_password)
(umask 077 && echo "$password" >"$work/vnc-password")

vnc_port=$(free_port 5900)
x11vnc -display ":$display" "${auth[@]}" -localhost -rfbport "$vnc_port" \
    -passwdfile "$work/vnc-password" -forever -shared -quiet >"$work/x11vnc.log" 2>&1 &
pids+=($!)
if ! wait_for port_open "$vnc_port"; then
    echo "run-reader: the VNC server did not start:" >&2
    cat "$work/x11vnc.log" >&2
    exit 1
fi

web_port=""
if command -v websockify >/dev/null && [ -f /usr/share/novnc/vnc.html ]; then
    web_port=$(free_port 6080)
    websockify --web /usr/share/novnc "127.0.0.1:$web_port" "127.0.0.1:$vnc_port" \
        >"$work/websockify.log" 2>&1 &
    pids+=($!)
    wait_for port_open "$web_port" || web_port=""
fi

if [ -n "$web_port" ]; then
    echo "Lomeva runs on a virtual display: open http://127.0.0.1:$web_port/vnc.html?autoconnect=1&password=$password in a browser on this machine (from another one: ssh -L $web_port:127.0.0.1:$web_port THIS-HOST first), or a VNC viewer at 127.0.0.1:$vnc_port with the password $password."
else
    echo "Lomeva runs on a virtual display: point a VNC viewer at 127.0.0.1:$vnc_port on this machine (from another one: ssh -L $vnc_port:127.0.0.1:$vnc_port THIS-HOST first) and give it the password $password."
fi
echo "Press Ctrl-C to stop."

# The reader starts again whenever it ends, so that the display always shows it.
while true; do
    DISPLAY=":$display" "$reader" &
    reader_pid=$!
    pids+=("$reader_pid")
    wait "$reader_pid" || true
    unset 'pids[-1]'
    echo "The reader ended; it starts again in a moment (Ctrl-C stops)."
    sleep 1
done
