#!/usr/bin/env bash
# scripts/install as a user meets it, in a temporary HOME and a program folder whose name
# needs quoting: the entries pass desktop-file-validate; the menu entry's Exec line (with
# --port file: added) starts the installed program in its folder and its window appears;
# the service's unit passes systemd-analyze and its ExecStart runs the program headless;
# installing again keeps CONFIG.TXT and the sounds byte for byte, and --port and --web;
# --web off takes the web page away; --remove takes away the
# entries and the program and keeps them. Needs an X server (CTest runs under xvfb-run).
# Usage: install_test.sh VELMORA_BINARY
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
binary=$(realpath "$1")
tmp=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -n "${DISPLAY:-}" ] || fail "needs an X server: run it through scripts/test (xvfb-run)"

export HOME=$tmp/home
unset XDG_DATA_HOME XDG_CONFIG_HOME
folder="$tmp/Sala prove/Velmora \$1 50%"
entry=$HOME/.local/share/applications/velmora.desktop
login=$HOME/.config/autostart/velmora.desktop
install() { VELMORA_BINARY=$binary "$repo/scripts/install" "$@"; }
# The user's systemd, as the installer talks to it: every call written down.
mkdir -p "$tmp/bin"
printf '#!/bin/sh\necho "$*" >> "%s/systemctl.log"\n' "$tmp" > "$tmp/bin/systemctl"
chmod +x "$tmp/bin/systemctl"
export PATH=$tmp/bin:$PATH

# Refused before anything is written, each with its reason: arguments, folders a menu
# entry or the program cannot live in, a missing program. (The others are tried below.)
mkdir -p "$tmp/has-velmora/velmora" && : > "$tmp/a-file"
while IFS='|' read -r why says; do
  eval "set -- $why"
  if install "$@" > "$tmp/refusal.out" 2>&1; then fail "accepted: $why"; fi
  grep -qF -- "$says" "$tmp/refusal.out" || fail "$why: no reason '$says' in: $(cat "$tmp/refusal.out")"
  [ ! -e "$HOME" ] && [ ! -e "$tmp/new" ] && [ -z "$(ls -A "$tmp/has-velmora/velmora")" ] || fail "$why: something was written"
done <<REFUSALS
"\$tmp/new" --port|--port needs a value
"\$tmp/new" --colour|unknown option --colour
"\$tmp/new" "\$tmp/other"|one folder only
"\$tmp/new"\$'\\n'x|line break
"\$tmp/new"\$'\\xe8'|not valid UTF-8
"\$tmp/a-file"|exists and is not a folder
"\$tmp/new's" --service|systemd runs no program whose folder name holds a quote
"\$tmp/has-velmora"|velmora is a folder: move it away first
"\$tmp/new" --web 99999|--web 99999 refused
"\$tmp/new" --mqtt http://broker|--mqtt http://broker refused
"\$tmp/new" --mqtt-name hall|--mqtt-name vale solo con --mqtt
REFUSALS
if VELMORA_BINARY=$tmp/absent "$repo/scripts/install" "$tmp/new" > "$tmp/refusal.out" 2>&1; then fail "installed a missing program"; fi
grep -q "no program to install at $tmp/absent" "$tmp/refusal.out" && [ ! -e "$tmp/new" ] || fail "a missing program: $(cat "$tmp/refusal.out")"

install "$folder" --autostart > "$tmp/first.out"
for f in "$entry" "$login" "$HOME/.local/share/icons/hicolor/scalable/apps/velmora.svg"; do
  [ -f "$f" ] || fail "not installed: $f"
done
cmp -s "$binary" "$folder/velmora" && [ -x "$folder/velmora" ] || fail "the program is not in $folder"
desktop-file-validate "$entry" "$login" || fail "desktop-file-validate refused an entry"
# The program and, beside it, the modules of the web page and the broker (loaded only with
# --web and --mqtt).
[ "$(ls -A "$folder" | tr '\n' ' ')" = "velmora velmora-mqtt.so velmora-web.so " ] \
  || fail "the program folder holds more than the program and its modules: $(ls -A "$folder")"

