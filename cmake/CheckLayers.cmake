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

# The runtime library's folders (runtime/ at the repository's top). The
# runtime sees the toolkit, so the toolkit rule does not apply there; the
# include rule does, with a row per folder: the runtime folders it may include
# ("runtime/<folder>/...", its own always) and what of the program it may
# include (the program's layers by name, as "<layer>/..." from src/). The
# runtime uses one header of the program's platform, its GObject owner, so
# that header alone is in the rows instead of the whole layer. A source
# outside the folders of the table, an include naming no runtime folder and
# one that climbs with ../ are reported too. docs/decisions/runtime.md shows
# the same table.
#
#   cmake -DSOURCE_DIR=<src> [-DRUNTIME_DIR=<runtime>] -P CheckLayers.cmake
#
# RUNTIME_DIR defaults to the runtime/ folder of this script's repository;
# the self-tests point it at their samples.
if(NOT RUNTIME_DIR)
  set(RUNTIME_DIR "${CMAKE_CURRENT_LIST_DIR}/../runtime")
endif()
get_filename_component(RUNTIME_DIR "${RUNTIME_DIR}" ABSOLUTE)
# The program's layer names tell its headers apart from other libraries'.
if(NOT layers)
  message(FATAL_ERROR "CheckLayers: the program's layer table is missing")
endif()

# Includes go one way: the engine may include the defaults, the events and
# the loopback server; the defaults the events and the server; the events
# and the server no other runtime folder. The extension shares only the
# server's address mapping and the trace; the installer is a program of its
# own. The defaults (keys, zoom, find bar and the like) build on the events
# and the server's address mapping, never on the engine that creates them.
set(runtime_folders loopback events defaults engine webextension installer)
set(runtime_loopback_may_include "")
set(runtime_events_may_include "")
set(runtime_defaults_may_include events loopback)
set(runtime_engine_may_include defaults events loopback)
set(runtime_webextension_may_include loopback)
set(runtime_installer_may_include "")
set(runtime_loopback_may_include_program com util webview platform/linux/GObjectPtr.h)
set(runtime_events_may_include_program com webview)
set(runtime_defaults_may_include_program com util webview platform/linux/GObjectPtr.h)
set(runtime_engine_may_include_program com util webview platform/linux/GObjectPtr.h)
set(runtime_webextension_may_include_program "")
set(runtime_installer_may_include_program util platform loader)

set(runtime_include "#[ \t]*include[ \t]*[<\"](\\.\\./|[A-Za-z0-9_]+/)")
set(runtime_violations "")
file(GLOB_RECURSE runtime_files RELATIVE "${RUNTIME_DIR}" "${RUNTIME_DIR}/*.h" "${RUNTIME_DIR}/*.cpp")
if(NOT runtime_files)
  message(FATAL_ERROR "CheckLayers: no sources below ${RUNTIME_DIR}")
endif()
foreach(relative IN LISTS runtime_files)
  string(REGEX MATCH "^[^/]+/" folder "${relative}")
  string(REGEX REPLACE "/$" "" folder "${folder}")
  if(NOT folder OR NOT folder IN_LIST runtime_folders)
    string(APPEND runtime_violations "  runtime/${relative}: not in a folder of the runtime's table\n")
    continue()
  endif()

  file(STRINGS "${RUNTIME_DIR}/${relative}" hits REGEX "${runtime_include}")
  foreach(h IN LISTS hits)
    if(h MATCHES "include[ \t]*[<\"]\\.\\./")
      string(APPEND runtime_violations "  runtime/${relative}: ${h} (climbs out of its folder)\n")
      continue()
    endif()
    string(REGEX MATCH "include[ \t]*[<\"]([^>\"]+)[>\"]" unused "${h}")
    set(path "${CMAKE_MATCH_1}")
    if(path MATCHES "^runtime/([^/]+)/")
      set(target "${CMAKE_MATCH_1}")
      if(NOT target STREQUAL folder AND NOT target IN_LIST runtime_${folder}_may_include)
        string(APPEND runtime_violations "  runtime/${relative}: ${h} (${folder} may not include runtime/${target})\n")
      endif()
      continue()
    endif()
    if(path MATCHES "^runtime/")
      string(APPEND runtime_violations "  runtime/${relative}: ${h} (names no runtime folder)\n")
      continue()
    endif()
    string(REGEX MATCH "^[^/]+" target "${path}")
    # Folders that are neither (gtk/, webkit2/, libsoup/, ...) are other libraries.
    if(NOT target IN_LIST layers OR target IN_LIST runtime_${folder}_may_include_program
       OR path IN_LIST runtime_${folder}_may_include_program)
      continue()
    endif()
    # A layer of which the row allows single headers is named by the header.
    set(named "${target}")
    foreach(allowed IN LISTS runtime_${folder}_may_include_program)
      if(allowed MATCHES "^${target}/")
        set(named "${path}")
      endif()
    endforeach()
    string(APPEND runtime_violations "  runtime/${relative}: ${h} (${folder} may not include ${named})\n")
  endforeach()
endforeach()

if(runtime_violations)
  message(FATAL_ERROR "Runtime sources include a folder outside their row:\n${runtime_violations}")
endif()
