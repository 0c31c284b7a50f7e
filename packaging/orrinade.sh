#!/bin/sh
# Starts the editor from the folder that holds its font, which it reads from
# its working directory. Everything is found relative to this script, so the
# installed tree works wherever it is put.
here=$(dirname "$(readlink -f "$0" 2>/dev/null || echo "$0")")
cd "$here/../share/orrinade" || exit 1
exec "$here/../lib/orrinade/orrinade" "$@"
