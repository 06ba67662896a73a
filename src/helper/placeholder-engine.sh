#!/bin/sh
# Stands in for an engine until the build stages the real one: reports how it
# was started, one argument a line, and ends.
echo "placeholder engine: $0"
for argument in "$@"; do
  printf '%s\n' "$argument"
done
