# Shell functions that make test packages for the dispatcher's Wine tests:
# the runtime cabinet, the bound dispatcher, packages and their runs.
# Sourced after wine_test_begin; uses TW_DIST, TW_DISPATCHER_TOOLS and
# TW_DISPATCHER_KIT.

KIT=$WT_DIR/kit
PROBE=${TW_DISPATCHER_TOOLS:?TW_DISPATCHER_TOOLS is not set}/window_probe.exe
# The cabinet keeps DOS times: even seconds, read as they stand (UTC here).
KIT_TIME_DLL='2003-04-05 06:07:08'
KIT_TIME_EXE='2004-05-06 07:08:10'
KIT_TIME_RFD='2005-06-07 08:09:12'

# kit_setup: the runtime files, the runtime cabinet (and one with the
# entries in reverse order, one whose runtime is no program), and the
# temporary path of the prefix.
kit_setup() {
  mkdir -p "$KIT/runtime" "$KIT/pkgs"
  cp "$TW_DISPATCHER_TOOLS/standin_runtime.exe" "$KIT/runtime/_SETUP.EXE"
  head -c 5000 /dev/urandom >"$KIT/runtime/_SETUP.DLL"
  head -c 3000 /dev/urandom >"$KIT/runtime/ZETURFD.EXE"
  TZ=UTC touch -d "$KIT_TIME_DLL" "$KIT/runtime/_SETUP.DLL"
  TZ=UTC touch -d "$KIT_TIME_EXE" "$KIT/runtime/_SETUP.EXE"
  TZ=UTC touch -d "$KIT_TIME_RFD" "$KIT/runtime/ZETURFD.EXE"
  (cd "$KIT/runtime" && TZ=UTC gcab -c -z "$KIT/runtime.cab" _SETUP.DLL _SETUP.EXE ZETURFD.EXE &&
     TZ=UTC gcab -c -z "$KIT/runtime-reversed.cab" ZETURFD.EXE _SETUP.EXE _SETUP.DLL) ||
    { echo "kit: gcab failed" >&2; return 1; }
  # A runtime that cannot be started: its _SETUP.EXE is no program.
  mkdir -p "$KIT/runtime-bad"
  cp -p "$KIT/runtime/_SETUP.DLL" "$KIT/runtime/ZETURFD.EXE" "$KIT/runtime-bad/"
  printf 'no program at all\r\n%.0s' $(seq 50) >"$KIT/runtime-bad/_SETUP.EXE"
  (cd "$KIT/runtime-bad" && TZ=UTC gcab -c -z "$KIT/runtime-not-startable.cab" _SETUP.DLL _SETUP.EXE ZETURFD.EXE) ||
    { echo "kit: gcab failed" >&2; return 1; }
  KIT_TEMP_WIN=$(timeout 60 wine cmd /c 'echo %TEMP%' 2>/dev/null | tr -d '\r')
  KIT_TEMP=$(wine_unixpath "$KIT_TEMP_WIN")
  mkdir -p "$KIT_TEMP"
  KIT_LOG=$KIT/standin.log
  KIT_RELEASE=$KIT/standin.release
  export TW_STANDIN_LOG TW_STANDIN_RELEASE
  TW_STANDIN_LOG=$(wine_winpath "$KIT_LOG")
  TW_STANDIN_RELEASE=$(wine_winpath "$KIT_RELEASE")
}

# kit_bind NAME: ZETUBODY.EXE with resources NAME.res bound by rsrc, as
# $KIT/bound-NAME.exe.
kit_bind() {
  local name=$1 out=$KIT/bound-$1.exe
  cp "$TW_DIST/ZETUBODY.EXE" "$out"
  cp "$TW_DISPATCHER_TOOLS/$name.res" "$KIT/$name.res"
  wine_run 120 "$TW_DIST/rsrc.exe" "$(wine_winpath "$out")" "$(wine_winpath "$KIT/$name.res")"
  [ "$WT_RC" = 0 ] && [ "$(stat -c %s "$out")" -gt "$(stat -c %s "$TW_DIST/ZETUBODY.EXE")" ] || return 1
  # The checks of items 1 and 2, as the builder binds them.
  python3 "$TW_DISPATCHER_KIT/make_checks_res.py" "$KIT/checks.res" "$TW_DIST/CABINET.DLL" "$TW_DIST/CABXPD32.DLL"
  wine_run 120 "$TW_DIST/rsrc.exe" "$(wine_winpath "$out")" "$(wine_winpath "$KIT/checks.res")"
  [ "$WT_RC" = 0 ]
}

# kit_package DIR NAME [make_package options...]: $KIT/pkgs/DIR/NAME.exe
# from the bound dispatcher ($KIT_BOUND) and the three items.
kit_package() {
  local dir=$KIT/pkgs/$1 name=$2; shift 2
  local cab=${KIT_CAB:-$KIT/runtime.cab}
  mkdir -p "$dir"
  python3 "$TW_DISPATCHER_KIT/make_package.py" --image "${KIT_BOUND:?}" \
    --item "$TW_DIST/CABINET.DLL" --item "$TW_DIST/CABXPD32.DLL" --item "$cab" \
    --out "$dir/$name.exe" "$@"
}

# kit_work_folders: the work folders in the temporary path, one a line.
kit_work_folders() {
  find "$KIT_TEMP" -mindepth 1 -maxdepth 1 -type d -name 'ZET*' -printf '%f\n' | sort
}

# kit_release: lets the stand-in runtime end and waits for it.
kit_release() {
  touch "$KIT_RELEASE"
  wine_wait_for 60 grep -q released "$KIT_LOG"
  local rc=$?
  rm -f "$KIT_RELEASE"
  return $rc
}

# kit_field NAME FILE: the value of NAME=... in a probe or stand-in file.
kit_field() { sed -n "s/^$1=//p" "$2" | tr -d '\r' | head -1; }

# kit_utf8 FILE: a file of code page 1252 text as UTF-8.
kit_utf8() { iconv -f CP1252 -t UTF-8 "$1"; }

# kit_mtime FILE / kit_epoch 'DATE': Unix seconds.
kit_mtime() { stat -c %Y "$1"; }
kit_epoch() { TZ=UTC date -d "$1" +%s; }

# kit_same NAME A B: check that two files hold the same bytes.
kit_same() { check "$1" cmp -s "$2" "$3"; }

# kit_pixels FILE GEOMETRY COLOUR [FUZZ]: pixels near COLOUR inside
# GEOMETRY (WxH+X+Y) of a screenshot.
kit_pixels() {
  convert "$1" -crop "$2" +repage -alpha off -fuzz "${4:-12}%" -fill black +opaque "$3" \
    -fill white -opaque "$3" -colorspace gray -format '%[fx:int(mean*w*h+0.5)]' info:
}

# kit_dialog_text FILE: the text= value of a probe file, as UTF-8, over as
# many lines as it runs, without carriage returns.
kit_dialog_text() {
  kit_utf8 "$1" | tr -d '\r' | sed -n '/^text=/,/^rect=/p' | sed '$d'
}

# kit_box_drawn FILE: a screenshot in which a message box with the error
# icon (red) has been painted.
kit_box_drawn() {
  wine_screenshot "$1" && [ "$(kit_pixels "$WT_SHOT" 1024x768+0+0 '#e0302c' 25)" -ge 200 ]
}
