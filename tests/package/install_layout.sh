#!/bin/sh
# cmake --install into a scratch DESTDIR under the prefix /opt/sociantes:
# every file of the layout is there with its mode, the icons have their
# sizes, the manual pages are compressed, no file lies outside the layout,
# and the installed sociantes-driver and spoolet run (run_installed.sh).
#   install_layout.sh BUILD_DIR
set -u
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM
prefix=/opt/sociantes
root=$work/stage$prefix

if ! out=$(DESTDIR=$work/stage cmake --install "$build" --prefix "$prefix" 2>&1); then
  echo "cmake --install failed:"; echo "$out"; exit 1
fi

fail=0
id=org.sociantes.Sociantes
expect="bin/sociantes 755
bin/spoolet 755
bin/sociantes-driver 755
share/applications/$id.desktop 644
share/metainfo/$id.metainfo.xml 644
share/icons/hicolor/scalable/apps/$id.svg 644
share/man/man1/sociantes.1.gz 644
share/man/man1/spoolet.1.gz 644
share/man/man1/sociantes-driver.1.gz 644
share/doc/sociantes/README.md 644
share/doc/sociantes/copyright 644
share/doc/sociantes/changelog.gz 644
share/doc/sociantes/docs/screenshot.png 644
share/doc/sociantes/docs/GUIDE.md 644
share/doc/sociantes/docs/RELIABILITY.md 644
share/doc/sociantes/docs/images/main-window.png 644
share/sociantes/sociantes.png 644
share/sociantes/601.png 644"
for s in 16 22 24 32 48 64 128 256; do
  expect="$expect
share/icons/hicolor/${s}x$s/apps/$id.png 644"
done
echo "$expect" | while read -r path mode; do
  if [ ! -f "$root/$path" ]; then echo "missing: $prefix/$path"; echo x >> "$work/failed"; continue; fi
  got=$(stat -c %a "$root/$path")
  [ "$got" = "$mode" ] || { echo "$prefix/$path: mode $got, not $mode"; echo x >> "$work/failed"; }
done
[ -f "$work/failed" ] && fail=1

# Everything installed lies under the layout's folders; directories are 755.
stray=$(cd "$root" && find . -type f | grep -Ev '^\./(bin|share/(applications|metainfo|icons/hicolor|man/man1|doc/sociantes|sociantes))/')
[ -z "$stray" ] || { echo "files outside the layout:"; echo "$stray"; fail=1; }
baddirs=$(find "$root" -type d ! -perm 755)
[ -z "$baddirs" ] || { echo "directories not rwxr-xr-x:"; echo "$baddirs"; fail=1; }

# Each PNG has the size of its folder.
for s in 16 22 24 32 48 64 128 256; do
  png=$root/share/icons/hicolor/${s}x$s/apps/$id.png
  [ -f "$png" ] || continue
  file "$png" | grep -q "PNG image data, $s x $s," || { echo "not a $s x $s PNG: $(file "$png")"; fail=1; }
done
# The window icon is the 64-pixel rendering of the same drawing.
cmp -s "$root/share/sociantes/sociantes.png" "$root/share/icons/hicolor/64x64/apps/$id.png" ||
  { echo "share/sociantes/sociantes.png is not the 64-pixel rendering of the icon"; fail=1; }
for gz in "$root"/share/man/man1/*.gz "$root"/share/doc/sociantes/changelog.gz; do
  gzip -t "$gz" 2> /dev/null || { echo "not gzip: $gz"; fail=1; }
done
# The release version appears in the pages and the metainfo.
grep -q "release version=\"[0-9][0-9.]*\"" "$root/share/metainfo/$id.metainfo.xml" ||
  { echo "metainfo without a release version"; fail=1; }
gzip -dc "$root/share/man/man1/spoolet.1.gz" | grep -q '^\.TH SPOOLET 1 "[0-9-]*" "Sociantes [0-9.]*"' ||
  { echo "spoolet.1 has no versioned .TH line"; fail=1; }

# The installed programs work.
sh "$(dirname "$0")/run_installed.sh" "$root/bin" "$work" || fail=1

[ $fail -eq 0 ] && echo "ok: the layout under $prefix"
exit $fail
