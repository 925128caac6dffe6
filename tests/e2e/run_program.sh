#!/usr/bin/env bash
# The helpers that start a program and wait for its end (scripts/xservers.sh), on plain
# commands: the status they give for a program that exits, for one that a signal ends,
# and for one that outlasts the timeout; the directory and environment it starts with.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
log=$E2E_DIR/program.log

start_program "$E2E_DIR" "$log" GREETING=hello sh -c 'pwd; echo "$GREETING"; exit 3'
wait_exit "$PROGRAM_PID" 10 || fail "a program that exits at once still runs"
[[ $EXIT_STATUS == 3 ]] || fail "exit status $EXIT_STATUS, not 3"
[[ $(cat "$log") == "$E2E_DIR"$'\n'hello ]] || fail "started elsewhere or without its variable: $(cat "$log")"

# A background job of a script ignores SIGINT unless it is handed on as from a terminal.
start_program "$E2E_DIR" "$log" sleep 30
DEMO_PID=$PROGRAM_PID
sleep 0.2
kill -INT "$PROGRAM_PID"
wait_exit "$PROGRAM_PID" 5 || fail "SIGINT did not end the program"
[[ $EXIT_STATUS == 130 ]] || fail "exit status after SIGINT: $EXIT_STATUS, not 130"

start_program "$E2E_DIR" "$log" sleep 30
DEMO_PID=$PROGRAM_PID
wait_exit "$PROGRAM_PID" 1 && fail "wait_exit returned success for a program still running"
[[ $EXIT_STATUS == running ]] || fail "status of a running program: $EXIT_STATUS"
kill -0 "$PROGRAM_PID" 2>/dev/null || fail "the program ended before its time"
echo "PASS"
