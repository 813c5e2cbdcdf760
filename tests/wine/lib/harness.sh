# Bash library for Wine tests: a private prefix copy and X display per test, bounded waits, counted checks.
# shellcheck shell=bash disable=SC2034  # WT_* variables are read by the scripts
#
# A test script sources it ("source \"$TW_HARNESS\""), calls wine_test_begin,
# drives the programs, makes checks and ends with wine_test_finish. Every wait
# has a limit, and the exit trap stops the test's Windows programs, its
# wineserver and its Xvfb however the script ends. The functions work with
# and without "set -e" in the script: they return 0 unless said otherwise and
# report results in WT_RC. See tests/wine/README.md.

WT_PASSED=0
WT_FAILED=0
WT_FAILURES=()
WT_RC=0
WT_PID=
WT_NAME=
WT_DIR=
WT_SHOT=
WT_XVFB_PID=
WT_WATCHDOG_PID=
WT_FINISHED=0
WT_ENDED=0

_wt_log() { echo "harness: $*" >&2; }

# Seconds since the epoch with fractions, for the set-up figures in the log.
_wt_now() { echo "${EPOCHREALTIME:-$(date +%s.%N)}"; }
_wt_since() { awk -v a="$1" -v b="$(_wt_now)" 'BEGIN { printf "%.2f", b - a }'; }

_wt_die() {
  _wt_log "error: $*"
  exit 1
}

# wine_test_begin NAME: fresh work folder, prefix copy, own display, exit trap.
wine_test_begin() {
  local -; set +e
  local name=${1:?wine_test_begin needs a test name}
  : "${TW_BINARY_DIR:?TW_BINARY_DIR is not set; run the test through ctest}"
  : "${TW_WINE_TEMPLATE:?TW_WINE_TEMPLATE is not set; run the test through ctest}"
  WT_NAME=$name
  WT_DIR=$TW_BINARY_DIR/wine-tests/$name
  trap '_wt_on_exit' EXIT
  trap 'exit 129' HUP
  trap 'exit 130' INT
  trap 'exit 143' TERM

  if [ ! -f "$TW_WINE_TEMPLATE/system.reg" ] || [ ! -f "$TW_WINE_TEMPLATE/.tw-template" ]; then
    WT_DIR=
    _wt_die "no template prefix in $TW_WINE_TEMPLATE (the wine_template test makes it)"
  fi
  # A run that was killed outright may have left its wineserver behind.
  [ -d "$WT_DIR/prefix" ] && WINEPREFIX=$WT_DIR/prefix timeout 20 wineserver -k >/dev/null 2>&1
  rm -rf "$WT_DIR" || _wt_die "cannot empty $WT_DIR"
  mkdir -p "$WT_DIR" || _wt_die "cannot make $WT_DIR"

  local t0; t0=$(_wt_now)
  # A shared lock: the template is never replaced while a test copies it.
  flock -s -w 600 "$TW_WINE_TEMPLATE.lock" cp -a "$TW_WINE_TEMPLATE" "$WT_DIR/prefix" ||
    _wt_die "cannot copy the template prefix"
  rm -f "$WT_DIR/prefix/.tw-template"
  local copy_time; copy_time=$(_wt_since "$t0")

  export WINEPREFIX=$WT_DIR/prefix
  export WINEARCH=win32
  export LANG=C.UTF-8
  # cabinet=n,b: the CABINET.DLL beside our programs, not Wine's builtin.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;cabinet=n,b"
  export WINEDEBUG=${TW_WINEDEBUG:--all}

  t0=$(_wt_now)
  _wt_start_xvfb || _wt_die "could not start Xvfb (see $WT_DIR/xvfb.log)"
  _wt_log "$name: prefix copied in ${copy_time}s, Xvfb $DISPLAY ready in $(_wt_since "$t0")s, folder $WT_DIR"
  _wt_start_watchdog
  return 0
}

