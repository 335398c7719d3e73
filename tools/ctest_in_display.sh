#!/usr/bin/env bash
# Runs CTest inside the virtual display. Wine's helper processes (services,
# the desktop window) are started first with their output sent to /dev/null:
# started by a test instead, they would inherit that test's output pipe, and
# CTest would count the test as running until they ended. The desktop process
# is started on its own, in the background: Wine starts it on demand only for
# a program with windows and ends it a few seconds after the last such
# program, so the next window test would start it again. A program with a
# window run to its end then waits until the desktop is up.
set -uo pipefail
wineserver -p
wine cmd /c exit </dev/null >/dev/null 2>&1
wine explorer.exe /desktop </dev/null >/dev/null 2>&1 &
wine rundll32.exe </dev/null >/dev/null 2>&1
ctest --output-on-failure --timeout 600 -j 2 "$@"
rc=$?
wineserver -k >/dev/null 2>&1
exit $rc
