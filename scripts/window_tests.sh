#!/usr/bin/env bash
# Runs the window tests of the build folder given on a virtual screen. They all run in
# one process, which ctest counts as one test, so the names of the failing tests, and
# of a test during which the process died, are repeated at the end.
set -uo pipefail
cd "$1"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
xvfb-run -a -s '-screen 0 1600x1200x24' ctest --output-on-failure -L ui --output-log "$log"
status=$?
[ "$status" -eq 0 ] && exit 0

# Whether the log shows the test ending: an OK or FAILED line of its name, which a
# time, a parameter or nothing follows.
finished() {
  awk -v name="$1" '{
    for (i = 0; i < 2; i++) {
      head = (i ? "[  FAILED  ] " : "[       OK ] ") name
      if (index($0, head) == 1 && substr($0, length(head) + 1) ~ /^([ ,]|$)/) found = 1
    }
  } END { exit !found }' "$log"
}

failed=$(sed -n 's/^\[  FAILED  \] \([^ ,]*\.[^ ,]*\).*/\1/p' "$log" | sort -u)
last=$(sed -n 's/^\[ RUN      \] //p' "$log" | tail -n 1)
if [ -n "$last" ] && ! finished "$last"; then
  echo "Window test that did not finish: $last"
fi
if [ -n "$failed" ]; then
  echo "Failed window tests:"
  echo "$failed" | sed 's/^/  /'
fi
exit "$status"
