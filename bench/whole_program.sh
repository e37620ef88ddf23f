#!/usr/bin/env bash
# Runs the program for a minute under a virtual X server against the local simulator,
# with the ticker scrolling and the game watch ticking, and the same for an empty Qt
# window. Prints one line per program:
#   <name> cpu_s=<utime+stime> cpu_after_startup_s=<same, first 5 s left out> hwm_kb=<VmHWM>
# Usage: bench/whole_program.sh [build-dir] [seconds]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-bench}"
seconds="${2:-60}"
startup=5
bin="$build/bin"
for f in Pelmark2 pelmark-statsim bare_window; do
    [ -x "$bin/$f" ] || { echo "missing $bin/$f (build first)" >&2; exit 1; }
done

work="$(mktemp -d)"
sim_pid=""
cleanup() {
    [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# A demo folder as the demo script makes it.
demo="$work/demo"
mkdir -p "$demo/data/groups"
cp "$bin/Pelmark2" "$demo/Pelmark2"
cp "$root/data/Tracks.data" "$demo/data/Tracks.data"
"$bin/pelmark-statsim" --write-demo-roster "$demo/data/groups" >/dev/null

coproc SIM { exec "$bin/pelmark-statsim" --port 0; }
sim_pid=$SIM_PID
read -r line <&"${SIM[0]}"
port="${line##*:}"
case "$port" in '' | *[!0-9]*) echo "simulator did not start: $line" >&2; exit 1 ;; esac

# An LFS path makes the one-second game watch read the process list, as it does for
# a user who has set up the game; nothing by that name runs, so refreshes stay on.
cat >"$demo/Pelmark2.config" <<CONFIG
[SETTINGS]
LFSPath=$work/game/LFS.exe
[SERVICE]
StatsServer=http://127.0.0.1:$port
HighlightsServer=http://127.0.0.1:$port
CONFIG

# Runs inside the virtual X server: starts the program, samples its CPU ticks after
# start-up and at the end, its peak memory just before it ends, then asks it to close.
measure='
set -euo pipefail
name="$1" startup="$2" seconds="$3"; shift 3
tck=$(getconf CLK_TCK)
ticks() { awk "{print \$14 + \$15}" "/proc/$1/stat"; }
"$@" >/dev/null 2>&1 &
pid=$!
sleep "$startup"
t0=$(ticks "$pid")
sleep $((seconds - startup))
t1=$(ticks "$pid")
hwm=$(awk "/^VmHWM:/ {print \$2}" "/proc/$pid/status")
kill -TERM "$pid"
wait "$pid" || true
awk -v n="$name" -v a="$t1" -v b="$t0" -v t="$tck" -v h="$hwm" \
    "BEGIN { printf \"%s cpu_s=%.2f cpu_after_startup_s=%.2f hwm_kb=%d\n\", n, a / t, (a - b) / t, h }"
'

run() {
    xvfb-run -a -s "-screen 0 1280x800x24" bash -c "$measure" measure "$@"
}

run Pelmark2 "$startup" "$seconds" "$demo/Pelmark2"
# The bare window would close itself after the run; the measurement ends it first.
run bare_window "$startup" "$seconds" "$bin/bare_window" $((seconds + 30))
