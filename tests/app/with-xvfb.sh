#!/usr/bin/env bash
# Runs a command under an X server of its own. The server picks a free display number itself
# (-displayfd) and keeps it: end-to-end runs side by side never share a server, as two
# `xvfb-run -a` started at once can. With --wm openbox first, the window manager runs on it
# before the command starts, as on a user's desktop.
set -euo pipefail
wm=
if [[ "${1:-}" == --wm ]]; then
  wm=$2
  shift 2
fi
ready=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$ready" 2>/dev/null &
server=$!
manager=
trap 'kill $manager "$server" 2>/dev/null || true; rm -f "$ready"' EXIT
# The number is whole once its line is.
for _ in $(seq 1 300); do
  [[ $(wc -l <"$ready") -ge 1 ]] && break
  kill -0 "$server" 2>/dev/null || { echo "the X server did not start" >&2; exit 1; }
  sleep 0.1
done
[[ $(wc -l <"$ready") -ge 1 ]] || { echo "the X server did not say its display" >&2; exit 1; }
display=":$(head -n 1 "$ready")"
if [[ -n "$wm" ]]; then
  wmhome=$(mktemp -d)
  HOME=$wmhome XDG_CONFIG_HOME=$wmhome DISPLAY=$display "$wm" >/dev/null 2>&1 &
  manager=$!
  trap 'kill $manager "$server" 2>/dev/null || true; rm -rf "$ready" "$wmhome"' EXIT
  # A window manager announces itself on the root window once it manages windows.
  for _ in $(seq 1 300); do
    DISPLAY=$display xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    kill -0 "$manager" 2>/dev/null || { echo "$wm did not start" >&2; exit 1; }
    sleep 0.1
  done
  DISPLAY=$display xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' ||
    { echo "$wm did not take the screen" >&2; exit 1; }
fi
status=0
DISPLAY=$display "$@" || status=$?
if ((status != 0)); then
  echo "failed on display $display; its server still runs: $(kill -0 "$server" 2>/dev/null && echo yes || echo no)" >&2
fi
exit "$status"
