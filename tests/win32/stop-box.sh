#!/bin/sh
# An exception ends the real VLMR.exe with a box titled "Velmora" that says
# "Velmora stopped: std::bad_alloc" (on stderr too), and exit code 1 once
# the user has dismissed it. The exception is a real one: a list of very many
# empty lines is small to read, but its line index needs more memory than
# the process may have.
# Usage: stop-box.sh VLMR.exe   (inside the Wine prefix and display of run-under-wine.sh)
set -eu
exe=$1
. "$(dirname "$0")/wine-session.sh"

cp "$exe" "$work/VLMR.exe"
printf '07/12/2026\r\n' > "$work/Installed"
printf '[VLMR]\r\nStyle=Stretch\r\n' > "$work/Config.ini"
head -c $((400 << 20)) /dev/zero | tr '\0' '\n' > "$work/IPaths.dat"  # 4 bytes of index a line

# Wine itself takes about 2 GiB of address space here; the index alone takes 1.6 GiB.
prlimit --as=$((3 << 30)) wine "$work/VLMR.exe" 2>"$work/stderr" &
vlmr=$!
box=
for _ in $(seq 300); do
  kill -0 "$vlmr" 2>/dev/null || break
  grep -q "Velmora stopped" "$work/stderr" && box=$(xdotool search --onlyvisible --name '^Velmora$' | head -n 1)
  [ -n "$box" ] && break
  sleep 0.2
done
[ -n "$box" ] || fail "no box titled Velmora; stderr: $(cat "$work/stderr")"
tr -d '\r' < "$work/stderr" | grep -qx "Velmora stopped: std::bad_alloc" || fail "stderr: $(cat "$work/stderr")"
kill -0 "$vlmr" 2>/dev/null || fail "the program did not wait for the box"

xdotool windowfocus --sync "$box" key Return
status=0
wait "$vlmr" || status=$?
vlmr=
[ "$status" = 1 ] || fail "exit code $status after the box, not 1"
echo "stop-box: the box came, stderr said \"Velmora stopped: std::bad_alloc\", exit code 1"
