# Installation and the Debian package.
#
# `cmake --install` (and the package) puts the program and the bundle
# command (vellumview-bundle-app) in bin/, the runtime and its installer in
# lib/vellumview/runtime/, the demo in share/vellumview/examples/demo, the
# icon in the hicolor theme, a desktop entry that runs the demo, and the
# machine registry store that registers
# the installed runtime, so an installed program finds its runtime without
# any setting. The store and the desktop entry name folders below the
# prefix, so they are written when the install runs, with the prefix it
# really uses (`cmake --install --prefix`, or /usr inside the package).

option(VELLUM_INSTALL_MACHINE_STORE
  "Install /etc/vellumview/registry.reg registering the installed runtime (needs root without DESTDIR)" ON)

install(PROGRAMS ${PROJECT_SOURCE_DIR}/scripts/bundle-app DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME vellumview-bundle-app)

install(FILES ${PROJECT_SOURCE_DIR}/data/vellumview.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The desktop entry of the installed program runs the demo application, the
# one application an installation holds; its window class is the demo's
# application id, "QuillBrowser." followed by the demo's browserID.
file(READ ${PROJECT_SOURCE_DIR}/examples/demo/settings.json vellum_demo_settings)
string(JSON VELLUM_DESKTOP_NAME GET "${vellum_demo_settings}" title)
string(JSON vellum_demo_browser_id GET "${vellum_demo_settings}" browserID)
set(VELLUM_DESKTOP_WMCLASS "QuillBrowser.${vellum_demo_browser_id}")
# Wayland shells match a window with its launcher by "<application id>.desktop",
# so the entry is named by the demo's application id. An upgrade from a
# package that named it vellumview.desktop drops the old file (dpkg removes
# what the new package no longer holds).
set(VELLUM_DESKTOP_FILE "${VELLUM_DESKTOP_WMCLASS}.desktop")
set(VELLUM_DESKTOP_PATH "@VELLUM_DESKTOP_PATH@")
configure_file(${PROJECT_SOURCE_DIR}/data/vellumview.desktop.in ${PROJECT_BINARY_DIR}/vellumview.desktop.in @ONLY)

# The AppStream metainfo by which software centres list the program.
string(TIMESTAMP VELLUM_RELEASE_DATE "%Y-%m-%d" UTC)
configure_file(${PROJECT_SOURCE_DIR}/data/vellumview.metainfo.xml.in
  ${PROJECT_BINARY_DIR}/local.vellumview.vellumview.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/local.vellumview.vellumview.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The version folder of the built runtime (<build>/runtime/<version>/EBWebView/<arch>).
get_filename_component(vellum_runtime_version_dir ${VELLUM_RUNTIME_BUILD_DIR} DIRECTORY)
get_filename_component(vellum_runtime_version_dir ${vellum_runtime_version_dir} DIRECTORY)
get_filename_component(vellum_runtime_version ${vellum_runtime_version_dir} NAME)
set(vellum_runtime_folder "lib/vellumview/runtime/${vellum_runtime_version}")
# The stable channel's registration key, as the runtime search reads it.
set(vellum_channel_key "Software\\\\Microsoft\\\\EdgeUpdate\\\\ClientState\\\\{F3017226-FE2A-4295-8BDF-00C3A9A7E4C5}")
install(CODE "
  set(VELLUM_DESKTOP_PATH \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/vellumview/examples/demo\")
  configure_file(\"${PROJECT_BINARY_DIR}/vellumview.desktop.in\"
                 \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications/${VELLUM_DESKTOP_FILE}\" @ONLY)
  message(STATUS \"Installing: \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications/${VELLUM_DESKTOP_FILE}\")
")
if(VELLUM_INSTALL_MACHINE_STORE)
  install(CODE "
    set(store \"\$ENV{DESTDIR}/etc/vellumview/registry.reg\")
    file(WRITE \"\${store}\" \"Windows Registry Editor Version 5.00\\n\\n[HKEY_LOCAL_MACHINE\\\\${vellum_channel_key}]\\n\\\"EBWebView\\\"=\\\"\${CMAKE_INSTALL_PREFIX}/${vellum_runtime_folder}\\\"\\n\")
    message(STATUS \"Installing: \${store}\")
  ")
endif()

# The Debian package. Its dependencies come from the libraries its files
# link (dpkg-shlibdeps), which names the Debian packages of GTK 3,
# WebKitGTK 4.1, Boost.JSON and the C++ runtime with their versions.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vellumview)
set(CPACK_PACKAGE_VENDOR "Vellumview developers")
set(CPACK_PACKAGE_CONTACT "Vellumview developers <vellumview@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Single-window kiosk browser for local web applications")
set(CPACK_PACKAGE_DESCRIPTION "Vellumview shows one local web application in one window, with its own engine runtime.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The package carries no debug information; the build folder keeps it.
set(CPACK_STRIP_FILES ON)
# The web process draws text and images through these at run time without
# linking them. Without a Japanese-capable font every Japanese message of
# the program is a row of boxes, and without a colour emoji font so is every
# emoji a page shows.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
  "fonts-dejavu-core, fonts-noto-cjk | fonts-ipafont-gothic | fonts-vlgothic, fonts-noto-color-emoji, hicolor-icon-theme, librsvg2-common")
if(VELLUM_INSTALL_MACHINE_STORE)
  # The machine store lives in /etc: a file an administrator (or the runtime
  # installer run as root) may change, so dpkg keeps such changes.
  file(WRITE ${PROJECT_BINARY_DIR}/debian/conffiles "/etc/vellumview/registry.reg\n")
  set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_BINARY_DIR}/debian/conffiles)
endif()
include(CPack)
