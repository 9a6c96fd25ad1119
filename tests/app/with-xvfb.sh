#!/usr/bin/env bash
# Runs a command under an X server of its own. The server picks a free display number itself
# (-displayfd) and keeps it: end-to-end runs side by side never share a server, as two
# `xvfb-run -a` started at once can.
set -euo pipefail
ready=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$ready" 2>/dev/null &
server=$!
trap 'kill "$server" 2>/dev/null || true; rm -f "$ready"' EXIT
# The number is whole once its line is.
for _ in $(seq 1 300); do
  [[ $(wc -l <"$ready") -ge 1 ]] && break
  kill -0 "$server" 2>/dev/null || { echo "the X server did not start" >&2; exit 1; }
  sleep 0.1
done
[[ $(wc -l <"$ready") -ge 1 ]] || { echo "the X server did not say its display" >&2; exit 1; }
display=":$(head -n 1 "$ready")"
status=0
DISPLAY=$display "$@" || status=$?
if ((status != 0)); then
  echo "failed on display $display; its server still runs: $(kill -0 "$server" 2>/dev/null && echo yes || echo no)" >&2
fi
exit "$status"
