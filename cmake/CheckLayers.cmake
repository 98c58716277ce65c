# Fails when an include under src/ points up a layer or sideways. The layers, bottom up:
#   core     the widget-free ground
#   widgets  the controls every pane is built from
#   site     everything the program knows about the auction site
#   store    what the seller keeps over time (the history database)
#   a subsystem (settings, login, description, ...)
#   app      the program: main window and start-up
# A file may include from its own layer and the layers below it; a subsystem
# includes no other subsystem but settings. Run as:
#   cmake -DSRC=<the src folder> -P CheckLayers.cmake
if(NOT SRC)
  message(FATAL_ERROR "CheckLayers: pass -DSRC=<src folder>")
endif()
get_filename_component(SRC "${SRC}" ABSOLUTE)
get_filename_component(shownRoot "${SRC}" NAME)

function(layer_rank folder out)
  if(folder STREQUAL "core")
    set(${out} 0 PARENT_SCOPE)
  elseif(folder STREQUAL "widgets")
    set(${out} 1 PARENT_SCOPE)
  elseif(folder STREQUAL "site")
    set(${out} 2 PARENT_SCOPE)
  elseif(folder STREQUAL "store")
    set(${out} 3 PARENT_SCOPE)
  elseif(folder STREQUAL "app")
    set(${out} 5 PARENT_SCOPE)
  else()
    set(${out} 4 PARENT_SCOPE)
  endif()
endfunction()

file(GLOB_RECURSE sources RELATIVE "${SRC}" "${SRC}/*.h" "${SRC}/*.cpp")
list(SORT sources)
set(found "")
foreach(rel IN LISTS sources)
  string(REGEX MATCH "^[^/]+" folder "${rel}")
  layer_rank("${folder}" own)
  file(STRINGS "${SRC}/${rel}" lines)
  set(n 0)
  foreach(line IN LISTS lines)
    math(EXPR n "${n} + 1")
    if(line MATCHES "^[ \t]*#[ \t]*include[ \t]*\"([^/\"]+)/[^\"]+\"")
      set(target "${CMAKE_MATCH_1}")
      if(EXISTS "${SRC}/${target}" AND NOT target STREQUAL folder)
        layer_rank("${target}" theirs)
        if(theirs GREATER own)
          string(STRIP "${line}" shown)
          string(APPEND found "${shownRoot}/${rel}:${n}: ${shown} reaches up from ${folder} into ${target}\n")
        elseif(theirs EQUAL 4 AND own EQUAL 4 AND NOT target STREQUAL "settings")
          string(STRIP "${line}" shown)
          string(APPEND found "${shownRoot}/${rel}:${n}: ${shown} reaches sideways from ${folder} into ${target}\n")
        endif()
      endif()
    endif()
  endforeach()
endforeach()

if(found)
  # Printed as it is (an error message would be wrapped), one line per include.
  message(NOTICE "Includes that point up a layer or sideways:\n${found}")
  message(FATAL_ERROR "The layering of src/ is broken; see the lines above.")
endif()
message(STATUS "Layers: every include points down (or to settings)")