# The entry's Exec line as a desktop runs it: the string value's escapes undone, then
# split into arguments by the entry's quoting rules, %% back to %.
mapfile -d '' args < <(perl -ne 'next unless s/^Exec=//; chomp;
  s/\\([\\stnr])/{"\\"=>"\\","s"=>" ","t"=>"\t","n"=>"\n","r"=>"\r"}->{$1}/ge;
  while (/\G\s*(?:"((?:[^"\\]|\\.)*)"|([^\s"]+))/gc) {
    my $a = defined $1 ? $1 =~ s/\\(.)/$1/gr : $2; $a =~ s/%%/%/g; print "$a\0" }' "$entry")
[ "${args[0]}" = "$folder/velmora" ] || fail "Exec runs '${args[0]}', not the installed program"
[ "${args[*]:1}" = "--port auto" ] || fail "Exec's arguments are '${args[*]:1}'"
workdir=$(sed -n 's/^Path=//p' "$entry")
[ "$workdir" = "$folder" ] || fail "Path is '$workdir'"

echo 0x78 > "$tmp/port"
(cd "$workdir" && SDL_AUDIODRIVER=dummy exec "${args[@]}" --port "file:$tmp/port") &
pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --pid "$pid" --name '^Velmora$' | head -n 1) \
  || fail "no Velmora window appeared"
[ "$(readlink "/proc/$pid/exe")" = "$folder/velmora" ] || fail "the running program is $(readlink "/proc/$pid/exe")"
kill "$pid" && wait "$pid" 2>/dev/null || true
pid=""

# As a service: the unit passes systemd's own check, and its ExecStart line, split as
# systemd splits it (C escapes in double quotes, %% and in arguments $$ undone), runs the
# installed program without a display; SIGTERM ends it at once, with status 0.
unit=$HOME/.config/systemd/user/velmora.service
install "$folder" --service --port "file:$tmp/port \$x" > "$tmp/service.out"
systemd-analyze verify "$unit" || fail "systemd-analyze refused the unit: $(cat "$unit")"
mapfile -d '' args < <(perl -ne 'next unless s/^ExecStart=//; chomp; my $n = 0;
  while (/\G\s*"((?:[^"\\]|\\.)*)"|\G\s*(\S+)/gc) {
    my $a = defined $1 ? $1 =~ s/\\(.)/$1/gr : $2; $a =~ s/%%/%/g; $a =~ s/\$\$/\$/g if $n++; print "$a\0" }' "$unit")
[ "${args[0]}" = "$folder/velmora" ] || fail "ExecStart runs '${args[0]}', not the installed program"
[ "${args[*]:1}" = "--no-window --port file:$tmp/port \$x" ] || fail "ExecStart's arguments are '${args[*]:1}'"
(env -u DISPLAY SDL_AUDIODRIVER=dummy "${args[@]}" 2> "$tmp/service.err") & pid=$!
for _ in $(seq 1 300); do grep -q "non leggibile" "$tmp/service.err" && break; sleep 0.1; done
grep -q "non leggibile" "$tmp/service.err" || fail "the missing port file was not said: $(cat "$tmp/service.err")"
kill -0 "$pid" 2>/dev/null || fail "the service ended by itself: $(cat "$tmp/service.err")"
kill -TERM "$pid"; wait "$pid" && pid="" || fail "SIGTERM ended the service with status $?"

