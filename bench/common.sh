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
