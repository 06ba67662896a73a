#!/bin/bash
# Stands in for the privileged helper in the driver's tests: records its
# process id, its arguments and the caller-authentication lines, then lives
# until the test writes an exit code to "exit" in ORVAL_FAKE_ENGINE_DIR. The
# test itself plays the engine's two command channels.
dir="${ORVAL_FAKE_ENGINE_DIR:?}"
echo "$$" > "$dir/pid"
printf '%s\n' "$@" > "$dir/arguments.tmp" && mv "$dir/arguments.tmp" "$dir/arguments"
head -n 2 > "$dir/authentication"
while [ ! -e "$dir/exit" ]; do sleep 0.05; done
exit "$(cat "$dir/exit")"
