#!/usr/bin/env bash
# Starts the editor under the X server xvfb-run gave us and waits for the frame's title.
set -euo pipefail
program=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -m 700 "$work/runtime"
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" HOME="$work"
"$program" &
pid=$!
title="Quorvel for JavaScript v.1.46"
if ! win=$(timeout 60 xdotool search --sync --all --pid "$pid" --name "^${title//./\\.}\$" | head -n 1); then
  echo "no window titled \"$title\" appeared" >&2
  kill "$pid" 2>/dev/null || true
  exit 1
fi
echo "window $win: $(xdotool getwindowname "$win")"
# No window manager runs here to deliver a close request; end the process instead.
kill -TERM "$pid"
wait "$pid" 2>/dev/null || true
