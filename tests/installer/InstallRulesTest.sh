#!/bin/bash
# `cmake --install` into a staging folder with a prefix of its own: the
# machine store registers the installed runtime under that prefix, the
# desktop entry starts the installed demo and passes desktop-file-validate,
# the icon the windows ask for is in the hicolor theme, and the AppStream
# metainfo names that entry and passes appstreamcli.
#   InstallRulesTest.sh <build folder>
set -u
build=$1
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
prefix=/opt/vellum-install-test

DESTDIR=$stage cmake --install "$build" --prefix "$prefix" > "$stage/log.txt" 2>&1 || fail "install: $(cat "$stage/log.txt")"
store=$stage/etc/vellumview/registry.reg
[ -f "$store" ] || fail "no machine store"
folder=$(sed -n 's/^"EBWebView"="\(.*\)"$/\1/p' "$store")
[ "${folder#$prefix/}" != "$folder" ] || fail "the store names $folder, outside $prefix"
ls "$stage$folder"/EBWebView/*/libEmbeddedBrowserWebView.so > /dev/null 2>&1 || fail "no runtime library in $folder"
[ -x "$stage$prefix/lib/vellumview/runtime/vellumview-runtime-installer" ] || fail "no runtime installer beside the runtime"
[ -x "$stage$prefix/bin/vellumview-bundle-app" ] || fail "no bundle command"

entry=$stage$prefix/share/applications/QuillBrowser.demo.desktop
[ -f "$entry" ] || fail "no desktop entry"
grep -qx "Path=$prefix/share/vellumview/examples/demo" "$entry" || fail "working directory: $(grep Path= "$entry")"
[ -f "$stage$prefix/share/vellumview/examples/demo/settings.json" ] || fail "no demo at the entry's folder"
grep -qx "StartupWMClass=QuillBrowser.demo" "$entry" || fail "window class: $(grep StartupWMClass= "$entry")"
grep -qx "Icon=vellumview" "$entry" || fail "icon: $(grep Icon= "$entry")"
[ -f "$stage$prefix/share/icons/hicolor/scalable/apps/vellumview.svg" ] || fail "no scalable icon"
if command -v desktop-file-validate > /dev/null; then
  desktop-file-validate "$entry" || fail "desktop-file-validate refused $entry"
fi
metainfo=$stage$prefix/share/metainfo/local.vellumview.vellumview.metainfo.xml
grep -q '<launchable type="desktop-id">QuillBrowser.demo.desktop</launchable>' "$metainfo" || fail "metainfo: $(ls "$stage$prefix/share/metainfo")"
if command -v appstreamcli > /dev/null; then
  appstreamcli validate --no-net "$metainfo" > "$stage/as.txt" 2>&1 || fail "appstreamcli: $(cat "$stage/as.txt")"
fi
echo "install rules: store, runtime, desktop entry and icon checked"
