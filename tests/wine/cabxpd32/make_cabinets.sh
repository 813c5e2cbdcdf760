# Sourced by the cabxpd32 Wine tests: make_cabinets DIR builds DIR/src (files
# in sub-folders with chosen times, one empty, two larger than a data block)
# and from it DIR/plain.cab (stored) and DIR/zip.cab (MSZIP) with gcab.
make_cabinets() {
  local dir=$1
  local src=$dir/src
  mkdir -p "$src/sub/deeper" || return 1
  printf 'hello cabinet\r\n' >"$src/a.txt"
  head -c 200000 /dev/urandom >"$src/random.bin"
  seq -f 'line %g of a text that compresses well' 1 20000 >"$src/text.txt"
  printf 'inner\n' >"$src/sub/inner.txt"
  printf 'deep\n' >"$src/sub/deeper/deep.dat"
  : >"$src/empty.txt"
  # Odd seconds too: the cabinet keeps two-second steps.
  touch -d '2001-02-03 04:05:06' "$src/a.txt"
  touch -d '2019-12-31 23:59:58' "$src/random.bin"
  touch -d '1999-07-15 12:30:45' "$src/text.txt"
  touch -d '2010-01-01 00:00:00' "$src/sub/inner.txt"
  touch -d '1985-05-05 05:05:05' "$src/sub/deeper/deep.dat"
  touch -d '2024-02-29 13:14:15' "$src/empty.txt"
  local files=(a.txt random.bin text.txt sub/inner.txt sub/deeper/deep.dat empty.txt)
  (cd "$src" && gcab -c "$dir/plain.cab" "${files[@]}" &&
    gcab -c -z "$dir/zip.cab" "${files[@]}")
}

# cabinet_listing CAB: "YYYY-MM-DD HH:MM:SS NAME" per file as cabextract
# reads the cabinet, with the cabinet's backslashes, sorted.
cabinet_listing() {
  cabextract -l "$1" | awk -F' [|] ' '
    NF == 3 && $2 ~ /^[0-9][0-9]\.[0-9][0-9]\.[0-9][0-9][0-9][0-9] / {
      split($2, d, /[. ]/); name = $3; gsub("/", "\\", name)
      printf "%s-%s-%s %s %s\n", d[3], d[2], d[1], d[4], name }' | sort
}
