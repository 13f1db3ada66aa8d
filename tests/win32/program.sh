#!/usr/bin/env bash
# klavoro.exe under Wine as a user starts it: its main window appears and
# looks as it should (compared with tests/win32/mainwindow.png, a picture of
# a fresh start that a person looked at), and a close ends the program
# cleanly with its settings written. Needs a display (scripts/wine-session).
# Usage: program.sh KLAVORO_EXE
set -euo pipefail
exe=$1
here=$(cd "$(dirname "$0")" && pwd)
home=$(mktemp -d /tmp/klavoro-wine-program.XXXXXX)
pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    rm -rf "$home"
}
trap cleanup EXIT
fail() { echo "program.sh: $*" >&2; exit 1; }

KLAVORO_HOME="Z:$home" /usr/lib/wine/wine64 "$exe" &
pid=$!
window=
for _ in $(seq 1 150); do
    window=$(xdotool search --onlyvisible --name "^クラヴォロ Ver" 2>/dev/null | head -1 || true)
    [ -n "$window" ] && break
    kill -0 "$pid" 2>/dev/null || fail "the program ended before showing its window"
    sleep 0.2
done
[ -n "$window" ] || fail "no main window within 30 s"
sleep 2 # painted
xwd -silent -id "$window" | convert xwd:- "$home/shown.png"
# Pixels that differ by more than a tenth of the range, of the whole window.
differ=$(compare -metric AE -fuzz 10% "$home/shown.png" "$here/mainwindow.png" null: 2>&1 || true)
size=$(identify -format '%w %h' "$home/shown.png")
echo "main window ${size/ /x}, $differ pixels differ from the reference"
[ "$size" = "$(identify -format '%w %h' "$here/mainwindow.png")" ] || fail "the window's size differs"
[ "${differ%%.*}" -lt 2000 ] 2>/dev/null || { cp "$home/shown.png" /tmp/klavoro-wine-shown.png;
    fail "the window does not look as it should (saved in /tmp/klavoro-wine-shown.png)"; }

xdotool windowfocus "$window"
xdotool key alt+F4
for _ in $(seq 1 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.2
done
kill -0 "$pid" 2>/dev/null && fail "still running 10 s after the close"
wait "$pid" || fail "ended with code $?"
pid=
grep -q "^exe name = klavoro" "$home/Conf.txt" || fail "Conf.txt was not written"
echo "closed cleanly, Conf.txt written"
