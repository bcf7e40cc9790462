# Shared by the benchmark scripts (sourced, from the project's top folder).

# Builds velmora, velmora_bench and any further targets given; makes a program folder in
# $work holding velmora and four test tones of SECONDS each, assigned in CONFIG.TXT; starts
# a private X server ($DISPLAY). Everything started or made is removed on exit.
bench_setup() {   # SECONDS [target...]
  local seconds=$1; shift
  scripts/setup
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build --target velmora velmora_bench "$@" >/dev/null
  work=$(mktemp -d)
  trap bench_cleanup EXIT
  cp build/velmora "$work/"
  for n in 1 2 3 4; do build/bench/velmora_bench wav "$work/s$n.wav" $((300 + 100 * n)) "$seconds"; done
  printf 'SUONO INGRESSO %d = s%d.wav\r\n' 1 1 2 2 3 3 4 4 >"$work/CONFIG.TXT"
  export DISPLAY=":$((100 + RANDOM % 800))" SDL_AUDIODRIVER=dummy XDG_RUNTIME_DIR=$work
  Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 & xvfb=$!
  sleep 1
}

bench_cleanup() {
  [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}

# Sets the status byte the program reads, replacing the port file whole.
port() { echo "$1" >"$work/port.new" && mv "$work/port.new" "$work/port"; }

# A private sound server with a null sink "cue" (recorded from cue.monitor), in $work/run:
# pulseaudio, or pipewire with WirePlumber and its PulseAudio service, as Debian's desktop.
server_pids=()
start_server() {   # pulseaudio | pipewire
  export XDG_RUNTIME_DIR=$work/run XDG_CONFIG_HOME=$work/config HOME=$work/run
  mkdir -p -m 700 "$XDG_RUNTIME_DIR" && mkdir -p "$XDG_CONFIG_HOME/pipewire/pipewire.conf.d"
  if [ "$1" = pulseaudio ]; then
    pulseaudio --daemonize=no --exit-idle-time=-1 -n --log-level=error \
      --load="module-null-sink sink_name=cue rate=48000" --load=module-native-protocol-unix & server_pids=($!)
  else
    echo 'context.objects = [ { factory = adapter args = { factory.name = support.null-audio-sink
      node.name = cue media.class = Audio/Sink audio.position = [ FL FR ] audio.rate = 48000 } } ]' \
      >"$XDG_CONFIG_HOME/pipewire/pipewire.conf.d/cue.conf"
    export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/run/bus   # WirePlumber needs a session bus
    dbus-daemon --session --nofork --nopidfile --address="$DBUS_SESSION_BUS_ADDRESS" & server_pids=($!)
    sleep 0.3
    # The other two end at once when PipeWire does not answer yet (busy machine): its socket first.
    pipewire 2>/dev/null & server_pids+=($!)
    for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/pipewire-0" ] && break; sleep 0.1; done
    for p in wireplumber pipewire-pulse; do "$p" 2>/dev/null & server_pids+=($!); done
  fi
  for _ in $(seq 50); do pactl list short sinks 2>/dev/null | grep -q cue && return; sleep 0.1; done
  echo "bench: $1 did not start" >&2; exit 1
}
stop_server() {
  kill "${server_pids[@]}" 2>/dev/null || true; wait "${server_pids[@]}" 2>/dev/null || true
  rm -rf "$work/run"; unset DBUS_SESSION_BUS_ADDRESS
}


# The CPU that velmora and the server take while silent: velmora reading its port file with
# SDL_AUDIODRIVER=$1, its output idle for 5 s, then 30 s measured; in % of one core.
silent_cpu() {   # SDL_AUDIODRIVER
  local tck before after p
  tck=$(getconf CLK_TCK)
  cpu() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
  echo 0x78 >"$work/port"
  SDL_AUDIODRIVER=$1 QT_QPA_PLATFORM=offscreen "$work/velmora" --port "file:$work/port" 2>/dev/null & pid=$!
  sleep 5
  before=$(cpu "$pid"); for p in "${server_pids[@]}"; do before+=" $(cpu "$p")"; done
  sleep 30
  after=$(cpu "$pid"); for p in "${server_pids[@]}"; do after+=" $(cpu "$p")"; done
  echo "silent 30 s, % of a core: velmora then the server's processes:" \
    "$(paste -d' ' <(tr ' ' '\n' <<<"$before") <(tr ' ' '\n' <<<"$after") |
       awk -v t="$tck" '{ printf "%.2f ", ($2 - $1) * 100 / t / 30 }')"
  kill "$pid"; wait "$pid" 2>/dev/null || true; pid=""
}
