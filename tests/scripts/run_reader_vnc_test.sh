#!/usr/bin/env bash
# Without a display, scripts/run-reader.sh serves the reader over VNC on 127.0.0.1 behind a
# password made at each start and printed in the line that says how to connect: a client that
# asks for no authentication, or answers the challenge without the password, is refused; one
# with the printed password gets in. Loopback only; every wait is bounded.
#   run_reader_vnc_test.sh SOURCE_DIR      (exit 77, a skip, without Xvfb, x11vnc or python3)
set -uo pipefail

source_dir=$1
for tool in Xvfb x11vnc python3; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done

work=$(mktemp -d)
runner=""
cleanup() {
    if [ -n "$runner" ]; then
        kill -TERM "$runner" 2>/dev/null
        wait "$runner" 2>/dev/null
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# A stand-in for the reader: the test is about the display's door, not what it shows.
printf '#!/bin/sh\nexec sleep 60\n' >"$work/reader"
chmod +x "$work/reader"

start() {
    env -u DISPLAY -u WAYLAND_DISPLAY bash "$source_dir/scripts/run-reader.sh" "$work/reader" \
        >"$work/out.$1" 2>&1 &
    runner=$!
    local tries=200
    until grep -q 'virtual display' "$work/out.$1" 2>/dev/null; do
        tries=$((tries - 1))
        if [ "$tries" -le 0 ] || ! kill -0 "$runner" 2>/dev/null; then
            echo "FAIL: run-reader.sh did not say how to connect:"
            cat "$work/out.$1"
            exit 1
        fi
        sleep 0.1
    done
}
stop() {
    kill -TERM "$runner" 2>/dev/null
    wait "$runner" 2>/dev/null
    runner=""
}

start 1
line=$(grep 'virtual display' "$work/out.1")
port=$(sed -n 's/.*VNC viewer at 127\.0\.0\.1:\([0-9]*\).*/\1/p' <<<"$line")
password=$(sed -n 's/.*the password \([A-Za-z0-9]*\).*/\1/p' <<<"$line")
if [ -z "$port" ] || [ ${#password} -ne 8 ]; then
    echo "FAIL: no port and eight-character password in: $line"
    exit 1
fi
if grep -q 'vnc.html' <<<"$line" && ! grep -q "password=$password" <<<"$line"; then
    echo "FAIL: the browser address does not carry the password: $line"
    exit 1
fi

timeout 30 python3 - "$port" "$password" <<'PY'
import socket, sys, warnings

warnings.filterwarnings("ignore")  # single DES is old, and VNC's authentication is built on it

port, password = int(sys.argv[1]), sys.argv[2]

def exact(sock, n):
    data = b""
    while len(data) < n:
        chunk = sock.recv(n - len(data))
        if not chunk:
            raise ConnectionError("closed")
        data += chunk
    return data

def handshake():
    sock = socket.create_connection(("127.0.0.1", port), timeout=5)
    exact(sock, 12)  # the server's version
    sock.sendall(b"RFB 003.008\n")
    count = exact(sock, 1)[0]
    types = list(exact(sock, count)) if count else []
    return sock, types

def result(sock):
    try:
        return int.from_bytes(exact(sock, 4), "big")
    except (ConnectionError, socket.timeout):
        return None

failures = []

# Asking for no authentication at all.
sock, types = handshake()
if 1 in types:
    failures.append("the server offers no authentication (security type 1): %s" % types)
if 2 not in types:
    failures.append("the server offers no password authentication: %s" % types)
sock.sendall(bytes([1]))
if result(sock) == 0:
    failures.append("a client without the password was let in with no authentication")
sock.close()

def des_response(challenge, key):
    try:
        from cryptography.hazmat.primitives.ciphers import Cipher, algorithms, modes
    except ImportError:
        return None
    # VNC uses the password's bytes, each bit-reversed, as a DES key (TripleDES with one key).
    key = bytes(int("{:08b}".format(b)[::-1], 2) for b in key.encode().ljust(8, b"\0")[:8])
    encryptor = Cipher(algorithms.TripleDES(key * 3), modes.ECB()).encryptor()
    return encryptor.update(challenge) + encryptor.finalize()

def with_password(key):
    sock, types = handshake()
    if 2 not in types:
        sock.close()
        return "no password authentication"
    sock.sendall(bytes([2]))
    challenge = exact(sock, 16)
    response = des_response(challenge, key) if key is not None else bytes(16)
    if response is None:
        sock.close()
        return "untested"
    sock.sendall(response)
    answer = result(sock)
    sock.close()
    return answer

if with_password(None) == 0:
    failures.append("a client answering without the password was let in")
wrong = "x" + password[1:] if password[0] != "x" else "y" + password[1:]
if with_password(wrong) == 0:
    failures.append("a client with a wrong password was let in")
right = with_password(password)
if right == "untested":
    print("note: python3-cryptography is missing, so the printed password was not tried")
elif right != 0:
    failures.append("the printed password was refused (%s)" % right)

for failure in failures:
    print("FAIL:", failure)
sys.exit(1 if failures else 0)
PY
status=$?
stop

# The next start makes another password.
start 2
second=$(sed -n 's/.*the password \([A-Za-z0-9]*\).*/\1/p' "$work/out.2")
stop
if [ "$second" = "$password" ]; then
    echo "FAIL: two starts gave the same password"
    status=1
fi

if [ "$status" -eq 0 ]; then
    echo "the headless display asks for the password printed at its start"
fi
exit "$status"
