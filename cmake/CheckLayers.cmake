# Checks the two rules that keep the core's include graph pointing one way.
#
# 1. No core source includes a GTK, GDK, GLib, GIO, GObject, WebKit or
#    JavaScriptCore header. Only src/platform/linux and runtime/ talk to
#    those libraries.
# 2. A source includes headers of its own layer and of the layers below it,
#    never of a layer above: a lower layer that needs something from a
#    higher one declares an interface of its own and lets the higher layer
#    implement it (the view reaches its frame through view/IViewFrame.h).
#
# A source's layer is the first folder of its path below SOURCE_DIR; an
# include's layer is the first folder of the included path. A folder that is
# not in the table below is reported too, so that a new layer gets a row
# before it gets code.
#
#   cmake -DSOURCE_DIR=<src> -P CheckLayers.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT SOURCE_DIR)
  message(FATAL_ERROR "CheckLayers: SOURCE_DIR is not set")
endif()
get_filename_component(SOURCE_DIR "${SOURCE_DIR}" ABSOLUTE)

# The allowed edges, bottom to top: each layer may include the layers listed
# after it (and itself). docs/decisions/layers.md shows the same table.
set(layers com util webview platform window settings resources loader fileops view app)
set(below_com "")
set(below_util com)
set(below_webview com)
set(below_platform com util webview)
set(below_window com platform)
set(below_settings com util)
set(below_resources com)
set(below_loader com util webview platform)
set(below_fileops com util webview platform window settings resources)
set(below_view com util webview platform window settings resources loader fileops)
set(below_app com util webview platform window settings resources loader fileops view)

set(toolkit_include "#[ \t]*include[ \t]*[<\"](gtk|gdk|glib|gio|gobject|webkit|webkit2|jsc|libsoup|cairo|pango|systemd)[^>\"]*[>\"]")
# Any include whose path has a folder, and any include that climbs out of
# its folder (which would get round the table).
set(layer_include "#[ \t]*include[ \t]*[<\"](\\.\\./|[A-Za-z0-9_]+/)")

set(toolkit_violations "")
set(layer_violations "")
file(GLOB_RECURSE files RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*.h" "${SOURCE_DIR}/*.cpp")
# A mistyped folder would otherwise pass with nothing checked.
if(NOT files)
  message(FATAL_ERROR "CheckLayers: no sources below ${SOURCE_DIR}")
endif()
foreach(relative IN LISTS files)
  set(f "${SOURCE_DIR}/${relative}")
  string(REGEX MATCH "^[^/]+/" layer "${relative}")
  string(REGEX REPLACE "/$" "" layer "${layer}")
  if(NOT layer OR NOT layer IN_LIST layers)
    string(APPEND layer_violations "  ${relative}: not in a layer of the table\n")
    continue()
  endif()

  # The GTK backend is the one core-side folder that may see the toolkit.
  if(NOT relative MATCHES "^platform/linux/")
    file(STRINGS "${f}" hits REGEX "${toolkit_include}")
    foreach(h IN LISTS hits)
      string(APPEND toolkit_violations "  ${relative}: ${h}\n")
    endforeach()
  endif()

  file(STRINGS "${f}" hits REGEX "${layer_include}")
  foreach(h IN LISTS hits)
    if(h MATCHES "include[ \t]*[<\"]\\.\\./")
      string(APPEND layer_violations "  ${relative}: ${h} (climbs out of its folder)\n")
      continue()
    endif()
    string(REGEX MATCH "include[ \t]*[<\"]([A-Za-z0-9_]+)/" unused "${h}")
    set(target "${CMAKE_MATCH_1}")
    # Folders that are not layers (boost/, gtest/, ...) are other libraries.
    if(NOT target IN_LIST layers OR target STREQUAL layer)
      continue()
    endif()
    if(NOT target IN_LIST below_${layer})
      string(APPEND layer_violations "  ${relative}: ${h} (${layer} may not include ${target})\n")
    endif()
  endforeach()
endforeach()

set(report "")
if(toolkit_violations)
  string(APPEND report "Core sources include platform toolkit headers:\n${toolkit_violations}")
endif()
if(layer_violations)
  string(APPEND report "Sources include a layer above their own:\n${layer_violations}")
endif()
if(report)
  message(FATAL_ERROR "${report}")
endif()
