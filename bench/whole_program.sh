#!/usr/bin/env bash
# Runs the program under a virtual X server against the local simulator, with the ticker
# scrolling and the game watch ticking, and the same for an empty Qt window and for one that
# only runs timers at the program's rates:
#   start-up: launch to the main window mapped, median of five launches;
#   visible: CPU over [seconds] after 5 s of start-up, then the peak memory;
#   minimized: minimized as a window manager does it, CPU over the next [seconds].
# Prints one line per program:
#   <name> shown_ms=<median> cpu_s=<visible> cpu_min_s=<minimized> hwm_kb=<VmHWM> seconds=<n>
# Usage: bench/whole_program.sh [build-dir] [seconds]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-bench}"
seconds="${2:-60}"
startup=5
launches=5
bin="$build/bin"
for f in Pelmark2 pelmark-statsim bare_window x11_window; do
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

# An LFS path makes the one-second game watch look for the game, as it does for a user
# who has set up the game: the file is there, but nothing runs it, so refreshes stay on.
mkdir -p "$work/game"
: >"$work/game/LFS.exe"
cat >"$demo/Pelmark2.config" <<CONFIG
[SETTINGS]
LFSPath=$work/game/LFS.exe
[SERVICE]
StatsServer=http://127.0.0.1:$port
HighlightsServer=http://127.0.0.1:$port
CONFIG

# Runs inside the virtual X server.
measure='
set -euo pipefail
name="$1" startup="$2" seconds="$3" launches="$4" tool="$5" work_dir="$6"; shift 6
# CPU time in nanoseconds, summed over the threads: the scheduler counts it exactly,
# where the clock ticks of /proc/<pid>/stat are 10 ms apart.
ticks() { cat /proc/"$1"/task/*/schedstat | awk "{s += \$1} END {printf \"%d\", s}"; }
# The launcher stays the parent of the program; its line gives the pid and the time.
launch() {
    out="$work_dir/launch.$RANDOM"
    "$tool" launch "$@" >"$out" 2>/dev/null &
    launcher=$!
    for _ in $(seq 1500); do [ -s "$out" ] && break; sleep 0.02; done
    [ -s "$out" ] || { echo "$name: no window shown" >&2; exit 1; }
    line=$(cat "$out")
    pid=${line#pid=}; pid=${pid%% *}
    shown_ms=${line##*shown_ms=}
}
stop() { kill -TERM "$pid"; wait "$launcher" || true; }
shown=()
for _ in $(seq "$launches"); do
    launch "$@"
    shown+=("$shown_ms")
    stop
    sleep 0.5
done
median=$(printf "%s\n" "${shown[@]}" | sort -g | awk "{a[NR]=\$1} END {print a[int((NR+1)/2)]}")
launch "$@"
sleep "$startup"
t0=$(ticks "$pid")
sleep "$seconds"
t1=$(ticks "$pid")
hwm=$(awk "/^VmHWM:/ {print \$2}" "/proc/$pid/status")
"$tool" minimize "$pid"
sleep 1
t2=$(ticks "$pid")
sleep "$seconds"
t3=$(ticks "$pid")
stop
awk -v n="$name" -v s="$median" -v a="$t0" -v b="$t1" -v c="$t2" -v d="$t3" -v t=1e9 \
    -v h="$hwm" -v sec="$seconds" \
    "BEGIN { printf \"%s shown_ms=%s cpu_s=%.4f cpu_min_s=%.4f hwm_kb=%d seconds=%d\n\", n, s, (b - a) / t, (d - c) / t, h, sec }"
'

# The real window system: a caller that set the offscreen platform would measure no window.
export QT_QPA_PLATFORM=xcb
run() {
    xvfb-run -a -s "-screen 0 1280x800x24" bash -c "$measure" measure "$@"
}

run Pelmark2 "$startup" "$seconds" "$launches" "$bin/x11_window" "$work" \
    "$demo/Pelmark2"
# The bare window would close itself after a while; the measurement ends it first.
run bare_window "$startup" "$seconds" "$launches" "$bin/x11_window" "$work" "$bin/bare_window" \
    $((3 * seconds + 60))
# The floor under the idle figures: the bare window doing only what the program's timers
# make the toolkit do, with none of the program's work.
run bare_timers "$startup" "$seconds" "$launches" "$bin/x11_window" "$work" "$bin/bare_window" \
    $((3 * seconds + 60)) timers
