#!/usr/bin/env bash
# Starts the program from a demo folder on a virtual X server against the simulator,
# checks that it shows a window with content after its first refresh, closes it with
# SIGTERM and checks that the settings and profile files are untouched.
#
# Usage: run-e2e.sh PELMARK2 PELMARK_STATSIM TRACKS_DATA XWDCHECK
set -uo pipefail

if [ $# -ne 4 ]; then
    echo "usage: $0 PELMARK2 PELMARK_STATSIM TRACKS_DATA XWDCHECK" >&2
    exit 2
fi
program=$1
statsim=$2
tracks=$3
xwdcheck=$4

for tool in Xvfb xwininfo xwd sha256sum curl; do
    if ! command -v "$tool" >/dev/null; then
        echo "FAIL: $tool is missing (packages xvfb, x11-utils, x11-apps)"
        exit 1
    fi
done

work=$(mktemp -d)
demo=$work/demo
xvfb_pid=
sim_pid=
app_pid=

stop() { # pid: TERM, then KILL when it does not go within 5 s
    local pid=$1
    [ -n "$pid" ] || return 0
    kill -TERM "$pid" 2>/dev/null || return 0
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
}

cleanup() {
    stop "$app_pid"
    stop "$sim_pid"
    stop "$xvfb_pid"
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

started=$(date +%s)
fail() {
    echo "FAIL: $*"
    for log in sim.log app.log xvfb.log; do
        if [ -s "$work/$log" ]; then
            echo "--- $log (last lines)"
            tail -n 20 "$work/$log"
        fi
    done
    exit 1
}
pass() { echo "PASS: $*"; }

# Runs the condition every 0.1 s until it holds; fails after the limit or when the
# program has gone meanwhile.
wait_for() {
    local seconds=$1 what=$2
    shift 2
    local tries=$((seconds * 10))
    for _ in $(seq "$tries"); do
        if "$@"; then
            return 0
        fi
        if [ -n "$app_pid" ] && ! kill -0 "$app_pid" 2>/dev/null; then
            fail "the program ended while waiting for $what"
        fi
        sleep 0.1
    done
    fail "no $what within $seconds s"
}

# ---- the demo folder ----------------------------------------------------------------
mkdir -p "$demo/data/groups" || fail "cannot make the demo folder"
cp "$program" "$demo/Pelmark2" && cp "$tracks" "$demo/data/Tracks.data" ||
    fail "cannot copy the program and Tracks.data"
"$statsim" --write-demo-roster "$demo/data/groups" || fail "cannot write the demo roster"
ls "$demo"/data/groups/*.profile >/dev/null 2>&1 || fail "the demo roster has no profile files"

"$statsim" --port 0 --log >"$work/sim.out" 2>"$work/sim.log" &
sim_pid=$!
wait_for 10 "simulator address" grep -q '^listening on 127\.0\.0\.1:[0-9]' "$work/sim.out"
port=$(sed -n 's/^listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$work/sim.out")
pass "simulator listens on 127.0.0.1:$port"

printf '[SERVICE]\r\nStatsServer=http://127.0.0.1:%s\r\nHighlightsServer=http://127.0.0.1:%s\r\n' \
    "$port" "$port" >"$demo/Pelmark2.config"
(cd "$demo" && sha256sum Pelmark2.config data/groups/*.profile) >"$work/files.sha256"

# ---- the virtual display: Xvfb picks a free display and names it -------------------
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
wait_for 15 "virtual display" test -s "$work/display"
display=:$(head -n 1 "$work/display")
pass "Xvfb runs on $display"

# ---- the program ------------------------------------------------------------------
DISPLAY=$display QT_QPA_PLATFORM=xcb "$demo/Pelmark2" >"$work/app.log" 2>&1 &
app_pid=$!

wait_for 30 "host list request" grep -q '^GET /pubstat/get_stat2\.php?action=hosts 200' "$work/sim.log"
pass "first refresh asked for the host list"
# The ticker loads after the roster is built, at the end of start-up.
wait_for 30 "highlights request" grep -q '^GET /highlight_countries/' "$work/sim.log"
pass "roster built and ticker loaded"

main_window_shown() {
    xwininfo -display "$display" -root -tree 2>/dev/null |
        grep '"Pelmark II": ("Pelmark2"' | grep -Eq ' [0-9]{3,}x[0-9]{3,}\+'
}
wait_for 30 "main window" main_window_shown
pass "main window \"Pelmark II\" is shown"

# Painting follows the mapping; a few tries give it time.
shot_has_content() {
    xwd -root -silent -display "$display" >"$work/shot.xwd" 2>/dev/null &&
        "$xwdcheck" "$work/shot.xwd" 64 >"$work/shot.txt" 2>&1
}
wait_for 15 "screenshot with content" shot_has_content
pass "screenshot is not blank ($(cat "$work/shot.txt"))"

# ---- closing ----------------------------------------------------------------------
# Sends SIGTERM and fails unless the program ends with status 0 within SECONDS.
terminate_within() {
    local seconds=$1 when=$2
    kill -TERM "$app_pid"
    local exited=
    for _ in $(seq $((seconds * 10))); do
        if ! kill -0 "$app_pid" 2>/dev/null; then
            exited=1
            break
        fi
        sleep 0.1
    done
    [ -n "$exited" ] || fail "the program did not end within $seconds s of SIGTERM $when"
    wait "$app_pid"
    local status=$?
    app_pid=
    [ "$status" -eq 0 ] || fail "the program ended with status $status $when"
    pass "SIGTERM ended the program with status 0 $when"
}
terminate_within 15 "after its first refresh"

(cd "$demo" && sha256sum --quiet -c "$work/files.sha256") ||
    fail "the settings or profile files changed"
# The last-seen record of mates seen online is the only file a plain run keeps.
written=$(find "$demo" -newer "$work/files.sha256" -type f ! -path "$demo/data/LastSeen.json")
[ -z "$written" ] || fail "the program wrote files: $written"
pass "settings file and profile files are unchanged"

# ---- a box open: the signal must end the run all the same ---------------------------
# A refresh every 2 s; the first succeeds, a later one fails and shows its error box.
printf '[SERVICE]\r\nStatsServer=http://127.0.0.1:%s\r\nHighlightsServer=http://127.0.0.1:%s\r\n[SETTINGS]\r\nInterval=2000\r\n' \
    "$port" "$port" >"$demo/Pelmark2.config"
(cd "$demo" && sha256sum Pelmark2.config data/groups/*.profile) >"$work/files.sha256"
requests_before=$(grep -c '^GET /pubstat/get_stat2\.php?action=hosts' "$work/sim.log")
DISPLAY=$display QT_QPA_PLATFORM=xcb "$demo/Pelmark2" >"$work/app.log" 2>&1 &
app_pid=$!
another_request() {
    [ "$(grep -c '^GET /pubstat/get_stat2\.php?action=hosts 200' "$work/sim.log")" -gt \
        "$requests_before" ]
}
wait_for 30 "first refresh of the second run" another_request
wait_for 30 "main window" main_window_shown
curl -fsS "http://127.0.0.1:$port/sim/control?fault=status&value=503" >/dev/null ||
    fail "cannot set the simulator's fault"
two_windows() {
    [ "$(xwininfo -display "$display" -root -tree 2>/dev/null |
        grep -c '"Pelmark II": ("Pelmark2"')" -ge 2 ]
}
wait_for 30 "error box beside the main window" two_windows
pass "the failed refresh shows its error box"
terminate_within 5 "with its error box open"
(cd "$demo" && sha256sum --quiet -c "$work/files.sha256") ||
    fail "the settings or profile files changed with the box open"

kill -TERM "$sim_pid"
wait "$sim_pid"
status=$?
sim_pid=
[ "$status" -eq 0 ] || fail "the simulator ended with status $status"
pass "simulator stopped"

echo "PASS: end-to-end run in $(($(date +%s) - started)) s"