# The user's files, then an upgrade over them.
printf 'SUONO INGRESSO 1 = gong.wav\r\nSUONO INGRESSO 2 = \r\nSUONO INGRESSO 3 = caff\xe8.wav\r\nSUONO INGRESSO 4 = \r\n' > "$folder/CONFIG.TXT"
head -c 30000 /dev/urandom > "$folder/gong.wav"
head -c 20000 /dev/urandom > "$folder/caff"$'\xe8'".wav"
(cd "$folder" && sha256sum -- * | grep -av -e ' velmora$' -e ' velmora-web.so$' -e ' velmora-mqtt.so$') > "$tmp/before"
printf 'newer build' > "$tmp/newer" && chmod +x "$tmp/newer"
grep -qx -- '--user enable velmora.service' "$tmp/systemctl.log" || fail "--service did not enable the service: $(cat "$tmp/systemctl.log")"
: > "$tmp/systemctl.log"
VELMORA_BINARY=$tmp/newer "$repo/scripts/install" "$folder" > "$tmp/second.out"
# An upgrade restarts the service only if it runs, and never enables one the user disabled.
grep -qx -- '--user try-restart velmora.service' "$tmp/systemctl.log" && ! grep -qE -- '--user (enable|restart|start)' "$tmp/systemctl.log" \
  || fail "the upgrade did more to the service than bring it up to date: $(cat "$tmp/systemctl.log")"
cmp -s "$tmp/newer" "$folder/velmora" || fail "installing again did not upgrade the program"
(cd "$folder" && sha256sum -- * | grep -av -e ' velmora$' -e ' velmora-web.so$' -e ' velmora-mqtt.so$') | diff -q "$tmp/before" - >/dev/null || fail "installing again changed the user's files"
[ -f "$login" ] || fail "installing again without --autostart dropped the login entry"
grep -q 'upgraded' "$tmp/second.out" || fail "no word of the upgrade: $(cat "$tmp/second.out")"
# ... and the port the entry and the service read is kept, and said, not turned back to auto.
grep -qF "keeping --port file:$tmp/port \$x" "$tmp/second.out" || fail "the kept port was not said: $(cat "$tmp/second.out")"
grep -qF -- "--port \"file:$tmp/port \\\\\$x\"" "$entry" || fail "the entry lost its port: $(grep Exec= "$entry")"
grep -qF -- "--port \"file:$tmp/port \$\$x\"" "$unit" || fail "the service lost its port: $(grep ExecStart= "$unit")"

# The web page: added to the entry and the unit, kept on an upgrade without --web, taken
# away with --web off.
install "$folder" --web 8088 > "$tmp/web.out"
grep -qF -- '--web "8088"' "$entry" && grep -qF -- '--web "8088"' "$unit" \
  || fail "--web is not in the entry and the unit: $(grep -h -e Exec= -e ExecStart= "$entry" "$unit")"
grep -qF "$folder/velmora --web-key" "$tmp/web.out" || fail "no word of the key: $(cat "$tmp/web.out")"
install "$folder" > "$tmp/web.out"
grep -qF "keeping --web 8088" "$tmp/web.out" && grep -qF -- '--web "8088"' "$unit" || fail "an upgrade lost --web"
install "$folder" --web off > /dev/null
! grep -q -- '--web' "$entry" "$unit" || fail "--web off left the web page in: $(grep -h -e Exec= -e ExecStart= "$entry" "$unit")"

# The broker the same way, with its own options; the password file named by its full path,
# since the service starts elsewhere; all of them gone with --mqtt off.
(umask 077 && echo 'box:pw' > "$tmp/mqtt-password")
(cd "$tmp" && install "$folder" --mqtt mqtt://127.0.0.1:1883 --mqtt-name hall --mqtt-password-file mqtt-password \
  --mqtt-homeassistant > /dev/null)
install "$folder" > "$tmp/mqtt.out"
for f in "$entry" "$unit"; do
  grep -qF -- "--mqtt \"mqtt://127.0.0.1:1883\" --mqtt-name \"hall\" --mqtt-password-file \"$tmp/mqtt-password\" --mqtt-homeassistant" "$f" \
    || fail "the broker's options are not in $f as given, after an upgrade: $(grep -h -e Exec= -e ExecStart= "$f")"
done
grep -qF "keeping --mqtt mqtt://127.0.0.1:1883" "$tmp/mqtt.out" || fail "no word of the kept broker: $(cat "$tmp/mqtt.out")"
install "$folder" --mqtt off > /dev/null
! grep -q -- '--mqtt' "$entry" "$unit" || fail "--mqtt off left the broker in: $(grep -h -e Exec= -e ExecStart= "$entry" "$unit")"

