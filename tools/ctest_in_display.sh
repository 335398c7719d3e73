#!/usr/bin/env bash
# Runs CTest inside the virtual display. Wine's helper processes (services,
# the desktop window) are started first with their output sent to /dev/null:
# started by a test instead, they would inherit CTest's output pipe and keep
# the test "running" until the time-out.
set -uo pipefail
wineserver -p
wine cmd /c exit </dev/null >/dev/null 2>&1
ctest --output-on-failure --timeout 600 -j 2 "$@"
rc=$?
wineserver -k >/dev/null 2>&1
exit $rc
