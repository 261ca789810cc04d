# Helpers shared by every folder of the tree.
#
# rv_engine_library(<target> [DEPS <targets or libs>...])
#   A static library made of every source file in the calling folder (and in
#   the named SUBFOLDERS). Its
#   headers are included from the repository root ("engine/common/base/IString.h").
#
# rv_test(<target> [DEPS <targets or libs>...])
#   A GoogleTest executable made of every source file in the calling folder,
#   registered with ctest as one test (one Wine start per executable).

function(rv_engine_library target)
  cmake_parse_arguments(ARG "" "" "DEPS;SUBFOLDERS" ${ARGN})
  set(sources)
  foreach(folder "." ${ARG_SUBFOLDERS})
    file(GLOB folder_sources CONFIGURE_DEPENDS
      "${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp" "${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.c"
      "${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.h")
    list(APPEND sources ${folder_sources})
  endforeach()
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC "${PROJECT_SOURCE_DIR}")
  # The engine libraries call each other in a cycle; repeat them on the link
  # line often enough for the linker to resolve every call around it.
  set_property(TARGET ${target} PROPERTY LINK_INTERFACE_MULTIPLICITY 4)
  if(ARG_DEPS)
    target_link_libraries(${target} PUBLIC ${ARG_DEPS})
  endif()
endfunction()

# The engine's core library replaces the global allocation operators and
# carries exported functions that nothing in a given program may reference:
# link all of it.
function(rv_link_whole target)
  foreach(lib IN LISTS ARGN)
    target_link_libraries(${target} PRIVATE
      -Wl,--whole-archive "$<TARGET_FILE:${lib}>" -Wl,--no-whole-archive ${lib})
  endforeach()
endfunction()

function(rv_test target)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
    "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp" "${CMAKE_CURRENT_SOURCE_DIR}/*.h")
  add_executable(${target} ${sources})
  target_link_libraries(${target} PRIVATE rv_testsupport ${ARG_DEPS})
  add_test(NAME ${target} COMMAND ${target} --gtest_brief=0)
  set_tests_properties(${target} PROPERTIES TIMEOUT 300)
endfunction()

# Adds every direct subfolder of the calling folder that has a CMakeLists.txt.
function(rv_add_subfolders)
  file(GLOB children LIST_DIRECTORIES true RELATIVE "${CMAKE_CURRENT_SOURCE_DIR}" "${CMAKE_CURRENT_SOURCE_DIR}/*")
  list(SORT children)
  foreach(child IN LISTS children)
    if(IS_DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}/${child}" AND EXISTS "${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt")
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

# The core library and its sibling folders call each other (strings and the
# log file, streams and the file system, start-up and the UI's frame and font
# managers); static libraries may depend on each
# other in a cycle, and this interface target names every engine library that
# exists, so a folder can rely on all of them.
function(rv_engine_siblings_target)
  add_library(rv_engine_siblings INTERFACE)
  foreach(lib rv_base rv_files rv_math rv_system rv_directui rv_textfx rv_startup)
    target_link_libraries(rv_engine_siblings INTERFACE "$<TARGET_NAME_IF_EXISTS:${lib}>")
  endforeach()
endfunction()