# Nothing is written for a port with a line break, nor for a folder systemd cannot run
# while a service is installed: the entry and the unit stay as they were.
cp "$entry" "$tmp/entry.before" && cp "$unit" "$tmp/unit.before"
if install "$folder" --port $'file:/tmp/p\nExecStartPre=/bin/true' > "$tmp/cntrl.out" 2>&1; then fail "a line break in --port was accepted"; fi
grep -q "control character" "$tmp/cntrl.out" || fail "no reason for the line break's refusal: $(cat "$tmp/cntrl.out")"
if install "$tmp/it's here" > "$tmp/quote.out" 2>&1; then fail "a folder with a quote was taken while a service is installed"; fi
grep -q "your Velmora service" "$tmp/quote.out" || fail "no true reason for the quote's refusal: $(cat "$tmp/quote.out")"
cmp -s "$entry" "$tmp/entry.before" && cmp -s "$unit" "$tmp/unit.before" && [ ! -e "$tmp/it's here" ] \
  || fail "a refused install still wrote something"

# Removed without naming the folder: the one the entry starts in.
"$repo/scripts/install" --remove > "$tmp/remove.out"
for f in "$entry" "$login" "$unit" "$HOME/.local/share/icons/hicolor/scalable/apps/velmora.svg" "$folder/velmora" \
         "$folder/velmora-web.so" "$folder/velmora-mqtt.so"; do
  [ ! -e "$f" ] || fail "not removed: $f"
done
(cd "$folder" && sha256sum -- *) | diff -q "$tmp/before" - >/dev/null || fail "--remove changed the user's files"
grep -q "kept $folder" "$tmp/remove.out" || fail "--remove did not say what it kept: $(cat "$tmp/remove.out")"

# A folder that held only the program goes with it.
install "$tmp/empty" > /dev/null && "$repo/scripts/install" "$tmp/empty" --remove > /dev/null
[ ! -e "$tmp/empty" ] || fail "an emptied program folder was left behind"
# A name with a backslash and a tab, whose escapes in the entry must be undone exactly:
# removed without naming it. Then the program gone from where the entry says: said, and
# not reported as done.
odd="$tmp/back\\slash"$'\t'"tab \\s"
install "$odd" > /dev/null && "$repo/scripts/install" --remove > /dev/null || fail "--remove failed for '$odd'"
[ ! -e "$odd/velmora" ] || fail "--remove left the program in '$odd'"
install "$odd" > /dev/null && rm "$odd/velmora"
if "$repo/scripts/install" --remove 2> "$tmp/missing.err"; then fail "--remove said it removed a program that was not there"; fi
grep -qF "no Velmora program at $odd/velmora" "$tmp/missing.err" || fail "--remove did not say where it looked: $(cat "$tmp/missing.err")"
"$repo/scripts/install" "$tmp/elsewhere" --remove 2> /dev/null && fail "--remove of a folder without the program succeeded"

# --port is checked by the program before any entry is written: what it would refuse is
# refused in its words; a device only unplugged now is a warning.
rm -f "$entry"
if install "$tmp/refused" --port /dev/null > "$tmp/refused.out" 2>&1; then fail "--port /dev/null was accepted"; fi
grep -q "non è una porta parallela" "$tmp/refused.out" || fail "no reason for the refusal: $(cat "$tmp/refused.out")"
[ ! -e "$entry" ] && [ ! -e "$tmp/refused" ] || fail "a refused port still installed something"
install "$tmp/unplugged" --port evdev:/dev/input/by-id/usb-Absent-event-joystick > "$tmp/unplugged.out" 2>&1 \
  || fail "an unplugged device was refused: $(cat "$tmp/unplugged.out")"
grep -q "warning: .*non c'è" "$tmp/unplugged.out" && grep -q 'evdev:/dev/input/by-id/usb-Absent' "$entry" \
  || fail "no warning, or no entry, for an unplugged device: $(cat "$tmp/unplugged.out")"
echo "PASS: install, run from the menu entry, upgrade, remove"
