# Reads the #include lines of the program's folders below ROOT and fails on an include that
# runs against the layers: link <- protocol <- ui and clips <- app <- the front-ends
# (platform/wx, platform/win32, platform/memory, cli). res/ and link/ stand on nothing; the
# protocol knows nothing of the desktop (no boxes, no resources); the platform interfaces (the
# headers directly in platform/) serve every layer above it; the simulator uses link/ and the
# protocol's drive names, never the window's logic.
#   cmake -DROOT=<source folder> -P layering.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT ROOT)
  message(FATAL_ERROR "usage: cmake -DROOT=<source folder> -P layering.cmake")
endif()

set(logic link res platform protocol)
set(allowed_link link)
set(allowed_res res)
set(allowed_platform platform)
set(allowed_protocol link protocol)
set(allowed_ui ${logic} ui clips)
set(allowed_clips ${allowed_ui})
set(allowed_app ${allowed_ui} app)
# Each front-end uses the logic and its own folder, never another front-end; the console
# program runs the window's logic on the in-memory controls.
foreach(frontend IN ITEMS wx win32 memory cli)
  set(allowed_${frontend} ${allowed_app} ${frontend})
endforeach()
list(APPEND allowed_cli memory)
set(allowed_sim sim link protocol)

# The layer of a path relative to ROOT ("ui/Listing.cpp" -> ui); empty outside the program.
function(layer_of path out)
  if(path MATCHES "^platform/(wx|win32|memory)/")
    set(${out} ${CMAKE_MATCH_1} PARENT_SCOPE)
  elseif(path MATCHES "^cli/")
    set(${out} cli PARENT_SCOPE)
  elseif(path MATCHES "^(link|res|platform|protocol|ui|clips|app|sim)/")
    set(${out} ${CMAKE_MATCH_1} PARENT_SCOPE)
  else()
    set(${out} "" PARENT_SCOPE)
  endif()
endfunction()

set(sources)
foreach(folder IN ITEMS link res platform protocol ui clips app sim cli)
  file(GLOB_RECURSE found RELATIVE ${ROOT} ${ROOT}/${folder}/*.h ${ROOT}/${folder}/*.cpp)
  list(APPEND sources ${found})
endforeach()
set(violations 0)
foreach(source IN LISTS sources)
  layer_of(${source} from)
  if(NOT from)
    continue()
  endif()
  file(STRINGS ${ROOT}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[^\"]*\"([^\"]*)\".*$" "\\1" included "${line}")
    layer_of(${included} to)
    if(NOT to)
      continue()
    endif()
    if(NOT to IN_LIST allowed_${from})
      message(SEND_ERROR "${source} includes ${included}: ${from} may not use ${to}")
      math(EXPR violations "${violations} + 1")
    endif()
  endforeach()
endforeach()
list(LENGTH sources count)
message(STATUS "layering: ${count} files read, ${violations} includes against the layers")
