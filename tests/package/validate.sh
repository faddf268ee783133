#!/bin/sh
# Checks the installed desktop files with the tools the desktops use:
#   validate.sh desktop FILE     desktop-file-validate, no error nor warning
#   validate.sh metainfo FILE    appstreamcli validate --no-net, no error nor warning
#   validate.sh man PAGE...      each page renders with man -l, groff -ww and
#                                mandoc -T lint (when installed) without a warning
# Exits 77 (skipped) with a line saying why when a tool is missing.
set -u
kind=$1
shift

need() {
  command -v "$1" > /dev/null 2>&1 || { echo "skipped: $1 is not installed ($2)"; exit 77; }
}

fail=0
case $kind in
  desktop)
    need desktop-file-validate desktop-file-utils
    out=$(desktop-file-validate "$1" 2>&1)
    rc=$?
    if [ $rc -ne 0 ] || [ -n "$out" ]; then
      printf 'desktop-file-validate %s (exit %s):\n%s\n' "$1" "$rc" "$out"
      fail=1
    fi
    ;;
  metainfo)
    need appstreamcli appstream
    out=$(appstreamcli validate --no-net --no-color "$1" 2>&1)
    rc=$?
    if [ $rc -ne 0 ] || printf '%s\n' "$out" | grep -q '^[EW]:'; then
      printf 'appstreamcli validate %s (exit %s):\n%s\n' "$1" "$rc" "$out"
      fail=1
    fi
    ;;
  man)
    need man man-db
    need groff groff-base
    for page in "$@"; do
      name=$(basename "$page" | sed 's/\.1.*//')
      # man -l reads .gz pages itself; groff and mandoc get the plain text.
      text=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings=w -l "$page" 2> "$page.err.$$")
      if [ -s "$page.err.$$" ]; then
        echo "man -l $page warns:"; cat "$page.err.$$"; fail=1
      fi
      rm -f "$page.err.$$"
      # The page names its program in NAME and has the sections a user looks for.
      for want in "NAME" "       $name " "SYNOPSIS" "DESCRIPTION" "FILES" "ENVIRONMENT" \
                  "EXIT STATUS" "SEE ALSO"; do
        if ! printf '%s\n' "$text" | grep -qF -- "$want"; then
          echo "$page: the rendered page lacks \"$want\""; fail=1
        fi
      done
      out=$(gzip -dcf "$page" | groff -ww -z -man 2>&1)
      [ -z "$out" ] || { echo "groff -ww $page:"; echo "$out"; fail=1; }
      if command -v mandoc > /dev/null 2>&1; then
        out=$(gzip -dcf "$page" | mandoc -T lint -W warning 2>&1)
        [ -z "$out" ] || { echo "mandoc -T lint $page:"; echo "$out"; fail=1; }
      else
        echo "mandoc is not installed: its lint is left out"
      fi
    done
    ;;
  *)
    echo "usage: validate.sh desktop|metainfo|man FILE..." >&2
    exit 2
    ;;
esac
[ $fail -eq 0 ] && echo "ok: $kind $*"
exit $fail
