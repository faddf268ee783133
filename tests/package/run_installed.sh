#!/bin/sh
# Runs installed programs on a fresh HOME under WORK:
#   run_installed.sh BIN_DIR WORK
# sociantes-driver creates a member and lists it (the member file holds it);
# spoolet, headless, prints a one-letter mailing to a PDF file (the fonts and
# the printing libraries the package depends on are there), with no CUPS
# server, so that its print dialog is answered. Prints what went wrong; exit
# status 0 when both work.
set -u
bin=$1 work=$2
fail=0
home=$work/home
mkdir -p "$home/.cache/sociantes/tmp"

printf 'start\ncmd 400\nset 1 Martin\nset 2 Anna\ncmd 402\nshow list\nquit\n' > "$work/new.txt"
out=$(cd "$work" && HOME=$home env -u XDG_CACHE_HOME "$bin/sociantes-driver" new.txt 2>&1)
rc=$?
if [ $rc -ne 0 ] || ! printf '%s\n' "$out" | grep -qx 'row "A0000" "" "Martin" "     "'; then
  echo "$bin/sociantes-driver (exit $rc):"; echo "$out"; fail=1
fi
grep -q "^Martin" "$home/sociantes_db/sociantes.data" 2> /dev/null ||
  { echo "the member file holds no Martin"; fail=1; }

mailing=$home/.cache/sociantes/tmp/A0000.qmd
printf 'Dear member\r\nThe meeting is on Monday.\r\n#\r\n' > "$mailing"
printf 'reply pdf %s\ncmd 400\ntick done\nshow status\n' "$work/letter.pdf" > "$work/spool.txt"
out=$(cd "$work" && HOME=$home CUPS_SERVER=$work/no-cups.sock env -u XDG_CACHE_HOME \
      "$bin/spoolet" --script spool.txt "$mailing" 2>&1)
rc=$?
if [ $rc -ne 0 ] || ! printf '%s\n' "$out" | grep -qx 'status "Status: Ok Done: 1/1"' ||
   [ ! -s "$work/letter.pdf" ] || [ -e "$mailing" ]; then
  echo "$bin/spoolet (exit $rc):"; echo "$out"; fail=1
elif command -v pdftotext > /dev/null 2>&1 &&
     ! pdftotext "$work/letter.pdf" - | grep -q "The meeting is on Monday."; then
  echo "the letter printed by $bin/spoolet lacks its text"; fail=1
fi
exit $fail
