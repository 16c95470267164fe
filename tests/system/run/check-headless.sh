#!/usr/bin/env bash
# scripts/run.sh on a machine without a display: a port number or time that is not a plain
# decimal number stops it before anything starts, and runs nothing; while the tool runs, every
# listening socket of the processes it started is on 127.0.0.1 or ::1 and is not shared with
# another program's, another user can neither reach the X display nor pass the VNC server
# without the password printed, the owner can, and the browser view (K30_NOVNC=1) refuses a
# page of another origin; when the tool ends, or the script is stopped, every process it
# started is gone.
# Usage: check-headless.sh SOURCE_DIR K30CFG
set -euo pipefail

source_dir=$1 exe=$2
probe=$(dirname "$0")/rfbprobe.py
work=$(mktemp -d)
run_pid=""
log=""
neighbour=""

fail() {
    echo "FAIL: $*" >&2
    [ -f "$log" ] && sed 's/^/  run.sh: /' "$log" >&2
    exit 1
}

# On a failure, whatever run.sh left running is ended too.
started_pids=()
cleanup() {
    local status=$? pid
    if [ -n "$run_pid" ]; then
        kill "$run_pid" 2>/dev/null || true
        wait "$run_pid" 2>/dev/null || true
    fi
    for pid in "${started_pids[@]}" $neighbour; do
        kill "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT

# PID and every process below it, from /proc (an ended process not yet waited for counts as
# gone).
family() {
    local stat line rest pid queue=("$1")
    local -A children=()
    for stat in /proc/[0-9]*/stat; do
        read -r line 2>/dev/null <"$stat" || continue
        rest=${line##*) }
        [[ $rest == Z* ]] && continue
        read -r _ ppid _ <<<"$rest"
        children[$ppid]+=" ${line%% *}"
    done
    while [ ${#queue[@]} -gt 0 ]; do
        pid=${queue[0]}
        queue=("${queue[@]:1}")
        [ -e "/proc/$pid" ] && echo "$pid"
        # shellcheck disable=SC2206
        queue+=(${children[$pid]:-})
    done
}

# Starts run.sh the way a user would on a machine without a display, with an already built
# tool, and waits until it prints how to connect.
start() {
    # A log of its own for each start: the redirection happens only once the child runs.
    log=$(mktemp "$work/run.XXXXXX")
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM K30_EXE="$exe" K30_RUN_SECONDS=120 \
        "$@" "$source_dir/scripts/run.sh" </dev/null >"$log" 2>&1 &
    run_pid=$!
    for ((i = 0; i < 300; i++)); do
        grep -q "^Closing the tool" "$log" && return 0
        kill -0 "$run_pid" 2>/dev/null || fail "run.sh ended before the tool was shown"
        sleep 0.1
    done
    fail "run.sh printed no connection within 30 s"
}

# Every listener of the started processes is on the loopback; prints the ports.
loopback_ports() {
    local -A ours=()
    local pid line address
    for pid in $(family "$run_pid"); do ours[$pid]=1; done
    while read -r line; do
        while read -r pid; do
            [ -n "${ours[$pid]:-}" ] || continue
            address=$(awk '{print $5}' <<<"$line")
            [[ $address == 127.0.0.1:* || $address == "[::1]:"* ]] ||
                fail "a started process listens on $address: $line"
            echo "${address##*:}"
        done < <(grep -oE 'pid=[0-9]+' <<<"$line" | cut -d= -f2)
    done < <(ss -Hltunp)
}

# The first line a server sends, or the status line of an HTTP answer.
first_line() {
    local port=$1 request=${2:-} line=""
    exec 3<>"/dev/tcp/127.0.0.1/$port" || return 1
    [ -z "$request" ] || printf '%s' "$request" >&3
    read -r -t 5 line <&3 || true
    exec 3<&-
    echo "${line%$'\r'}"
}

# Values that are no plain decimal number, or no port: each stops run.sh before it starts
# anything, with a message that names the variable; bash arithmetic would have run the command
# in the subscript, or taken 70000 as port 4464.
pwned=$work/pwned
for setting in K30_VNC_PORT=abc K30_VNC_PORT=70000 K30_VNC_PORT=0 K30_VNC_PORT=0x170c \
    "K30_NOVNC_PORT=BASH_VERSINFO[\$(touch $pwned)0]+6080" K30_NOVNC_PORT=-1 \
    "K30_RUN_SECONDS=a[\$(touch $pwned)]"; do
    status=0
    timeout 20 env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM K30_EXE="$exe" K30_NOVNC=1 \
        K30_RUN_SECONDS=5 "$setting" "$source_dir/scripts/run.sh" </dev/null >"$work/bad" 2>&1 ||
        status=$?
    { [ "$status" = 2 ] && grep -q "^run.sh: ${setting%%=*} must be" "$work/bad" &&
        ! grep -q "k30cfg runs" "$work/bad"; } ||
        fail "$setting: status $status, printed: $(cat "$work/bad")"
    [ ! -e "$pwned" ] || fail "$setting ran the command in it"
done

# Another program on [::1] at the first VNC port tried, and on 127.0.0.1:65535.
python3 -c '
import socket, time
ours = socket.socket(socket.AF_INET6)
ours.bind(("::1", 0))
ours.listen()
try:
    top = socket.socket()
    top.bind(("127.0.0.1", 65535))
    top.listen()
except OSError:
    pass  # taken already
print(ours.getsockname()[1], flush=True)
time.sleep(300)' >"$work/neighbour" &
neighbour=$!
for ((i = 0; i < 50; i++)); do
    foreign=$(cat "$work/neighbour" 2>/dev/null) || true
    [ -n "$foreign" ] && break
    sleep 0.1
done
[ -n "$foreign" ] || fail "no listener of another program started"

# The next free port is not looked for past 65535: the last port taken stops run.sh.
status=0
timeout 20 env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM K30_EXE="$exe" \
    K30_RUN_SECONDS=5 K30_VNC_PORT=65535 "$source_dir/scripts/run.sh" </dev/null >"$work/top" \
    2>&1 || status=$?
{ [ "$status" = 1 ] &&
    grep -q "^run.sh: x11vnc found no free port from 65535 to 65535" "$work/top"; } ||
    fail "K30_VNC_PORT=65535 with 65535 taken: status $status, printed: $(cat "$work/top")"

for case in "tool ends" "script stopped, browser view"; do
    started=$SECONDS
    if [ "$case" = "tool ends" ]; then
        start env K30_NOVNC=0 K30_VNC_PORT="$foreign"
    else
        start env K30_NOVNC=1 K30_NOVNC_PORT="$foreign"
    fi
    vnc=$(sed -n 's/.*127\.0\.0\.1 port \([0-9]*\).*/\1/p' "$log" | head -1)
    password=$(sed -n 's/^  VNC password: *\([^ ]*\) .*/\1/p' "$log")
    [ -n "$vnc" ] || fail "$case: no VNC port printed"
    [ -n "$password" ] || fail "$case: no VNC password printed"
    ports=$(loopback_ports | sort -u)
    grep -qx "$vnc" <<<"$ports" || fail "$case: VNC port $vnc is not among the listeners: $ports"
    [[ $(first_line "$vnc") == "RFB "* ]] || fail "$case: no VNC greeting on 127.0.0.1:$vnc"
    mapfile -t started_pids < <(family "$run_pid")
    for port in $ports; do
        while read -r line; do
            [[ $line =~ pid=([0-9]+), && " ${started_pids[*]} " == *" ${BASH_REMATCH[1]} "* ]] ||
                fail "$case: port $port is shared with another program: $line"
        done < <(ss -Hltnp "sport = :$port")
    done
    if [ "$case" = "tool ends" ]; then
        # The VNC server asks a password (type 2 only), and only the one printed opens it.
        answer=$("$probe" "$vnc" --password NotTheOne) || true
        [ "$answer" = $'types 2\npassword refused' ] || fail "$case: a wrong password: $answer"
        answer=$("$probe" "$vnc" --password "$password") || true
        [ "$answer" = $'types 2\ndesktop 1280x800' ] || fail "$case: the password printed: $answer"
    else
        web=$(sed -n 's|.*http://127\.0\.0\.1:\([0-9]*\)/vnc\.html.*|\1|p' "$log")
        [ -n "$web" ] || fail "$case: no browser address printed"
        grep -qx "$web" <<<"$ports" || fail "$case: browser port $web is not listening"
        answer=$(first_line "$web" $'GET /vnc.html HTTP/1.0\r\n\r\n')
        [[ $answer == *" 200 "* ]] || fail "$case: GET /vnc.html answered '$answer'"
        answer=$("$probe" "$web" --origin http://evil.example) || true
        [[ $answer == "refused: "*" 403 "* ]] || fail "$case: a foreign page's WebSocket: '$answer'"
        answer=$("$probe" "$web" --origin "http://127.0.0.1:$web" --password "$password") || true
        [ "$answer" = $'types 2\ndesktop 1280x800' ] || fail "$case: the browser view: $answer"
    fi
    tool=""
    for pid in "${started_pids[@]}"; do
        [ "$(readlink "/proc/$pid/exe")" = "$(readlink -f "$exe")" ] && tool=$pid
    done
    [ -n "$tool" ] || fail "$case: the tool is not running"

    if [ "$case" = "tool ends" ]; then
        # The X display: another user (nobody) is refused, the owner with the tool's cookie is not.
        display=$(sed -n 's/.*private X display (\(:[0-9]*\)).*/\1/p' "$log")
        cookie=$(tr '\0' '\n' <"/proc/$tool/environ" | sed -n 's/^XAUTHORITY=//p')
        modes=$(stat -c %a "$cookie" "$(dirname "$cookie")" | tr '\n' ' ')
        [ "$modes" = "600 700 " ] || fail "$case: cookie file and folder modes $modes"
        setpriv --reuid=65534 --regid=65534 --clear-groups env -i DISPLAY="$display" \
            xdpyinfo >/dev/null 2>&1 && fail "$case: another user reaches the display $display"
        env -i DISPLAY="$display" XAUTHORITY="$cookie" xdpyinfo >/dev/null ||
            fail "$case: the owner cannot reach the display $display"
        kill "$tool"
    else
        kill "$run_pid"
    fi
    for ((i = 0; i < 150; i++)); do
        kill -0 "$run_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$run_pid" 2>/dev/null && fail "$case: run.sh still runs 15 s after the stop"
    wait "$run_pid" || true
    run_pid=""
    for pid in "${started_pids[@]}"; do
        [ -e "/proc/$pid" ] && ! grep -qE '^[0-9]+ \(.*\) Z' "/proc/$pid/stat" 2>/dev/null &&
            fail "$case: $(tr '\0' ' ' <"/proc/$pid/cmdline") (pid $pid) still runs"
    done
    echo "PASS: $case (${#started_pids[@]} processes, listening on 127.0.0.1/::1 ports" \
        "${ports//$'\n'/ }, $((SECONDS - started)) s)"
done
