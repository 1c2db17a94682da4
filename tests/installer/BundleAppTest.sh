#!/bin/bash
# scripts/bundle-app on the demo: the ready folder holds the application,
# the runtime installer at the path the program looks for with its payload,
# and a valid desktop entry for the application; the bundled installer
# installs into a user's folders. A broken settings.json stops the bundle
# with one clear line and writes nothing, as does a ready folder inside the
# application.
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
entry=$out/vellumview-demo.desktop
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
echo "bundle-app: ready folder and desktop entry checked"
