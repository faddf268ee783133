#!/bin/sh
# The Debian package, as the tests see it:
#   deb.sh build BUILD_DIR OUT_DIR    cpack writes OUT_DIR/sociantes_*.deb
#   deb.sh lintian OUT_DIR            lintian finds no error (warnings are shown)
#   deb.sh install OUT_DIR            apt-get installs the package, the installed
#                                     sociantes-driver and spoolet run
#                                     (run_installed.sh), apt-get removes the
#                                     package, and every file it had installed
#                                     is gone
# The install step needs root and apt-get; without them it is skipped (exit
# 77) with a line saying why. Whatever happens, it leaves the package removed.
set -u
step=$1

need() {
  command -v "$1" > /dev/null 2>&1 || { echo "skipped: $1 is not installed ($2)"; exit 77; }
}
the_deb() {
  set -- "$1"/sociantes_*_amd64.deb
  [ -f "$1" ] || { echo "no package in ${1%/*}: the build step failed"; exit 1; }
  echo "$1"
}
installed() {
  dpkg-query -W -f='${Status}' sociantes 2> /dev/null | grep -q "ok installed"
}

case $step in
  build)
    build=$2 out=$3
    need dpkg-shlibdeps dpkg-dev
    rm -rf "$out"
    mkdir -p "$out"
    if ! log=$(cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" 2>&1); then
      echo "cpack failed:"; echo "$log"; exit 1
    fi
    deb=$(the_deb "$out") || { echo "$deb"; exit 1; }
    rm -rf "$out/_CPack_Packages"
    dpkg-deb --info "$deb" | sed -n '/Package:/,$p'
    ;;
  lintian)
    need lintian lintian
    deb=$(the_deb "$2") || { echo "$deb"; exit 1; }
    out=$(lintian --tag-display-limit 0 "$deb" 2>&1)
    echo "$out"
    if printf '%s\n' "$out" | grep -q '^E:'; then
      echo "lintian reports errors"; exit 1
    fi
    echo "ok: lintian reports no error"
    ;;
  install)
    deb=$(the_deb "$2") || { echo "$deb"; exit 1; }
    [ "$(id -u)" -eq 0 ] || { echo "skipped: installing a package needs root"; exit 77; }
    need apt-get apt
    need dpkg-query dpkg
    if installed; then
      echo "skipped: a sociantes package is installed on this machine; the test would replace it"
      exit 77
    fi
    work=$(mktemp -d)
    apt="apt-get -y -q -o Dpkg::Lock::Timeout=300"
    export DEBIAN_FRONTEND=noninteractive
    cleanup() {
      if installed; then $apt remove sociantes > /dev/null 2>&1 || dpkg --purge sociantes > /dev/null 2>&1; fi
      rm -rf "$work"
    }
    trap cleanup EXIT
    trap 'exit 1' INT TERM
    cp "$deb" "$work/"
    # Everything the package depends on is installed by install-deps: no
    # download is needed, so this works offline.
    if ! log=$($apt install --no-install-recommends "$work/${deb##*/}" 2>&1); then
      echo "apt-get install failed:"; echo "$log"; exit 1
    fi
    installed || { echo "the package is not installed after apt-get install"; exit 1; }
    dpkg -L sociantes | while read -r f; do [ -f "$f" ] && echo "$f"; done > "$work/files"
    fail=0
    for p in /usr/bin/sociantes /usr/bin/spoolet /usr/bin/sociantes-driver; do
      grep -qx "$p" "$work/files" || { echo "the package lacks $p"; fail=1; }
      [ -x "$p" ] || { echo "$p is not executable"; fail=1; }
    done
    sh "$(dirname "$0")/run_installed.sh" /usr/bin "$work" || fail=1
    if ! log=$($apt remove sociantes 2>&1); then
      echo "apt-get remove failed:"; echo "$log"; exit 1
    fi
    installed && { echo "the package is still installed after apt-get remove"; exit 1; }
    left=$(while read -r f; do [ -e "$f" ] && echo "$f"; done < "$work/files")
    [ -z "$left" ] || { echo "left after apt-get remove:"; echo "$left"; fail=1; }
    [ $fail -eq 0 ] && echo "ok: $(wc -l < "$work/files") files installed and removed"
    exit $fail
    ;;
  *)
    echo "usage: deb.sh build BUILD_DIR OUT_DIR | lintian OUT_DIR | install OUT_DIR" >&2
    exit 2
    ;;
esac
