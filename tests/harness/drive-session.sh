# shellcheck shell=bash disable=SC2034 # DRIVER_MATCH and the SESSION_* are read by the callers
# Sourced by scripts/run and the benchmarks: a lab with the VPN service
# (vpn-service), a copy of the built bundle whose MacOS/OrvalVPN is the program
# to run (the backend driver tools/drive, the GUI driver tools/guidrive or the
# product itself), and helpers to run that program in the client namespace and
# follow its event lines.
#
#   session_up BUILD_DIR [PROGRAM]  lab + service + bundle + a fresh HOME; sets SESSION_*.
#                              PROGRAM (default: the driver) becomes the bundle's
#                              MacOS/OrvalVPN; SESSION_DRIVER, SESSION_GUIDRIVE and
#                              SESSION_PRODUCT name the three
#   session_program PROGRAM    puts another program in the bundle (between runs)
#   session_display            an X server of the session's own (Xvfb and twm) in the
#                              client namespace; sets SESSION_DISPLAY
#   session_fresh_home         an empty HOME for the next run
#   session_down               stops what the session started and removes it (call from
#                              an EXIT trap): the program first (SIGTERM: it restores what
#                              it changed), then the X server, the service and the lab
#   driver_start ARGS...       starts the program (stdin: driver_send; stdout: $DRIVER_LOG)
#                              in a session of its own, so that a Ctrl-C reaches only the
#                              caller, which then tears down in order
#   driver_send LINE           one command on the program's stdin
#   driver_wait REGEX SECONDS  returns when a new event line matches (kept in DRIVER_MATCH);
#                              1 on time-out or program exit
#   driver_finish SECONDS      closes stdin (the driver quits), waits for the exit; kills on time-out
#   driver_ms EVENT            the time stamp (ms) of the first line of that event
#   in_client CMD...           runs CMD in the client namespace
# The program's environment: the fresh HOME and its XDG directories, then
# DRIVER_ENV (NAME=VALUE words; by default QT_QPA_PLATFORM=offscreen; a GUI run
# sets DISPLAY and QT_QPA_PLATFORM=xcb instead). QT_MESSAGE_PATTERN, when set,
# reaches the program too (e.g. "%{time process} %{message}" puts time stamps in
# its log, $SESSION_DIR/run-N/stderr, for profiling).
# Callers set DRIVER_ECHO=1 to have event lines printed as driver_wait reads them.

harness_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
SESSION_NAME=""
SESSION_DIR=""
SESSION_DISPLAY=""
DISPLAY_PID=""
DISPLAY_INPUT=""
DRIVER_PID=""
DRIVER_LOG=""
DRIVER_SEEN=0
DRIVER_MATCH=""
DRIVER_ECHO="${DRIVER_ECHO:-0}"
DRIVER_ENV=(QT_QPA_PLATFORM=offscreen)
# How long a program may take to end after SIGTERM (its clean-up run included).
DRIVER_STOP_SECONDS=30

session_require_root() {
  if [ "$(id -u)" -ne 0 ]; then
    echo "$1 needs root: it creates network namespaces, a tun device and routes (try: sudo $1)" >&2
    exit 1
  fi
}

session_up() {
  local build="$1"
  SESSION_DRIVER="$build/tools/drive/orval-drive"
  SESSION_GUIDRIVE="$build/tools/guidrive/orval-guidrive"
  SESSION_PRODUCT="$build/OrvalVPN.app/Contents/MacOS/OrvalVPN"
  local program="${2:-$SESSION_DRIVER}"
  [ -x "$program" ] || { echo "no program at $program (build the tree first)" >&2; return 1; }
  [ -e /dev/net/tun ] || { echo "no /dev/net/tun here: no tunnel can be made" >&2; return 1; }
  SESSION_NAME="od$$"
  SESSION_DIR="$(mktemp -d /tmp/orval-session.XXXXXX)"
  "$harness_dir/lab" up "$SESSION_NAME" >/dev/null
  "$harness_dir/vpn-service" up "$SESSION_NAME" "$build/tools/orval-configgen"
  eval "$("$harness_dir/vpn-service" env)"
  SESSION_BUNDLE="$SESSION_DIR/OrvalVPN.app"
  cp -a "$build/OrvalVPN.app" "$SESSION_BUNDLE"
  session_program "$program"
  SESSION_HOME="$SESSION_DIR/home"
  mkdir -p "$SESSION_HOME"
}

