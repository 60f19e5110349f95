# Fails when an include goes up the program's layers, so that each folder can be read
# knowing only those below it: a folder or ui area includes itself and those below,
# and nothing above. Also fails on a file of ui/ outside its areas. Run by ctest; by hand:
#   cmake -DROOT=<repository> -P scripts/check_includes.cmake

# The layers from the bottom; folders of one layer may include each other.
set(folder_rank_bytes 0)
set(folder_rank_codecs 1)
set(folder_rank_engine 1)
set(folder_rank_platform 1)
set(folder_rank_sources 2)
set(folder_rank_batch 3)
set(folder_rank_ui 4)
# The areas of ui/ from the bottom; areas of one rank are neighbours, and a
# neighbour's header is reached only where it is listed below.
set(area_rank_commands 0)
set(area_rank_adapters 1)
set(area_rank_dialogs 2)
set(area_rank_view 3)
set(area_rank_pane 4)
set(area_rank_batch 4)
set(area_rank_app 5)
# The includes that do not go down, each "file|header": a few dialogs drive the view
# or the pane.
set(allowed_edges
  "ui/dialogs/blend_dialog.cpp|ui/pane/properties_pane.h"
  "ui/dialogs/blend_dialog.cpp|ui/view/view.h"
  "ui/dialogs/canvas_size_dialog.cpp|ui/pane/properties_pane.h"
  "ui/dialogs/change_source_dialog.cpp|ui/view/source_roads.h"
  "ui/dialogs/change_source_dialog.cpp|ui/view/view.h"
  "ui/dialogs/source_size_dialog.cpp|ui/pane/grid_properties.h"
  "ui/dialogs/text_entry.cpp|ui/view/view.h")


cmake_minimum_required(VERSION 3.25)

if(NOT ROOT)
  message(FATAL_ERROR "ROOT, the repository, is not set")
endif()

set(faults 0)
macro(fault text)
  message("${text}")
  math(EXPR faults "${faults} + 1")
endmacro()

file(GLOB_RECURSE files RELATIVE ${ROOT}
  ${ROOT}/bytes/*.h ${ROOT}/bytes/*.cpp ${ROOT}/codecs/*.h ${ROOT}/codecs/*.cpp ${ROOT}/engine/*.h ${ROOT}/engine/*.cpp
  ${ROOT}/platform/*.h ${ROOT}/platform/*.cpp ${ROOT}/sources/*.h ${ROOT}/sources/*.cpp
  ${ROOT}/batch/*.h ${ROOT}/batch/*.cpp ${ROOT}/ui/*.h ${ROOT}/ui/*.cpp)
list(SORT files)
foreach(file IN LISTS files)
  string(REPLACE "/" ";" parts "${file}")
  list(GET parts 0 folder)
  set(area "")
  if(folder STREQUAL "ui")
    list(LENGTH parts depth)
    if(NOT depth EQUAL 3)
      fault("${file} is in no area of ui/")
      continue()
    endif()
    list(GET parts 1 area)
    if(NOT DEFINED area_rank_${area})
      fault("${file}: ui/${area} has no rank")
      continue()
    endif()
  endif()

  file(STRINGS ${ROOT}/${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]+/[^\"]+\"")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[^\"]*\"([^\"]+)\".*$" "\\1" header "${line}")
    string(REPLACE "/" ";" header_parts "${header}")
    list(GET header_parts 0 header_folder)
    if(NOT DEFINED folder_rank_${header_folder})
      fault("${file} includes ${header}, outside the program's folders")
      continue()
    endif()
    if(folder_rank_${header_folder} GREATER folder_rank_${folder})
      fault("${file} includes ${header}, a layer up")
      continue()
    endif()
    if(NOT area OR NOT header_folder STREQUAL "ui")
      continue()
    endif()
    list(LENGTH header_parts header_depth)
    if(NOT header_depth EQUAL 3)
      fault("${file} includes ${header}, in no area of ui/")
      continue()
    endif()
    list(GET header_parts 1 header_area)
    if(header_area STREQUAL area)
      continue()
    endif()
    if(NOT DEFINED area_rank_${header_area})
      fault("${file} includes ${header}: ui/${header_area} has no rank")
    elseif(area_rank_${header_area} LESS area_rank_${area})
      continue()
    elseif(NOT "${file}|${header}" IN_LIST allowed_edges)
      fault("${file} includes ${header}, an area up or beside it, and the edge is not listed")
    endif()
  endforeach()
endforeach()

if(faults GREATER 0)
  message(FATAL_ERROR "${faults} faults in the include layers")
endif()
