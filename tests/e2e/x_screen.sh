# Sourced by the e2e scripts, which set `work` (a scratch folder) first: a virtual X server of
# their own, screenshots of it, and how long things took.

# Xvfb on a free display number with screen $1 (WxHxDEPTH), not reset when its last client leaves
# (the checks connect and disconnect all the time); sets xvfb_pid and DISPLAY. Status 1, its log
# in $work/xvfb.log, when it reports no display within 10 s.
start_xvfb() {
  : >"$work/display"
  Xvfb -displayfd 3 -screen 0 "$1" -nolisten tcp -noreset 3>"$work/display" \
    >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [[ -s $work/display ]] && export DISPLAY=":$(head -n 1 "$work/display")" && return 0
    kill -0 "$xvfb_pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

# The window $1 (an id, or root for the whole screen) as $work/shot.ppm.
shoot() {
  local source=(-id "$1")
  [[ $1 == root ]] && source=(-root)
  xwd -silent "${source[@]}" >"$work/shot.xwd" 2>/dev/null &&
    convert "xwd:$work/shot.xwd" -strip "ppm:$work/shot.ppm"
}

now() { date +%s.%N; }
seconds_since() { awk -v end="$(now)" -v start="$1" 'BEGIN { printf "%.1f", end - start }'; }
