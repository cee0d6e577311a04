#!/usr/bin/env bash
# `make run` starts the demo: a virtual QM2200 on COM1 with settings of its own, so every
# workflow can be tried at once and nothing set up for a real radio changes. A real radio is
# used by starting the program itself (build/kavprog, or kavprog once installed).
set -euo pipefail
program=$1
shift
echo "Starting the demo on a virtual QM2200 (COM1). For a real radio start $program directly."
exec "$program" "$@" --simulate
