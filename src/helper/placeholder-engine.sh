#!/bin/sh
# Stands in for an engine until the build stages the real one: reports how it
# was started (program, identity, one argument a line) and ends.
echo "placeholder engine: $0 as uid $(/usr/bin/id -u) gid $(/usr/bin/id -g)"
for argument in "$@"; do
  printf '%s\n' "$argument"
done
