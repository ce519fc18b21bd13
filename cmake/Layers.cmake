# The source folders are layers (the README's Layout table draws their rows,
# tests/check_layers.py holds them). A layer's headers are seen only through
# an include root of its own in the build tree, and a target sees only the
# roots of its own layer and of the targets it links, so an include that
# points to a layer the target does not link fails to compile.
#
#   pagewire_layer(NAME name FOLDER folder [USES layer...])
#
# adds the folder (relative to the calling folder; it must have a
# CMakeLists.txt) and then, for every target it defines:
#  - its layer's root: `#include "FOLDER/x.h"` finds FOLDER's own headers and
#    none of a nested folder, which is a layer of its own (platform/linux is
#    not seen through platform); PUBLIC for libraries, so their users see it;
#  - for a library pagewire_x (or pagewire), the ALIAS pagewire::x (or
#    pagewire::pagewire), which is how other targets link it;
#  - a check that it links only targets of its own layer and of USES, each
#    declared before this one, so the calls read bottom up.

# The layer of each declared target, and the declared layers in order.
define_property(TARGET PROPERTY PAGEWIRE_LAYER
  BRIEF_DOCS "The layer whose folder defines the target"
  FULL_DOCS "Set by pagewire_layer(); the layer links only the layers it uses.")

# Fills ROOT/FOLDER with one link per header of SOURCE (not of its
# subfolders) and removes the links of headers that have gone.
function(_pagewire_layer_root source root folder)
  file(GLOB headers CONFIGURE_DEPENDS ${source}/*.h)
  set(dir ${root}/${folder})
  file(MAKE_DIRECTORY ${dir})
  file(GLOB present LIST_DIRECTORIES true ${dir}/*)
  set(wanted)
  foreach(header IN LISTS headers)
    get_filename_component(name ${header} NAME)
    list(APPEND wanted ${dir}/${name})
    if(IS_SYMLINK ${dir}/${name})
      file(READ_SYMLINK ${dir}/${name} target)
      if(target STREQUAL header)
        continue()
      endif()
    endif()
    file(CREATE_LINK ${header} ${dir}/${name} SYMBOLIC COPY_ON_ERROR)
  endforeach()
  foreach(entry IN LISTS present)
    if(NOT entry IN_LIST wanted)
      file(REMOVE_RECURSE ${entry})
    endif()
  endforeach()
endfunction()

function(pagewire_layer)
  cmake_parse_arguments(PARSE_ARGV 0 ARG "" "NAME;FOLDER" "USES")
  if(NOT ARG_NAME OR NOT ARG_FOLDER OR ARG_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "pagewire_layer(NAME name FOLDER folder [USES layer...])")
  endif()
  set(source ${CMAKE_CURRENT_SOURCE_DIR}/${ARG_FOLDER})
  if(NOT EXISTS ${source}/CMakeLists.txt)
    message(FATAL_ERROR "Layer ${ARG_NAME}: ${source}/CMakeLists.txt does not exist")
  endif()
  get_property(declared GLOBAL PROPERTY PAGEWIRE_LAYERS)
  if(ARG_NAME IN_LIST declared)
    message(FATAL_ERROR "Layer ${ARG_NAME} is declared twice")
  endif()
  foreach(used IN LISTS ARG_USES)
    if(NOT used IN_LIST declared)
      message(FATAL_ERROR "Layer ${ARG_NAME} uses ${used}, which is not declared before it")
    endif()
  endforeach()
  set_property(GLOBAL APPEND PROPERTY PAGEWIRE_LAYERS ${ARG_NAME})

  string(REPLACE "/" "_" id ${ARG_NAME})
  set(root ${CMAKE_BINARY_DIR}/layers/${id})
  _pagewire_layer_root(${source} ${root} ${ARG_FOLDER})

  add_subdirectory(${ARG_FOLDER})
  get_property(targets DIRECTORY ${ARG_FOLDER} PROPERTY BUILDSYSTEM_TARGETS)

  set(libraries STATIC_LIBRARY SHARED_LIBRARY MODULE_LIBRARY OBJECT_LIBRARY INTERFACE_LIBRARY)
  set(members)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type IN_LIST libraries)
      if(type STREQUAL "INTERFACE_LIBRARY")
        target_include_directories(${target} INTERFACE $<BUILD_INTERFACE:${root}>)
      else()
        target_include_directories(${target} PUBLIC $<BUILD_INTERFACE:${root}>)
      endif()
      if(target MATCHES "^pagewire_(.+)$")
        add_library(pagewire::${CMAKE_MATCH_1} ALIAS ${target})
      elseif(target STREQUAL "pagewire")
        add_library(pagewire::pagewire ALIAS ${target})
      endif()
    elseif(type STREQUAL "EXECUTABLE")
      target_include_directories(${target} PRIVATE ${root})
    else()
      continue()
    endif()
    set_property(TARGET ${target} PROPERTY PAGEWIRE_LAYER ${ARG_NAME})
    list(APPEND members ${target})
  endforeach()

  foreach(target IN LISTS members)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
      get_target_property(links ${target} INTERFACE_LINK_LIBRARIES)
    else()
      get_target_property(links ${target} LINK_LIBRARIES)
    endif()
    foreach(link IN LISTS links)
      string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" link "${link}")
      if(TARGET ${link})
        get_target_property(aliased ${link} ALIASED_TARGET)
        if(aliased)
          set(link ${aliased})
        endif()
        get_target_property(layer ${link} PAGEWIRE_LAYER)
        if(layer AND NOT layer STREQUAL ARG_NAME AND NOT layer IN_LIST ARG_USES)
          message(FATAL_ERROR "${target} (layer ${ARG_NAME}) links ${link} of layer ${layer}, "
                              "which ${ARG_NAME} does not use")
        endif()
      elseif(link MATCHES "^pagewire")
        message(FATAL_ERROR "${target} (layer ${ARG_NAME}) links ${link}, which is no target "
                            "of a layer declared before it")
      endif()
    endforeach()
  endforeach()
endfunction()
