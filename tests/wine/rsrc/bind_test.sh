#!/usr/bin/env bash
# rsrc.exe binds a resource file into modules: the bound resources are found
# with their bytes, a resource of the same type and name is replaced in every
# language, the module's other resources and its code stay; failures leave
# the module as it was and say why on stderr with a nonzero exit code; started
# detached as the builder starts it, it gets its arguments every time.
source "$TW_HARNESS"
wine_test_begin rsrc_bind

probe=${TW_RES_PROBE:?TW_RES_PROBE is not set}
rsrc=$TW_DIST/rsrc.exe
check_file "rsrc-in-dist" "$rsrc"
imports=$(i686-w64-mingw32-objdump -p "$rsrc" | awk '/DLL Name:/ { print toupper($3) }' | sort | tr '\n' ' ')
check_eq "imports-only-system-dlls" "KERNEL32.DLL MSVCRT.DLL " "$imports"

work=$WT_DIR/work
mkdir -p "$work"
cd "$work" || exit 1

# The file to bind, made by the toolchain's resource compiler: an ordinal
# resource that replaces one the probe carries in two languages, a named
# type with a named resource, a custom ordinal type and a string block.
printf 'new seven bytes!!' >seven.bin            # 17 bytes: odd length
head -c 1001 /dev/urandom >profile.bin
printf 'A' >one.bin
cat >bind.rc <<'EOF'
LANGUAGE 0, 0
7 RCDATA "seven.bin"
PROFILE ZETUDATA "profile.bin"
1 100 "one.bin"
STRINGTABLE { 16 "sixteen" }
EOF
i686-w64-mingw32-windres -O res bind.rc bind.res
check_file "resource-file-made" "$work/bind.res"

# list MODULE: the probe's resource listing (type name language size hash).
list() { timeout 60 wine "$probe" list "$1" 2>/dev/null | tr -d '\r'; }
# dumped NAME MODULE TYPE ID LANG FILE: the resource's bytes equal FILE.
dumped() {
  rm -f "$work/dump.bin"
  timeout 60 wine "$probe" dump "$2" "$3" "$4" "$5" dump.bin >/dev/null 2>&1
  check "$1" cmp -s "$work/dump.bin" "$6"
}
# bind NAME TARGET RESFILE: runs the binder; WT_RC, stderr in NAME.err.
bind() {
  wine_run 60 "$rsrc" "$2" "$3" >"$1.out" 2>"$1.err"
  tr -d '\r' <"$1.err" >"$1.msg"
}

# A copy of the probe is the target: it carries RCDATA KEEPME (0409),
# RCDATA 7 in 0409 and 0407 and string block 1. Stripped, as every
# deliverable is: the update keeps no symbol table in place.
i686-w64-mingw32-strip -o target.exe "$probe"
before=$(list target.exe)
check_eq "probe-carries-four-resources" 4 "$(grep -c . <<<"$before")"
keep_self=$(timeout 60 wine target.exe self '#10' KEEPME 2>/dev/null | tr -d '\r')
# code FILE MODULE: the module's first section (its code) as a file. Read
# from the section table directly: the update leaves the COFF string table
# that long section names point into behind, which upsets objcopy.
code() {
  python3 - "$2" "$1" <<'PY'
import struct, sys
b = open(sys.argv[1], 'rb').read()
pe = struct.unpack_from('<I', b, 0x3c)[0]
opt = struct.unpack_from('<H', b, pe + 20)[0]
size, raw = struct.unpack_from('<II', b, pe + 24 + opt + 16)
open(sys.argv[2], 'wb').write(b[raw:raw + size])
PY
}
code text-before.bin target.exe

bind first target.exe bind.res
check_eq "bind-exit-code" 0 "$WT_RC"
check_eq "bind-says-nothing" "" "$(cat first.msg)"
after=$(list target.exe)
printf '%s\n' "$after" >after.lst
check_eq "replaced-in-every-language" "#10 #7 0000 17" "$(grep '^#10 #7 ' <<<"$after" | cut -d' ' -f1-4)"
check_eq "other-resource-kept" "$(grep '^#10 KEEPME ' <<<"$before")" "$(grep '^#10 KEEPME ' <<<"$after")"
check_eq "other-string-block-kept" "$(grep '^#6 #1 ' <<<"$before")" "$(grep '^#6 #1 ' <<<"$after")"
check_eq "named-type-and-name" "ZETUDATA PROFILE 0000 1001" "$(grep '^ZETUDATA ' <<<"$after" | cut -d' ' -f1-4)"
check_eq "custom-ordinal-type" "#100 #1 0000 1" "$(grep '^#100 ' <<<"$after" | cut -d' ' -f1-4)"
check_eq "string-block-added" "#6 #2 0000" "$(grep '^#6 #2 ' <<<"$after" | cut -d' ' -f1-3)"
check_eq "nothing-else" 6 "$(grep -c . <<<"$after")"
dumped "bytes-of-odd-length-resource" target.exe '#10' '#7' 0 seven.bin
dumped "bytes-of-named-resource" target.exe ZETUDATA PROFILE 0 profile.bin
dumped "bytes-of-custom-type" target.exe '#100' '#1' 0 one.bin
code text-after.bin target.exe
check "code-section-unchanged" cmp -s text-before.bin text-after.bin
# The bound copy still runs and its loader finds its resources.
check_eq "code-still-runs" "$keep_self" "$(timeout 60 wine target.exe self '#10' KEEPME 2>/dev/null | tr -d '\r')"
check_eq "loader-finds-bound" "1001" "$(timeout 60 wine target.exe self ZETUDATA PROFILE 2>/dev/null | tr -d '\r' | cut -d' ' -f1)"

