# shellcheck shell=bash
# Sourced by the benchmarks: the session harness (tests/harness/drive-session.sh),
# their tear-down on exit, and the measuring helpers they share.
#   fail MESSAGE   prints MESSAGE (and the driver's log, if one ran) and exits 1
#   now_us         the wall clock in microseconds
#   median N...    the median of the numbers
#   rss_kb PID     the resident memory of a process (kB)
# A benchmark that starts a background ping keeps its pid in ping_pid, so that
# the tear-down stops it.

# shellcheck source-path=SCRIPTDIR source=../tests/harness/drive-session.sh
source "$(dirname "${BASH_SOURCE[0]}")/../tests/harness/drive-session.sh"
session_require_root "bench/$(basename "$0")"

fail() { echo "$(basename "$0"): $*" >&2; [ -n "$DRIVER_LOG" ] && driver_tail; exit 1; }

ping_pid=""
bench_cleanup() {
  if [ -n "$ping_pid" ]; then kill "$ping_pid" 2>/dev/null || true; fi
  session_down
}
trap bench_cleanup EXIT
trap 'exit 130' INT TERM

now_us() { echo "${EPOCHREALTIME/./}"; }
median() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }

rss_kb() {
  sed -n 's/^VmRSS:[[:space:]]*\([0-9]*\) kB/\1/p' "/proc/$1/status"
}
