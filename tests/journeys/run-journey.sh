#!/usr/bin/env bash
# Runs one journey script against the real executable: its own D-Bus session
# (for the accessibility bus) and the system Python that has pyatspi.
# Usage: run-journey.sh <script.py> <quillora executable>
set -u
command -v dbus-run-session >/dev/null || { echo "SKIP: dbus-run-session is not installed"; exit 77; }
[ -x /usr/libexec/at-spi-bus-launcher ] || { echo "SKIP: at-spi-bus-launcher is not installed"; exit 77; }
export PYTHONPATH="$(cd "$(dirname "$0")" && pwd)${PYTHONPATH:+:$PYTHONPATH}"
exec timeout 600 dbus-run-session -- /usr/bin/python3 "$@"