# A copy, not a link: the helper accepts only a parent at <bundle>/Contents/MacOS/OrvalVPN.
# Renamed into place, so that a copy still running keeps its own file.
session_program() {
  local target="$SESSION_BUNDLE/Contents/MacOS/OrvalVPN"
  [ -x "$1" ] || { echo "no program at $1 (build the tree first)" >&2; return 1; }
  cp "$1" "$target.new"
  mv -f "$target.new" "$target"
}

session_fresh_home() {
  rm -rf "$SESSION_HOME"
  mkdir -p "$SESSION_HOME"
}

# The X server runs while its command (waiting on a pipe from here) runs: it
# ends when session_down closes that pipe, or when this shell dies.
session_display() {
  local file="$SESSION_DIR/display"
  : >"$file"
  # shellcheck disable=SC2016 # the X session's own DISPLAY
  exec {DISPLAY_INPUT}> >(exec ip netns exec "$SESSION_NAME-c" setsid -w "$harness_dir/xvfb-session" --wm -- \
    sh -c 'echo "$DISPLAY" >"$1" && exec cat >/dev/null' sh "$file" >"$SESSION_DIR/display.log" 2>&1 3>&-)
  DISPLAY_PID=$!
  for _ in $(seq 1 100); do
    [ -s "$file" ] && break
    kill -0 "$DISPLAY_PID" 2>/dev/null || break
    sleep 0.1
  done
  if [ ! -s "$file" ]; then
    cat "$SESSION_DIR/display.log" >&2
    echo "no X server (Xvfb, twm: scripts/deps installs them)" >&2
    return 1
  fi
  SESSION_DISPLAY="$(cat "$file")"
}

# Ends a process: SIGTERM, then SIGKILL after SECONDS.
stop_process() {
  local pid="$1" seconds="$2"
  kill -0 "$pid" 2>/dev/null || return 0
  kill "$pid" 2>/dev/null || true
  for _ in $(seq 1 $((seconds * 10))); do kill -0 "$pid" 2>/dev/null || return 0; sleep 0.1; done
  echo "process $pid did not end within $seconds s; killing it" >&2
  kill -9 "$pid" 2>/dev/null || true
}

session_down() {
  if [ -n "$DRIVER_PID" ]; then stop_process "$DRIVER_PID" "$DRIVER_STOP_SECONDS"; fi
  DRIVER_PID=""
  exec 3>&-
  if [ -n "$DISPLAY_PID" ]; then
    exec {DISPLAY_INPUT}>&-
    for _ in $(seq 1 50); do kill -0 "$DISPLAY_PID" 2>/dev/null || break; sleep 0.1; done
    # Its own session: the process group holds Xvfb and twm too.
    kill -9 -- "-$DISPLAY_PID" 2>/dev/null || true
    DISPLAY_PID=""
    DISPLAY_INPUT=""
  fi
  if [ -n "$SESSION_NAME" ]; then
    "$harness_dir/vpn-service" down "$SESSION_NAME" || true
    "$harness_dir/lab" down "$SESSION_NAME" || true
  fi
  [ -n "$SESSION_DIR" ] && rm -rf "$SESSION_DIR"
  SESSION_NAME=""
  SESSION_DIR=""
}

in_client() {
  ip netns exec "$SESSION_NAME-c" "$@"
}

driver_start() {
  local run="$SESSION_DIR/run-$((++DRIVER_RUNS))"
  mkdir -p "$run"
  DRIVER_LOG="$run/events"
  DRIVER_ERR="$run/stderr"
  DRIVER_SEEN=0
  : >"$DRIVER_LOG"
  mkfifo "$run/stdin"
  # Held open read-write here so that the driver sees end of input only when we close it.
  exec 3<>"$run/stdin"
  (
    # The X server's pipe stays here: it must not outlive this shell in the program's engines.
    if [ -n "$DISPLAY_INPUT" ]; then exec {DISPLAY_INPUT}>&-; fi
    exec ip netns exec "$SESSION_NAME-c" setsid -w env ${QT_MESSAGE_PATTERN:+QT_MESSAGE_PATTERN="$QT_MESSAGE_PATTERN"} \
      HOME="$SESSION_HOME" XDG_CONFIG_HOME="$SESSION_HOME/.config" XDG_DATA_HOME="$SESSION_HOME/.local/share" \
      XDG_CACHE_HOME="$SESSION_HOME/.cache" \
      "${DRIVER_ENV[@]}" "$SESSION_BUNDLE/Contents/MacOS/OrvalVPN" "$@" <"$run/stdin" >"$DRIVER_LOG" 2>"$DRIVER_ERR" 3>&-
  ) &
  DRIVER_PID=$!
}
DRIVER_RUNS=0

