#!/usr/bin/env bash
# Starts the programmer. With no radio configured yet (no saved COM port), it starts the
# demo: a virtual QM2200 on COM1, so every workflow can be tried at once.
set -euo pipefail
program=$1
shift
settings="${XDG_CONFIG_HOME:-$HOME/.config}/Kav/QM2200.conf"
if grep -qs '^ComPort=' "$settings"; then
    exec "$program" "$@"
fi
echo "No radio configured yet: starting the demo on a virtual QM2200 (COM1)."
exec "$program" --simulate "$@"
