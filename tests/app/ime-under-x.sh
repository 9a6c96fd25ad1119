#!/usr/bin/env bash
# Japanese typed through a real input method (fcitx5 with Mozc) into a new editing window, the
# composition started at the editor's right edge so that it wraps: the converted text must be
# committed whole after the line typed before it. ime-e2e.sh does the session; this picks a free
# display and a folder of its own.
set -euo pipefail
here=$(dirname "$(readlink -f "$0")")
dir=$(mktemp -d /tmp/qjs-ime.XXXXXX)
trap 'rm -rf "$dir"' EXIT
display=95
while [[ -e /tmp/.X11-unix/X$display || -e /tmp/.X$display-lock ]]; do display=$((display + 1)); done
lead=$(printf 'x%.0s' $(seq 1 78))
IME_DIR=$dir IME_DISPLAY=$display IME_SHOTS=0 IME_LEAD=$lead IME_EXPECT="${lead}日本語" \
  bash "$here/ime-e2e.sh" "$1"
