#!/bin/bash
# scripts/bundle-app on the demo: the ready folder holds the application,
# the runtime installer at the path the program looks for with its payload,
# and a valid desktop entry for the application; the bundled installer
# installs into a user's folders. A broken settings.json stops the bundle
# with one clear line and writes nothing, as does a ready folder inside the
# application. With --deb the application becomes a package with its own
# icon, desktop entry and metainfo that the validators accept, and
# addresses on the web in its pages, styles and scripts are listed.
#   BundleAppTest.sh <bundle-app> <build folder> <demo folder>
set -u
bundle=$1
build=$2
demo=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$bundle" --from "$build" "$demo" "$work/out" > "$work/log.txt" 2>&1 || fail "bundle failed: $(cat "$work/log.txt")"
out=$work/out
[ -f "$out/index.html" ] && [ -f "$out/settings.json" ] || fail "the application was not copied"
installer=$out/runtime/MicrosoftEdgeWebView2RuntimeInstallerX64.exe
[ -x "$installer" ] || fail "no installer at runtime/MicrosoftEdgeWebView2RuntimeInstallerX64.exe"
ls "$out"/runtime/*/EBWebView/*/libEmbeddedBrowserWebView.so > /dev/null 2>&1 || fail "no payload beside the installer"
entry=$out/QuillBrowser.demo.desktop
[ -f "$entry" ] || fail "no desktop entry: $(ls "$out")"
grep -qx "Path=$out" "$entry" || fail "working directory: $(grep Path= "$entry")"
grep -qx "StartupWMClass=QuillBrowser.demo" "$entry" || fail "window class: $(grep StartupWMClass= "$entry")"
grep -qx "Name=Vellumview demo" "$entry" || fail "name: $(grep Name= "$entry")"
if command -v desktop-file-validate > /dev/null; then
  desktop-file-validate "$entry" || fail "desktop-file-validate refused $entry"
fi

# The bundled copy of the installer finds its payload beside itself; a
# second run succeeds without a word, a bad switch gets status 2 and one line.
install() { HOME=$work/home XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config "$installer" "$@"; }
for run in first second; do
  install /silent /install /user > "$work/run.txt" 2>&1 || fail "$run run of the bundled installer: $(cat "$work/run.txt")"
  [ ! -s "$work/run.txt" ] || fail "$run run printed: $(cat "$work/run.txt")"
done
ls "$work"/data/vellumview/runtime/*/EBWebView/*/libEmbeddedBrowserWebView.so > /dev/null 2>&1 \
  || fail "the bundled installer installed nothing"
install /silent /instal > "$work/run.txt" 2>&1
[ $? = 2 ] && [ "$(wc -l < "$work/run.txt")" = 1 ] || fail "bad switch: $(cat "$work/run.txt")"

cp -r "$demo" "$work/broken"
printf '{"title": "x",\n "startPage": index.html}\n' > "$work/broken/settings.json"
if "$bundle" --from "$build" "$work/broken" "$work/out2" > "$work/log2.txt" 2>&1; then
  fail "a broken settings.json was accepted"
fi
[ "$(wc -l < "$work/log2.txt")" = 1 ] || fail "expected one line: $(cat "$work/log2.txt")"
grep -q "settings.json: line 2, column 15" "$work/log2.txt" || fail "no position: $(cat "$work/log2.txt")"
[ -z "$(ls -A "$work/out2" 2>/dev/null)" ] || fail "a refused bundle wrote files"

# A ready folder inside the application is refused and nothing is created.
cp -r "$demo" "$work/app3"
before=$(cd "$work/app3" && find . | sort)
"$bundle" --from "$build" "$work/app3" "$work/app3/dist/out" > "$work/log3.txt" 2>&1 && fail "an output inside the application was accepted"
grep -q "inside the application folder" "$work/log3.txt" || fail "no reason given: $(cat "$work/log3.txt")"
[ "$(cd "$work/app3" && find . | sort)" = "$before" ] || fail "the application folder was changed"
# The package: a PNG icon of a theme size, a page and a script that name the
# web (an SVG namespace does not count), the validators' verdicts.
cp -r "$demo" "$work/web"
printf '<img src="https://cdn.example.com/a.png">\n<svg xmlns="http://www.w3.org/2000/svg"></svg>\n' > "$work/web/remote.html"
printf 'fetch("http://api.example.com/v1?q=1");\n' > "$work/web/js/remote.mjs"
convert -size 48x48 xc:orange "$work/icon.png" 2> /dev/null || fail "convert could not make an icon"
"$bundle" --from "$build" --deb --icon "$work/icon.png" --version 2.1 --summary "Shows the demo" \
  --maintainer "Demo Maker <demo@example.org>" "$work/web" "$work/debs" > "$work/deb.txt" 2>&1 || fail "--deb: $(cat "$work/deb.txt")"
grep -q "warning: the application names resources on the web" "$work/deb.txt" || fail "no remote warning: $(cat "$work/deb.txt")"
for line in "  remote.html: https://cdn.example.com/a.png" "  js/remote.mjs: http://api.example.com/v1?q=1"; do
  grep -qxF "$line" "$work/deb.txt" || fail "not listed: $line in $(cat "$work/deb.txt")"
done
! grep -q "w3.org" "$work/deb.txt" || fail "a namespace was listed: $(cat "$work/deb.txt")"
deb=$work/debs/demo_2.1_all.deb
dpkg-deb -x "$deb" "$work/root" || fail "no package: $(ls "$work/debs")"
[ "$(dpkg-deb -f "$deb" Depends)" = vellumview ] || fail "depends: $(dpkg-deb -f "$deb" Depends)"
share=$work/root/usr/share
[ -f "$share/demo/index.html" ] && [ -f "$share/demo/settings.json" ] || fail "the application is not under /usr/share/demo"
[ -f "$share/icons/hicolor/48x48/apps/demo.png" ] || fail "no icon in the theme"
debentry=$share/applications/QuillBrowser.demo.desktop
grep -qx "Icon=demo" "$debentry" && grep -qx "Path=/usr/share/demo" "$debentry" || fail "entry: $(cat "$debentry")"
metainfo=$share/metainfo/local.quillbrowser.demo.metainfo.xml
grep -q "<name>Vellumview demo</name>" "$metainfo" && grep -q 'release version="2.1"' "$metainfo" || fail "metainfo: $(cat "$metainfo")"
desktop-file-validate "$debentry" || fail "desktop-file-validate refused the package's entry"
if command -v appstreamcli > /dev/null; then
  appstreamcli validate --no-net "$metainfo" > "$work/as.txt" 2>&1 || fail "appstreamcli: $(cat "$work/as.txt")"
fi
if command -v lintian > /dev/null; then
  lintian "$deb" > "$work/lintian.txt" 2>&1
  ! grep -q '^E:' "$work/lintian.txt" || fail "lintian: $(cat "$work/lintian.txt")"
fi
convert -size 50x50 xc:orange "$work/odd.png"
"$bundle" --from "$build" --deb --icon "$work/odd.png" "$demo" "$work/debs2" > "$work/odd.txt" 2>&1 && fail "a 50x50 icon was accepted"
grep -q "50x50" "$work/odd.txt" && [ ! -e "$work/debs2" ] || fail "odd icon: $(cat "$work/odd.txt")"
echo "bundle-app: ready folder, package and desktop entries checked"
