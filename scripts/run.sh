#!/usr/bin/env bash
# Installs what is missing, builds in Release and starts the tool with a simulated K30
# attached (K30_SIMULATE=0: with the real ports instead).
#
# Without a display the tool runs on a private X server (Xvfb) that admits only clients with
# this run's cookie, and is shown by a VNC server that asks this run's password and accepts
# connections from this machine only (x11vnc -localhost: 127.0.0.1 and ::1); K30_NOVNC=1 adds
# a browser view (noVNC) on 127.0.0.1 that refuses pages of other origins. Nothing listens on
# any other address. Everything started here ends when the tool ends, and when this script is
# stopped.
#
#   K30_EXE=PATH       start this k30cfg, already built: no build step
#   K30_HEADLESS=1     the start without a display even where there is one
#   K30_VNC_PORT=N     first VNC port to try (5900); the next free one is taken
#   K30_NOVNC=1        also a browser view; K30_NOVNC_PORT=N first port to try (6080)
#   K30_RUN_SECONDS=N  end the tool after N seconds
set -euo pipefail
cd "$(dirname "$0")/.."

# Variable NAME (DEFAULT when unset or empty) as a decimal number from 1 to MAX, into variable
# OUT; anything else stops the script before it installs or starts anything. The value is
# matched, never evaluated: bash arithmetic runs the command in a subscript such as a[$(cmd)].
decimal() {
    local name=$1 default=$2 max=$3 out=$4 what=$5 value
    value=${!name:-$default}
    if [[ $value =~ ^0*([1-9][0-9]{0,9})$ ]] && ((BASH_REMATCH[1] <= max)); then
        printf -v "$out" %s "${BASH_REMATCH[1]}"
        return 0
    fi
    printf 'run.sh: %s must be %s from 1 to %s, written in decimal digits; not %q\n' \
        "$name" "$what" "$max" "$value" >&2
    exit 2
}
vnc_first="" web_first="" run_seconds=""
decimal K30_VNC_PORT 5900 65535 vnc_first "a port number"
decimal K30_NOVNC_PORT 6080 65535 web_first "a port number"
if [ -n "${K30_RUN_SECONDS:-}" ]; then
    decimal K30_RUN_SECONDS "" 999999999 run_seconds "a number of seconds"
fi

headless=${K30_HEADLESS:-0}
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    headless=1
fi
novnc=${K30_NOVNC:-0}
extra=()
if [ "$headless" = 1 ]; then
    extra+=(xvfb xauth x11vnc iproute2)
    [ "$novnc" = 1 ] && extra+=(novnc websockify)
fi
scripts/install-deps.sh "${extra[@]}"

exe=${K30_EXE:-}
if [ -z "$exe" ]; then
    cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release
    cmake --build build-release -j"$(nproc)" --target k30cfg
    exe=build-release/app/k30cfg
fi
if [ "${K30_SIMULATE:-1}" != 0 ]; then
    set -- --simulate "$@"
fi
if [ "$headless" != 1 ]; then
    exec "$exe" "$@"
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/k30-run.XXXXXX")
pids=()

# shellcheck disable=SC2317 # called from the traps below
# True while process PID runs (an ended child not yet waited for does not count).
running() {
    [ -e "/proc/$1" ] && ! grep -qE '^[0-9]+ \(.*\) Z' "/proc/$1/stat" 2>/dev/null
}