driver_send() {
  printf '%s\n' "$1" >&3
}

# Prints (when DRIVER_ECHO=1) the lines not seen yet; returns 0 when one matches REGEX.
driver_read_new() {
  local regex="$1" line found=1
  local -a lines=()
  mapfile -t -s "$DRIVER_SEEN" lines <"$DRIVER_LOG"
  for line in "${lines[@]}"; do
    DRIVER_SEEN=$((DRIVER_SEEN + 1))
    [ "$DRIVER_ECHO" = 1 ] && driver_show "$line"
    if [ -n "$regex" ] && [[ $line =~ $regex ]]; then DRIVER_MATCH="$line"; found=0; break; fi
  done
  return "$found"
}

# Event lines as the demo shows them: "[1234] state ..." -> "   1.234 s  state ...";
# a run of one repeated event is shown once, with its count.
driver_show() {
  local line="$1" event="$1" ms=""
  if [[ $line =~ ^\[([0-9]+)\]\ (.*)$ ]]; then ms="${BASH_REMATCH[1]}"; event="${BASH_REMATCH[2]}"; fi
  if [ "$event" = "$DRIVER_SHOWN" ]; then
    DRIVER_REPEATS=$((DRIVER_REPEATS + 1))
    return 0
  fi
  [ "$DRIVER_REPEATS" -gt 0 ] && printf '  %10s  (%d more times)\n' "" "$DRIVER_REPEATS"
  DRIVER_SHOWN="$event"
  DRIVER_REPEATS=0
  if [ -n "$ms" ]; then
    printf '  %8s s  %s\n' "$(seconds_of_ms "$ms")" "$(readable_event "$event")"
  else
    printf '  %s\n' "$line"
  fi
}
DRIVER_SHOWN=""
DRIVER_REPEATS=0

# The start-up's progress and result numbers by name.
readable_event() {
  local -a progress=(initial success failed skipped running running waiting waiting)
  local -a result=(aborted "checks failed" started)
  local -a words
  read -r -a words <<<"$1"
  if [ "${words[0]:-}" = progress ] && [ "${#words[@]}" -eq 3 ] && [[ ${words[2]} =~ ^[0-7]$ ]]; then
    echo "progress ${words[1]} ${progress[${words[2]}]}"
  elif [ "${words[0]:-}" = result ] && [[ ${words[1]:-} =~ ^[0-2]$ ]]; then
    echo "result ${result[${words[1]}]}: ${1#result * }"
  else
    echo "$1"
  fi
}

seconds_of_ms() {
  printf '%d.%03d' $(($1 / 1000)) $(($1 % 1000))
}

driver_wait() {
  local regex="$1" seconds="$2"
  local deadline=$((SECONDS + seconds))
  while [ "$SECONDS" -lt "$deadline" ]; do
    driver_read_new "$regex" && return 0
    if ! kill -0 "$DRIVER_PID" 2>/dev/null; then
      driver_read_new "$regex" && return 0
      return 1
    fi
    sleep 0.05
  done
  return 1
}

driver_finish() {
  local seconds="$1"
  exec 3>&-
  local deadline=$((SECONDS + seconds))
  while kill -0 "$DRIVER_PID" 2>/dev/null && [ "$SECONDS" -lt "$deadline" ]; do
    driver_read_new "" || true
    sleep 0.05
  done
  driver_read_new "" || true
  if kill -0 "$DRIVER_PID" 2>/dev/null; then
    echo "the driver did not quit within $seconds s; killing it" >&2
    kill -9 "$DRIVER_PID" 2>/dev/null || true
  fi
  local status=0
  wait "$DRIVER_PID" || status=$?
  DRIVER_PID=""
  return "$status"
}

driver_ms() {
  sed -n "s/^\[\([0-9]*\)\] $1\b.*/\1/p" "$DRIVER_LOG" | head -n 1
}

# The driver's stderr, last lines, for a failure report.
driver_tail() {
  echo "--- driver events:" >&2
  cat "$DRIVER_LOG" >&2 || true
  echo "--- driver log (last 40 lines):" >&2
  tail -n 40 "$DRIVER_ERR" >&2 || true
}
