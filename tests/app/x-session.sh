# What the end-to-end scripts share; sourced, not run.

# Quits the program whose process is $pid through ファイル > 終了 (its File menu must be reachable
# with the keyboard) and waits for it; on failure takes a screenshot named $1 and returns 1.
quit_through_menu() {
  xdotool key alt+f
  sleep 1
  xdotool key x
  for _ in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    echo "the program did not quit through ファイル > 終了" >&2
    import -window root "$1"
    return 1
  fi
  wait "$pid"
  pid=
}
