#!/usr/bin/env bash
# Runs a command with DISPLAY set to a private Xvfb server (1280x1024: SFML
# 2.5 misplaces windows on wider screens), which is stopped afterwards.
# The server names its own free display number once it accepts connections;
# -noreset keeps it from resetting, and refusing connections, whenever its
# last client leaves.
set -euo pipefail
number_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$number_file" >/dev/null 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -f "$number_file"' EXIT
for _ in $(seq 1 300); do
  [ -s "$number_file" ] && break
  kill -0 "$server" 2>/dev/null || { echo "with-xvfb: Xvfb did not start" >&2; exit 1; }
  sleep 0.05
done
[ -s "$number_file" ] || { echo "with-xvfb: Xvfb did not answer" >&2; exit 1; }
DISPLAY=":$(head -n 1 "$number_file")" "$@"