bind again target.exe bind.res
check_eq "second-bind-exit-code" 0 "$WT_RC"
check_eq "second-bind-adds-no-duplicates" "$after" "$(list target.exe)"

# A module without any resources (the folder remover) gets them and still works.
cp "$TW_DIST/ZETURFD.EXE" remover.exe
bind plain remover.exe bind.res
check_eq "resourceless-bind-exit-code" 0 "$WT_RC"
check_eq "resourceless-gets-all" 4 "$(list remover.exe | grep -c .)"
dumped "resourceless-bytes" remover.exe ZETUDATA PROFILE 0 profile.bin
# The remover takes only a run folder in the temporary folder.
doomed_win="$(timeout 60 wine cmd /c echo %TEMP% 2>/dev/null | tr -d '\r')\\ZET00000000D00D0000"
doomed=$(wine_unixpath "$doomed_win")
mkdir -p "$doomed/sub"
touch "$doomed/sub/file"
wine_run 60 ./remover.exe ZETUREMOVE "$doomed_win" 4294967000
check_eq "resourceless-copy-still-runs" 0 "$WT_RC"
check "resourceless-copy-did-its-work" test ! -e "$doomed"

# An empty resource: bound where the system allows it, else left out with a
# warning while the rest is bound.
printf 'LANGUAGE 0, 0\n9 RCDATA {}\n3 RCDATA "one.bin"\n' >empty.rc
i686-w64-mingw32-windres -O res empty.rc empty.res
cp "$probe" withempty.exe
bind empty withempty.exe empty.res
check_eq "empty-resource-exit-code" 0 "$WT_RC"
if grep -q '^#10 #9 0000 0' <<<"$(list withempty.exe)"; then
  check_eq "empty-resource-bound-silently" "" "$(cat empty.msg)"
else
  check "empty-resource-left-out-with-warning" grep -q 'empty resource 10/9 left out' empty.msg
fi
check_eq "rest-bound-beside-empty" "#10 #3 0000 1" "$(list withempty.exe | grep '^#10 #3 ' | cut -d' ' -f1-4)"

# Failures: nonzero exit, a message naming the cause, the module unchanged.
sum=$(sha1sum <target.exe)
bind nores target.exe missing.res
check_eq "missing-resource-file-fails" 1 "$WT_RC"
check "missing-resource-file-said" grep -q 'cannot open "missing.res"' nores.msg

bind notarget missing.exe bind.res
check_eq "missing-target-fails" 1 "$WT_RC"
check "missing-target-said" grep -q 'cannot open "missing.exe"' notarget.msg

echo "just text" >text.txt
bind text text.txt bind.res
check_eq "text-target-fails" 1 "$WT_RC"
check "text-target-said" grep -q '"text.txt" is not a module' text.msg
check_eq "text-target-unchanged" "just text" "$(cat text.txt)"

head -c 100 bind.res >cut.res
bind cut target.exe cut.res
check_eq "truncated-resource-file-fails" 1 "$WT_RC"
check "truncated-resource-file-said" grep -q '"cut.res" is damaged: resource data cut off' cut.msg

printf '\377\012\000\377\007\000\060\020\004\000\000\000abcd' >old16.res
bind old16 target.exe old16.res
check_eq "16-bit-resource-file-fails" 1 "$WT_RC"
check "16-bit-resource-file-said" grep -q 'not a 32-bit resource file' old16.msg
check_eq "failures-leave-target-unchanged" "$sum" "$(sha1sum <target.exe)"

wine_run 60 "$rsrc" >usage.out 2>usage.err
check_eq "no-arguments-usage-code" 2 "$WT_RC"
check "no-arguments-usage-said" grep -q 'usage: rsrc' usage.err

# As the builder starts it: "rsrc" found by search from the starting
# program's folder, detached without console, handles inherited; many times
# over, since a start that loses its arguments was seen once in many runs.
# The paths are checked first, so that a failed conversion here cannot pass
# for arguments lost on the way.
builder=$work/builder
mkdir -p "$builder"
cp "$rsrc" "$probe" "$builder/"
cp "$probe" spawned.exe
spawned=$(wine_winpath "$work/spawned.exe")
bound_res=$(wine_winpath "$work/bind.res")
cut_res=$(wine_winpath "$work/cut.res")
check "detached-paths-converted" test -n "$spawned" -a -n "$bound_res" -a -n "$cut_res"
# spawn LINE [COUNT]: the starts' exit codes, counted ("40 exit 0").
spawn() {
  (cd "$WT_DIR" && timeout 60 wine "$builder/$(basename "$probe")" spawn "$@" 2>&1) |
    tr -d '\r' | sort | uniq -c | sed 's/^ *//'
}
starts=40
check_eq "detached-starts-succeed" "$starts exit 0" "$(spawn "rsrc \"$spawned\" \"$bound_res\"" $starts)"
dumped "detached-start-bound" spawned.exe ZETUDATA PROFILE 0 profile.bin
check_eq "detached-binds-equal-one-bind" "$after" "$(list spawned.exe)"
sum=$(sha1sum <spawned.exe)
check_eq "detached-failure-exit-code" "1 exit 1" "$(spawn "rsrc \"$spawned\" \"$cut_res\"")"
check_eq "detached-failure-unchanged" "$sum" "$(sha1sum <spawned.exe)"
# What a start that lost its arguments looks like to the starter.
check_eq "detached-usage-exit-code" "1 exit 2" "$(spawn "rsrc \"\" \"$bound_res\"")"

wine_test_finish
