#!/usr/bin/env bash
# Installs the built program into a temporary DESTDIR and checks what a system install
# gets: the file list, the desktop entry and AppStream data as the desktop's validators
# see them, the icon sizes; then starts the installed executable under Xvfb with a fresh
# home against the simulator and reads its window through AT-SPI (hosts listed, every
# button named); then the same with a read-only home (one error box, the window opens);
# last the .deb from cpack, its contents and its Depends, and lintian's verdict on it where
# lintian is installed. Nothing is rebuilt.
#
# Usage: run-install.sh BUILD_DIR PELMARK_STATSIM ATSPI_READ
set -uo pipefail

if [ $# -ne 3 ]; then
    echo "usage: $0 BUILD_DIR PELMARK_STATSIM ATSPI_READ" >&2
    exit 2
fi
build=$1
statsim=$2
atspi_read=$3
app_id=org.pelmark.Pelmark2

for tool in Xvfb desktop-file-validate appstreamcli dpkg-deb dpkg-shlibdeps file cpack \
    dbus-run-session /usr/bin/python3; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing"; exit 1; }
done
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null ||
    { echo "FAIL: python3-pyatspi is missing"; exit 1; }

work=$(mktemp -d)
root=$work/root
sim_pid=
xvfb_pid=
app_pid=
ro_mounted=

stop() {
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
    [ -n "$ro_mounted" ] && umount -l "$work/rohome"
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

fail() {
    echo "FAIL: $*"
    for log in app.log sim.log; do
        [ -s "$work/$log" ] && { echo "--- $log"; tail -n 20 "$work/$log"; }
    done
    exit 1
}
pass() { echo "PASS: $*"; }
wait_for() {
    local seconds=$1 what=$2
    shift 2
    for _ in $(seq $((seconds * 10))); do
        "$@" && return 0
        sleep 0.1
    done
    fail "no $what within $seconds s"
}

# ---- install --------------------------------------------------------------------------
DESTDIR=$root cmake --install "$build" --prefix /usr >"$work/install.log" 2>&1 ||
    fail "cmake --install: $(tail -n 5 "$work/install.log")"
(cd "$root" && find . -type f | sed 's|^\./|/|' | sort) >"$work/files"
echo "installed files:"
sed 's/^/  /' "$work/files"
expected="/usr/bin/Pelmark2
/usr/share/applications/$app_id.desktop
/usr/share/metainfo/$app_id.metainfo.xml
/usr/share/icons/hicolor/scalable/apps/$app_id.svg
/usr/share/pelmark2/Tracks.data
/usr/share/doc/pelmark2/copyright
/usr/share/doc/pelmark2/changelog.gz
/usr/share/man/man1/Pelmark2.1.gz"
for size in 16 22 24 32 48 64 128 256; do
    expected="$expected
/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
done
missing=$(comm -23 <(echo "$expected" | sort) "$work/files")
[ -z "$missing" ] || fail "not installed: $missing"
pass "every file is installed"

for size in 16 22 24 32 48 64 128 256; do
    file -b "$root/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png" |
        grep -q "PNG image data, $size x $size," || fail "the ${size}x${size} icon is not that size"
done
grep -q '<svg' "$root/usr/share/icons/hicolor/scalable/apps/$app_id.svg" || fail "no SVG icon"
pass "icon sizes 16 to 256 and the SVG"

head -n 1 "$root/usr/share/doc/pelmark2/copyright" |
    grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
    fail "the copyright file is not in the machine-readable format"
for gz in usr/share/doc/pelmark2/changelog.gz usr/share/man/man1/Pelmark2.1.gz; do
    file -b "$root/$gz" | grep -q '^gzip compressed data, max compression, from Unix' ||
        fail "$gz is not gzip -9n: $(file -b "$root/$gz")"
done
[ "$(zcat "$root/usr/share/doc/pelmark2/changelog.gz" | sed -n '1s/ .*//p')" = pelmark2 ] ||
    fail "the changelog does not start with an entry of pelmark2"
pass "copyright, changelog and manual page as Debian expects them"

desktop-file-validate "$root/usr/share/applications/$app_id.desktop" >"$work/dfv" 2>&1 ||
    fail "desktop-file-validate: $(cat "$work/dfv")"
# Hints are advice; errors and warnings are not accepted.
grep -Ev ': hint: ' "$work/dfv" | grep -q . && fail "desktop-file-validate: $(cat "$work/dfv")"
pass "desktop-file-validate accepts the entry$(grep -q . "$work/dfv" && echo " ($(grep -c . "$work/dfv") hint)")"
appstreamcli validate --no-net "$root/usr/share/metainfo/$app_id.metainfo.xml" >"$work/asv" 2>&1 ||
    fail "appstreamcli validate: $(cat "$work/asv")"
pass "appstreamcli validate --no-net: $(tail -n 1 "$work/asv")"

# ---- the installed program -----------------------------------------------------------
"$statsim" --port 0 --log >"$work/sim.out" 2>"$work/sim.log" &
sim_pid=$!
wait_for 10 "simulator address" grep -qs '^listening on 127\.0\.0\.1:[0-9]' "$work/sim.out"
port=$(sed -n 's/^listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$work/sim.out")
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
wait_for 15 "virtual display" test -s "$work/display"
display=:$(head -n 1 "$work/display")

service_config() {
    printf '[SERVICE]\r\nStatsServer=http://127.0.0.1:%s\r\nHighlightsServer=http://127.0.0.1:%s\r\n' \
        "$port" "$port"
}

# Starts the installed program with HOME=$1 and nothing else of this session, reads it
# through AT-SPI (extra arguments go to the reader), and closes it with SIGTERM.
run_installed() {
    local home=$1
    shift
    mkdir -p "$work/runtime" && chmod 700 "$work/runtime"
    dbus-run-session -- bash -c '
        env -i PATH=/usr/bin:/bin HOME="$1" XDG_RUNTIME_DIR="$2" DISPLAY="$3" \
            QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
            DBUS_SESSION_BUS_ADDRESS="$DBUS_SESSION_BUS_ADDRESS" "$4" >"$5" 2>&1 &
        app=$!
        /usr/bin/python3 "$6" "Pelmark II" 45 "${@:7}"
        status=$?
        kill -TERM "$app"
        wait "$app"
        exit_status=$?
        [ "$exit_status" -eq 0 ] || { echo "the program ended with status $exit_status"; status=1; }
        exit "$status"
    ' run "$home" "$work/runtime" "$display" "$root/usr/bin/Pelmark2" "$work/app.log" \
        "$atspi_read" "$@" 2>"$work/bus.log"
}

home=$work/home
mkdir -p "$home/.config/pelmark2"
service_config >"$home/.config/pelmark2/Pelmark2.config"
before=$(cd "$root" && find . | sort)
run_installed "$home" >"$work/read1" || { cat "$work/read1"; fail "the installed start"; }
sed 's/^/  /' "$work/read1"
grep -q '^GET /pubstat/get_stat2\.php?action=hosts' "$work/sim.log" || fail "no host list request"
pass "the installed program lists hosts, every button read by its name"
created=$(cd "$home" && find . -mindepth 1 | sort | tr '\n' ' ')
[ "$created" = "./.config ./.config/pelmark2 ./.config/pelmark2/Pelmark2.config ./.local ./.local/share ./.local/share/pelmark2 ./.local/share/pelmark2/data ./.local/share/pelmark2/data/groups " ] ||
    fail "the home holds: $created"
[ "$(cd "$root" && find . | sort)" = "$before" ] || fail "the program wrote into its install folder"
pass "per-user folders created, nothing else written in the home or beside the executable"

# A read-only home that holds only the settings (so that the program talks to the
# simulator): one error box about the data folder, then the window with its hosts.
mkdir -p "$work/rohome"
if mount -t tmpfs -o size=64k,mode=0755 tmpfs "$work/rohome" 2>/dev/null; then
    ro_mounted=1
    mkdir -p "$work/rohome/.config/pelmark2"
    service_config >"$work/rohome/.config/pelmark2/Pelmark2.config"
    mount -o remount,ro "$work/rohome" || fail "cannot make the home read-only"
    requests=$(grep -c '^GET /pubstat/' "$work/sim.log")
    run_installed "$work/rohome" --error-box >"$work/read2" || { cat "$work/read2"; fail "the read-only start"; }
    sed 's/^/  /' "$work/read2"
    grep -q "^error box 'Pelmark II' (1 open): Der Ordner $work/rohome/.local/share/pelmark2/data/groups kann nicht angelegt werden" \
        "$work/read2" || fail "the error box does not name the folder"
    [ "$(grep -c '^GET /pubstat/' "$work/sim.log")" -gt "$requests" ] || fail "no host list request"
    pass "read-only home: one error box, then the window lists hosts"
else
    echo "SKIP: read-only home (cannot mount a file system here)"
fi

# ---- the package ----------------------------------------------------------------------
(cd "$build" && cpack -G DEB -B "$work/deb" >"$work/cpack.log" 2>&1) ||
    fail "cpack: $(tail -n 10 "$work/cpack.log")"
deb=$(ls "$work"/deb/*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "cpack made no .deb"
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"
dpkg-deb -c "$deb" | awk '{print "  " $6}' >"$work/deb.files"
cat "$work/deb.files"
for path in $(echo "$expected"); do
    grep -qx "  \.$path" "$work/deb.files" || fail "the package lacks $path"
done
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libc6 libstdc\\+\\+6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6; do
    echo "$depends" | grep -Eq "(^|, )$lib( |,|$)" || fail "Depends lacks $lib"
done
pass "the package holds every installed file; Depends from the linked libraries"

if command -v lintian >/dev/null; then
    lintian --tag-display-limit 0 "$deb" >"$work/lintian" 2>&1
    grep -v '^running with root privileges' "$work/lintian" | sed 's/^/  /'
    grep -q '^E: ' "$work/lintian" && fail "lintian reports errors"
    pass "lintian: no error, $(grep -c '^W: ' "$work/lintian") warnings"
else
    echo "SKIP: lintian (not installed)"
fi
echo "PASS: install checks"
