# Helpers shared by every folder of the tree.
#
# rv_engine_library(<target> [DEPS <targets or libs>...] [SUBFOLDERS <folders>...])
#   A static library made of every source file in the calling folder (and in
#   the named SUBFOLDERS). Its headers are included from the repository root
#   ("engine/common/base/IString.h"). DEPS names the engine libraries of the
#   layers below that it uses, and the system libraries it calls; the
#   libraries form no cycle, so each appears once on a link line.
#
# rv_test(<target> [ANSI_936] [DEPS <targets or libs>...])
#   A GoogleTest executable made of every source file in the calling folder,
#   registered with ctest as one test (one Wine start per executable).
#   ANSI_936 runs it with code page 936 as the system's ANSI code page, as the
#   program's users have it (Wine takes it from LC_ALL, which scripts/wine-run.sh
#   sets for that one process from RV_WINE_LC_ALL). The other executables keep
#   the default locale. Under that locale GDI+ ignores the prefix's font
#   substitutes, so the test prefix carries a real "宋体"/"SimSun" font.

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
  if(ARG_DEPS)
    target_link_libraries(${target} PUBLIC ${ARG_DEPS})
  endif()
endfunction()

# The engine's core library replaces the global allocation operators and
# carries exported functions that nothing in a given program may reference:
# link all of it, each library once.
function(rv_link_whole target)
  # Through one interface target, so that the link line is ordered from the
  # whole dependency graph rather than from the order given here.
  if(NOT TARGET ${target}_whole)
    add_library(${target}_whole INTERFACE)
    target_link_libraries(${target} PRIVATE ${target}_whole)
  endif()
  target_link_libraries(${target}_whole INTERFACE ${ARGN})
  list(JOIN ARGN "," libs)
  set_property(TARGET ${target} APPEND PROPERTY LINK_LIBRARY_OVERRIDE "WHOLE_ARCHIVE,${libs}")
endfunction()

function(rv_test target)
  cmake_parse_arguments(ARG "ANSI_936" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
    "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp" "${CMAKE_CURRENT_SOURCE_DIR}/*.h")
  add_executable(${target} ${sources})
  # Through one interface target, so that the link line is ordered from the
  # whole dependency graph and names each library once.
  add_library(${target}_links INTERFACE)
  target_link_libraries(${target}_links INTERFACE rv_testsupport ${ARG_DEPS})
  target_link_libraries(${target} PRIVATE ${target}_links)
  # Object files (compiled resources) reach only a target that links their
  # library directly.
  foreach(dep IN LISTS ARG_DEPS)
    if(TARGET ${dep})
      get_target_property(dep_type ${dep} TYPE)
      if(dep_type STREQUAL "OBJECT_LIBRARY")
        target_link_libraries(${target} PRIVATE ${dep})
      endif()
    endif()
  endforeach()
  add_test(NAME ${target} COMMAND ${target} --gtest_brief=0)
  set_tests_properties(${target} PROPERTIES TIMEOUT 300)
  if(ARG_ANSI_936)
    set_tests_properties(${target} PROPERTIES ENVIRONMENT "RV_WINE_LC_ALL=zh_CN.UTF-8")
  endif()
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