# Starts Xvfb on the first free display from a per-process starting point.
# Xvfb itself refuses a display whose lock another server holds, so a race
# with a parallel test ends in a retry on the next number, never in sharing.
_wt_start_xvfb() {
  local -; set +e
  local n=$((100 + ($$ * 7 + RANDOM) % 800)) tries=0 ready i
  while [ $tries -lt 40 ]; do
    tries=$((tries + 1))
    n=$((n + 1))
    [ $n -ge 1000 ] && n=100
    if [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; then
      continue
    fi
    rm -f "$WT_DIR/xvfb.display"
    # -displayfd writes the number once the server accepts connections.
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp -displayfd 3 \
      3>"$WT_DIR/xvfb.display" >"$WT_DIR/xvfb.log" 2>&1 </dev/null &
    WT_XVFB_PID=$!
    i=0
    while [ $i -lt 100 ]; do
      ready=$(cat "$WT_DIR/xvfb.display" 2>/dev/null)
      if [ "$ready" = "$n" ]; then
        export DISPLAY=":$n"
        return 0
      fi
      kill -0 "$WT_XVFB_PID" 2>/dev/null || break
      sleep 0.1
      i=$((i + 1))
    done
    _wt_stop_xvfb
  done
  return 1
}

_wt_stop_xvfb() {
  local -; set +e
  [ -n "$WT_XVFB_PID" ] || return 0
  kill -TERM "$WT_XVFB_PID" 2>/dev/null
  local i=0
  while kill -0 "$WT_XVFB_PID" 2>/dev/null && [ $i -lt 50 ]; do
    sleep 0.1
    i=$((i + 1))
  done
  kill -KILL "$WT_XVFB_PID" 2>/dev/null
  wait "$WT_XVFB_PID" 2>/dev/null
  WT_XVFB_PID=
  return 0
}

# Stops the test a little before ctest would kill it, so that the exit trap
# still runs and takes the test's processes with it.
_wt_start_watchdog() {
  local -; set +e
  local limit=${TW_TIMEOUT:-300} main=$$
  limit=$((limit > 40 ? limit - 15 : limit * 2 / 3))
  # It waits in "read -t" on a FIFO nobody writes, not in a sleep child, so
  # that killing it leaves no process behind.
  local fifo=$WT_DIR/watchdog.fifo
  rm -f "$fifo"
  mkfifo "$fifo" || { _wt_log "no watchdog: cannot make $fifo"; return 0; }
  (
    trap - EXIT HUP INT TERM
    exec 3<>"$fifo"
    read -r -t "$limit" -u 3
    echo "harness: $WT_NAME ran out of time (${limit}s), stopping it" >&2
    : >"$WT_DIR/watchdog.fired"
    # The script takes the signal once its current command returns, which
    # the end of the prefix's programs then brings about.
    kill -TERM "$main" 2>/dev/null
    timeout 10 wineserver -k >/dev/null 2>&1
  ) &
  WT_WATCHDOG_PID=$!
  return 0
}

_wt_on_exit() {
  local status=$?
  set +e
  if [ "$WT_FINISHED" != 1 ]; then
    _wt_log "$WT_NAME ended (status $status) without wine_test_finish"
    [ "$status" = 0 ] && status=1
  fi
  wine_test_end "$status"
  exit "$status"
}

# wine_test_end [STATUS]: stops everything the test started; keeps the work
# folder when the test failed or TW_KEEP=1, removes it otherwise. The exit
# trap calls it; calling it earlier is allowed, a second call does nothing.
wine_test_end() {
  local -; set +e
  local status=${1:-0}
  [ "$WT_ENDED" = 1 ] && return 0
  WT_ENDED=1
  # The clean-up is bounded; a signal must not cut it short.
  trap '' HUP INT TERM
  if [ -n "$WT_WATCHDOG_PID" ]; then
    # Once it has fired it is stopping the programs; killing it then would
    # leave that half done, so it is waited for (its steps are bounded).
    [ -e "$WT_DIR/watchdog.fired" ] || kill -TERM "$WT_WATCHDOG_PID" 2>/dev/null
    wait "$WT_WATCHDOG_PID" 2>/dev/null
    WT_WATCHDOG_PID=
  fi
  if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
    timeout 20 wineserver -k >/dev/null 2>&1
    timeout 20 wineserver -w >/dev/null 2>&1
    _wt_kill_prefix_processes
    _wt_remove_server_dir
  fi
  if [ -n "$WT_PID" ]; then
    kill -KILL "$WT_PID" 2>/dev/null
    wait "$WT_PID" 2>/dev/null
    WT_PID=
  fi
  _wt_stop_xvfb
  [ -n "$WT_DIR" ] || return 0
  if [ "$status" != 0 ] || [ "$WT_FAILED" != 0 ]; then
    _wt_log "$WT_NAME failed; its folder is kept: $WT_DIR"
  elif [ "${TW_KEEP:-0}" = 1 ]; then
    _wt_log "$WT_NAME: folder kept (TW_KEEP=1): $WT_DIR"
  else
    rm -rf "$WT_DIR"
  fi
  return 0
}

# A program that was just starting when the server went (a folder remover
# launched at a program's exit, say) can outlive "wineserver -k" and keep
# ctest's pipes open. Whatever still runs with this test's prefix goes.
_wt_kill_prefix_processes() {
  local environ pid
  for environ in /proc/[0-9]*/environ; do
    pid=${environ#/proc/}
    pid=${pid%/environ}
    [ "$pid" = "$$" ] && continue
    # The display is stopped in order below (a killed Xvfb leaves its lock).
    [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = Xvfb ] && continue
    if { tr '\0' '\n' <"$environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX"; then
      kill -KILL "$pid" 2>/dev/null
    fi
  done
}

# Wine keeps each prefix's server socket folder under a private folder in
# /tmp named in $WINEPREFIX/wineserver; once the server is gone it is litter.
_wt_remove_server_dir() {
  local -; set +e
  local base dev ino dir
  base=$(cat "$WINEPREFIX/wineserver" 2>/dev/null) || return 0
  case $base in ''|*/*|.*) return 0 ;; esac
  dev=$(stat -c %D "$WINEPREFIX") || return 0
  ino=$(printf '%x' "$(stat -c %i "$WINEPREFIX")") || return 0
  dir=/tmp/$base/server-$dev-$ino
  [ -d "$dir" ] && [ ! -e "$dir/socket" ] && rm -rf "$dir"
  return 0
}

# wine_run SECONDS PROGRAM [ARGS...]: runs to the end; WT_RC is the program's
# exit code (its low 8 bits, as Unix passes it on), 124 when time ran out.
wine_run() {
  local -; set +e
  local secs=${1:?wine_run needs seconds}; shift
  timeout -k 5 "$secs" wine "$@"
  WT_RC=$?
  return 0
}

# wine_start PROGRAM [ARGS...]: starts in the background; WT_PID is its pid.
wine_start() {
  wine "$@" &
  WT_PID=$!
  return 0
}

# wine_wait_pid SECONDS: waits for the program of wine_start; WT_RC is its
# exit code, or 124 after the program was stopped when time ran out.
wine_wait_pid() {
  local -; set +e
  local secs=${1:?wine_wait_pid needs seconds} pid=${WT_PID:?wine_wait_pid without wine_start}
  local i=0 n=$((secs * 10)) j
  while kill -0 "$pid" 2>/dev/null; do
    if [ $i -ge $n ]; then
      kill -TERM "$pid" 2>/dev/null
      j=0
      while kill -0 "$pid" 2>/dev/null && [ $j -lt 50 ]; do sleep 0.1; j=$((j + 1)); done
      kill -KILL "$pid" 2>/dev/null
      wait "$pid" 2>/dev/null
      WT_RC=124
      WT_PID=
      return 0
    fi
    sleep 0.1
    i=$((i + 1))
  done
  wait "$pid"
  WT_RC=$?
  WT_PID=
  return 0
}

# wine_wait_idle [SECONDS]: waits until every program in the prefix has ended
# and the wineserver has gone; returns 1 when time ran out.
wine_wait_idle() {
  local -; set +e
  timeout "${1:-60}" wineserver -w
  WT_RC=$?
  [ $WT_RC = 0 ]
}

# wine_wait_for SECONDS COMMAND...: repeats COMMAND every tenth of a second
# until it succeeds; returns 1 when time ran out.
wine_wait_for() {
  local -; set +e
  local secs=${1:?wine_wait_for needs seconds}; shift
  local i=0 n=$((secs * 10))
  while ! "$@" >/dev/null 2>&1; do
    [ $i -ge $n ] && return 1
    sleep 0.1
    i=$((i + 1))
  done
  return 0
}

# wine_screenshot FILE.png: the whole screen once it stands still (see
# screenshot.sh); a relative name lands in $WT_DIR. Sets WT_SHOT to the
# file's path; returns 1 when no picture was made.
source "$(dirname "${BASH_SOURCE[0]}")/screenshot.sh"
wine_screenshot() {
  local -; set +e
  local file=${1:?wine_screenshot needs a file name}
  case $file in /*) ;; *) file=$WT_DIR/$file ;; esac
  WT_SHOT=$file
  tw_screenshot "$file" || { _wt_log "screenshot $file failed"; return 1; }
  return 0
}

# wine_click X Y: a left click at screen coordinates (the virtual desktop
# fills the screen, so Windows screen coordinates are X coordinates).
wine_click() {
  local -; set +e
  timeout 10 xdotool mousemove --sync "${1:?}" "${2:?}" click 1
}

# wine_key KEY...: key presses by xdotool names (Return, Tab, alt+n).
wine_key() {
  local -; set +e
  timeout 10 xdotool key --delay 50 "$@"
}

# wine_winpath UNIXPATH / wine_unixpath WINPATH: path conversion on stdout.
wine_winpath() {
  timeout 30 wine winepath.exe -w "${1:?}" 2>/dev/null | tr -d '\r'
}
wine_unixpath() {
  timeout 30 wine winepath.exe -u "${1:?}" 2>/dev/null | tr -d '\r'
}

# wine_set_version win98|winxp|win7|win10: the Windows version that the next
# program reports. The value lives in the running wineserver's registry,
# which every new process reads at start-up; reading it back makes sure the
# write has landed before this returns. Returns 1 on failure.
wine_set_version() {
  local -; set +e
  local v=${1:?wine_set_version needs a version}
  case $v in
    win98|winxp|win7|win10) ;;
    *) _wt_log "wine_set_version: unknown version '$v'"; return 1 ;;
  esac
  timeout 60 wine reg add 'HKCU\Software\Wine' /v Version /t REG_SZ /d "$v" /f >/dev/null 2>&1 ||
    { _wt_log "wine_set_version: reg add failed"; return 1; }
  wine_reg_query 'HKCU\Software\Wine' Version | grep -q "REG_SZ[[:space:]]*$v\$" ||
    { _wt_log "wine_set_version: Version is not $v after writing it"; return 1; }
  return 0
}

# wine_reg_query KEY [VALUE]: "wine reg query" output without CRs; the exit
# status is reg's (1 when the key or value does not exist).
wine_reg_query() {
  local -; set +e
  local key=${1:?wine_reg_query needs a key} out rc
  if [ $# -ge 2 ]; then
    out=$(timeout 60 wine reg query "$key" /v "$2" 2>/dev/null)
  else
    out=$(timeout 60 wine reg query "$key" 2>/dev/null)
  fi
  rc=$?
  printf '%s\n' "$out" | tr -d '\r'
  return $rc
}

_wt_pass() {
  WT_PASSED=$((WT_PASSED + 1))
  echo "PASS: $1"
}
_wt_fail() {
  WT_FAILED=$((WT_FAILED + 1))
  WT_FAILURES+=("$1")
  echo "FAIL: $1${2:+ -- $2}"
}

# check NAME COMMAND...: passes when COMMAND succeeds. Returns its result.
check() {
  local -; set +e
  local name=${1:?check needs a name}; shift
  [ $# -gt 0 ] || { _wt_fail "$name" "no command given"; return 1; }
  "$@"
  local rc=$?
  if [ $rc = 0 ]; then _wt_pass "$name"; return 0; fi
  _wt_fail "$name" "status $rc from: $*"
  return 1
}

# check_eq NAME EXPECTED ACTUAL: passes when both strings are equal.
check_eq() {
  local name=${1:?check_eq needs a name}
  if [ $# -ne 3 ]; then _wt_fail "$name" "check_eq needs NAME EXPECTED ACTUAL"; return 1; fi
  if [ "$2" = "$3" ]; then _wt_pass "$name"; return 0; fi
  _wt_fail "$name" "expected '$2', got '$3'"
  return 1
}

# check_file NAME PATH: passes when PATH is an existing regular file.
check_file() {
  local name=${1:?check_file needs a name}
  if [ -f "${2:-}" ]; then _wt_pass "$name"; return 0; fi
  _wt_fail "$name" "no file ${2:-(none given)}"
  return 1
}

# wine_test_finish: ends the test, prints the tally and exits; non-zero when
# a check failed or no check was made at all.
wine_test_finish() {
  local -; set +e
  local status=0 f
  if [ "$WT_FAILED" != 0 ]; then
    status=1
  elif [ "$WT_PASSED" = 0 ]; then
    _wt_log "${WT_NAME:-test} made no checks"
    status=1
  fi
  WT_FINISHED=1
  wine_test_end "$status"
  for f in "${WT_FAILURES[@]}"; do echo "failed: $f"; done
  echo "${WT_NAME:-test}: $WT_PASSED passed, $WT_FAILED failed"
  exit "$status"
}
