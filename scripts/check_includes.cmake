# Fails when an include goes up the program's layers, so that each folder can be read
# knowing only those below it: a folder, an engine sub-folder or a ui area includes
# itself and those below, and nothing above or beside it. Includes in quotes and in
# angle brackets count alike. Also fails on a file of engine/ or ui/ outside their
# sub-folders. The build runs it before compiling; by hand:
#   cmake -DROOT=<repository> -P scripts/check_includes.cmake

# The layers from the bottom, one folder a layer.
set(folder_rank_bytes 0)
set(folder_rank_codecs 1)
set(folder_rank_platform 2)
set(folder_rank_engine 3)
set(folder_rank_sources 4)
set(folder_rank_batch 5)
set(folder_rank_ui 6)
# The folders whose files live in sub-folders, each sub-folder ranked from the bottom.
# Sub-folders of one rank are neighbours, and a neighbour's header is reached only
# where the edge is listed below.
set(split_folders engine ui)
set(engine_rank_base 0)
set(engine_rank_placement 1)
set(engine_rank_warp 1)
set(engine_rank_effects 1)
set(engine_rank_combine 2)
set(ui_rank_commands 0)
set(ui_rank_adapters 1)
set(ui_rank_dialogs 2)
set(ui_rank_view 3)
set(ui_rank_pane 4)
set(ui_rank_batch 4)
set(ui_rank_app 5)
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

set(patterns "")
foreach(folder bytes codecs platform engine sources batch ui)
  list(APPEND patterns ${ROOT}/${folder}/*.h ${ROOT}/${folder}/*.cpp)
endforeach()
file(GLOB_RECURSE files RELATIVE ${ROOT} ${patterns})
list(SORT files)
foreach(file IN LISTS files)
  string(REPLACE "/" ";" parts "${file}")
  list(GET parts 0 folder)
  set(sub "")
  if(folder IN_LIST split_folders)
    list(LENGTH parts depth)
    if(NOT depth EQUAL 3)
      fault("${file} is in no sub-folder of ${folder}/")
      continue()
    endif()
    list(GET parts 1 sub)
    if(NOT DEFINED ${folder}_rank_${sub})
      fault("${file}: ${folder}/${sub} has no rank")
      continue()
    endif()
  endif()

  file(STRINGS ${ROOT}/${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<][^\">]+/[^\">]+[\">]")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[^\"<]*[\"<]([^\">]+)[\">].*$" "\\1" header "${line}")
    string(REPLACE "/" ";" header_parts "${header}")
    list(GET header_parts 0 header_folder)
    if(NOT DEFINED folder_rank_${header_folder})
      # A library's header in angle brackets; in quotes, a path the program does not have.
      if(line MATCHES "\"")
        fault("${file} includes ${header}, outside the program's folders")
      endif()
      continue()
    endif()
    if(folder_rank_${header_folder} GREATER folder_rank_${folder})
      fault("${file} includes ${header}, a layer up")
      continue()
    endif()
    if(NOT sub OR NOT header_folder STREQUAL folder)
      continue()
    endif()
    list(LENGTH header_parts header_depth)
    if(NOT header_depth EQUAL 3)
      fault("${file} includes ${header}, in no sub-folder of ${folder}/")
      continue()
    endif()
    list(GET header_parts 1 header_sub)
    if(header_sub STREQUAL sub)
      continue()
    endif()
    if(NOT DEFINED ${folder}_rank_${header_sub})
      fault("${file} includes ${header}: ${folder}/${header_sub} has no rank")
    elseif(${folder}_rank_${header_sub} LESS ${folder}_rank_${sub})
      continue()
    elseif(NOT "${file}|${header}" IN_LIST allowed_edges)
      fault("${file} includes ${header}, a sub-folder up or beside it, and the edge is not listed")
    endif()
  endforeach()
endforeach()

if(faults GREATER 0)
  message(FATAL_ERROR "${faults} faults in the include layers")
endif()