# shellcheck disable=SC2317
# Ends every process started here (the tool first, the X server last) and waits for each;
# one that is still there after 5 s is killed.
stop_all() {
    trap - EXIT INT TERM HUP
    local pid i
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null || true
    done
    for pid in "${pids[@]}"; do
        for ((i = 0; i < 50; i++)); do
            running "$pid" || break
            sleep 0.1
        done
        kill -KILL "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap stop_all EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

# Waits up to 10 s for FILE to hold a line matching PATTERN while process PID lives, and
# prints that line.
await_line() {
    local file=$1 pattern=$2 pid=$3 i line
    for ((i = 0; i < 100; i++)); do
        line=$(grep -m1 -E "$pattern" "$file" 2>/dev/null || true)
        if [ -n "$line" ]; then
            echo "$line"
            return 0
        fi
        kill -0 "$pid" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

failed() {
    echo "run.sh: $1 did not start:" >&2
    cat "$2" >&2
    exit 1
}

# Starts server NAME with STARTER PORT on the first port from FIRST on that nothing listens on,
# on any address, and sets served_port; stops the script when there is none. A program of
# another user on [::1]:PORT would receive the viewers that try "localhost" first, so a port
# counts only when every listener on it is the server's own. Another program may take a port
# between the look and the start: the server is stopped and the next port tried (20 in all,
# none past 65535). LOG is the server's log, shown when it fails.
served_port=""
serve_on_free_port() {
    local name=$1 starter=$2 first=$3 log=$4 port last=$(($3 + 19 < 65535 ? $3 + 19 : 65535))
    for ((port = first; port <= last; port++)); do
        [ -z "$(ss -Hltn "sport = :$port")" ] || continue
        if "$starter" "$port"; then
            served_port=$port
            return 0
        fi
        kill "${pids[-1]}" 2>/dev/null || true
        wait "${pids[-1]}" 2>/dev/null || true
        unset 'pids[-1]'
    done
    echo "run.sh: $name found no free port from $first to $last" >&2
    [ ! -f "$log" ] || cat "$log" >&2
    exit 1
}

# shellcheck disable=SC2317 # called from the servers' starters below
# True when process PID listens on 127.0.0.1:PORT and nothing else listens on PORT.
held_only_by() {
    local port=$1 pid=$2 line own=""
    while read -r line; do
        [[ $line == *"pid=$pid,"* ]] || return 1
        [[ $line == *" 127.0.0.1:$port "* ]] && own=1
    done < <(ss -Hltnp "sport = :$port")
    [ -n "$own" ]
}

# The X server admits only clients that present this cookie, and the VNC server only viewers
# that know this password: both new for every run, in files only this user can read, and never
# on a command line (which every user can see).
cookie=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
password=$(head -c 6 /dev/urandom | base64)
(
    umask 077
    : >"$work/xauthority"
    # The X server reads every cookie of the file whatever its display; clients look for theirs.
    printf 'add :0 . %s\n' "$cookie" | xauth -q -f "$work/xauthority" source -
    printf '%s\n' "$password" >"$work/vncpasswd"
)
export XAUTHORITY=$work/xauthority

# A free display number, chosen by the X server itself; no TCP listener.
Xvfb -displayfd 3 -nolisten tcp -auth "$XAUTHORITY" -screen 0 1280x800x24 3>"$work/display" \
    2>"$work/xvfb.log" &
pids+=($!)
display=$(await_line "$work/display" '^[0-9]+$' "${pids[-1]}") || failed Xvfb "$work/xvfb.log"
printf 'add :%s . %s\n' "$display" "$cookie" | xauth -q -f "$XAUTHORITY" source -

DISPLAY=":$display" QT_QPA_PLATFORM=xcb "$exe" "$@" &
tool=$!
pids+=("$tool")

# shellcheck disable=SC2317 # called by serve_on_free_port
start_vnc() {
    x11vnc -display ":$display" -auth "$XAUTHORITY" -localhost -rfbport "$1" -forever -shared \
        -passwdfile "$work/vncpasswd" -quiet >"$work/x11vnc.out" 2>"$work/x11vnc.log" &
    pids+=($!)
    [ "$(await_line "$work/x11vnc.out" '^PORT=' "${pids[-1]}")" = "PORT=$1" ] &&
        held_only_by "$1" "${pids[-1]}"
}
serve_on_free_port x11vnc start_vnc "$vnc_first" "$work/x11vnc.log"
vnc_port=$served_port

web_port=""
if [ "$novnc" = 1 ]; then
    # A web page of any other origin is refused the WebSocket (a page the user visits could
    # otherwise drive the tool); noVNC then asks the VNC password.
    # shellcheck disable=SC2317 # called by serve_on_free_port
    start_web() {
        websockify --web /usr/share/novnc --auth-plugin ExpectOrigin \
            --auth-source "http://127.0.0.1:$1" "127.0.0.1:$1" "127.0.0.1:$vnc_port" \
            >"$work/websockify.log" 2>&1 &
        pids+=($!)
        await_line "$work/websockify.log" "Listen on 127.0.0.1:$1" "${pids[-1]}" >/dev/null &&
            held_only_by "$1" "${pids[-1]}"
    }
    serve_on_free_port websockify start_web "$web_first" "$work/websockify.log"
    web_port=$served_port
fi

tunnel="-L $vnc_port:127.0.0.1:$vnc_port"
cat <<EOF
k30cfg runs on a private X display (:$display), shown to this machine only:
  VNC viewer on this machine:  127.0.0.1 port $vnc_port (e.g. vncviewer 127.0.0.1::$vnc_port)
EOF
if [ -n "$web_port" ]; then
    echo "  Browser on this machine:     http://127.0.0.1:$web_port/vnc.html?autoconnect=1"
    tunnel+=" -L $web_port:127.0.0.1:$web_port"
fi
cat <<EOF
  From another machine:        ssh $tunnel $(id -un)@$HOSTNAME
                               then the same addresses there
  VNC password:                $password (this start only)
Closing the tool ends it all.
EOF

if [ -n "$run_seconds" ]; then
    sleep "$run_seconds" &
    pids+=($!)
fi
# Whichever ends first (the tool, normally) ends everything.
status=0
wait -n "${pids[@]}" || status=$?
exit "$status"
