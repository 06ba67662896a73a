#!/bin/bash
# Stands in for the privileged helper in the driver's tests: records its
# process id, the caller-authentication lines, the engine's secret and its
# arguments (last, so that a test that sees them finds the rest), then lives
# until the test writes an exit code to "exit" in ORVAL_FAKE_ENGINE_DIR. The
# test itself plays the engine's two command channels.
dir="${ORVAL_FAKE_ENGINE_DIR:?}"
echo "$$" > "$dir/pid"
# Line by line: a reader of whole blocks would swallow the lines after them.
IFS= read -r timestamp
IFS= read -r digest
printf '%s\n%s\n' "$timestamp" "$digest" > "$dir/authentication"
IFS= read -r secret
printf '%s' "$secret" > "$dir/secret"
printf '%s\n' "$@" > "$dir/arguments.tmp" && mv "$dir/arguments.tmp" "$dir/arguments"
while [ ! -e "$dir/exit" ]; do sleep 0.05; done
exit "$(cat "$dir/exit")"
