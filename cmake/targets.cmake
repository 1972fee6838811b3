# How every target of ours is made: the warnings, a library of one source
# folder, a test suite, and a last look that no source file was left out.

# Our warnings, set here once; every library, program and test of ours links
# this (veranta_check_targets makes sure).
add_library(veranta_warnings INTERFACE)
target_compile_options(veranta_warnings INTERFACE -Wall -Wextra)

# veranta_add_library(NAME SOURCE...): a static library of one folder's
# sources, included from src as "folder/header.h".
function(veranta_add_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PRIVATE veranta_warnings)
endfunction()

# The per-surface loops of the slope sweep are vectorised only with GCC's full
# cost model; vector lanes round exactly as scalar operations do. Called in the
# CMake folder that makes the file's library (source properties hold there).
function(veranta_full_vector_cost)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    set_source_files_properties(${ARGN} PROPERTIES COMPILE_OPTIONS -fvect-cost-model=dynamic)
  endif()
endfunction()

# Every test runs with the leak checker's suppressions (read only by the
# sanitizer build) and a timeout that turns a calculation that never ends into
# a failure, not a hang.
set(VERANTA_TEST_ENVIRONMENT "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp")

# veranta_add_test(NAME [PREFIX p] [TIMEOUT s] SOURCES... [LIBRARIES...])
#   A GoogleTest executable NAME; each of its cases is a test of its own,
#   named PREFIX + Suite.Case, found when ctest runs (the executable is then
#   built). TIMEOUT defaults to 120 s; the sanitizer build doubles it.
# veranta_add_test(NAME PREFIX p [TIMEOUT s] SCRIPTS... PROGRAM target)
#   One test per bash script, named PREFIX + the script's name, given the
#   path of the program as its argument; a script exiting with 77 is skipped.
#   TIMEOUT defaults to 300 s; the sanitizer build doubles it.
function(veranta_add_test name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "PREFIX;TIMEOUT;PROGRAM" "SOURCES;LIBRARIES;SCRIPTS")
  if(arg_UNPARSED_ARGUMENTS OR (arg_SOURCES AND arg_SCRIPTS) OR NOT (arg_SOURCES OR arg_SCRIPTS))
    message(FATAL_ERROR "veranta_add_test(${name}): give either SOURCES or SCRIPTS and PROGRAM")
  endif()
  # The sanitizers slow the code two- to threefold; a timeout is there to
  # catch a run that never ends, not to measure speed.
  set(scale 1)
  if(VERANTA_SANITIZE)
    set(scale 2)
  endif()
  if(arg_SOURCES)
    if(NOT arg_TIMEOUT)
      set(arg_TIMEOUT 120)
    endif()
    math(EXPR arg_TIMEOUT "${arg_TIMEOUT} * ${scale}")
    add_executable(${name} ${arg_SOURCES})
    target_link_libraries(${name} PRIVATE ${arg_LIBRARIES} GTest::gtest GTest::gtest_main veranta_warnings)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST TEST_PREFIX "${arg_PREFIX}"
      PROPERTIES ENVIRONMENT "${VERANTA_TEST_ENVIRONMENT}" TIMEOUT ${arg_TIMEOUT})
  else()
    if(NOT arg_PROGRAM OR NOT arg_PREFIX)
      message(FATAL_ERROR "veranta_add_test(${name}): scripts need PREFIX and PROGRAM")
    endif()
    if(NOT arg_TIMEOUT)
      set(arg_TIMEOUT 300)
    endif()
    math(EXPR arg_TIMEOUT "${arg_TIMEOUT} * ${scale}")
    foreach(script ${arg_SCRIPTS})
      get_filename_component(script_name ${script} NAME_WE)
      get_filename_component(script ${script} ABSOLUTE)
      add_test(NAME ${arg_PREFIX}${script_name} COMMAND bash ${script} $<TARGET_FILE:${arg_PROGRAM}>)
      # 77: a script that cannot run here says so (the Slurm cluster's daemons need root).
      set_tests_properties(${arg_PREFIX}${script_name} PROPERTIES
        TIMEOUT ${arg_TIMEOUT} SKIP_RETURN_CODE 77 ENVIRONMENT "${VERANTA_TEST_ENVIRONMENT}")
    endforeach()
  endif()
endfunction()

# The source lists are written out, so a file added to a folder but to no
# list would silently not be built (a test file: silently not run). This
# stops the configuration instead, and also when a target of ours goes
# without our warnings. Called last, when every target exists; fuzzers are
# built by their own clang build (tests/fuzz).
function(veranta_check_targets)
  set(folders src tools)
  if(VERANTA_TESTS)
    list(APPEND folders tests)
  endif()
  if(VERANTA_BENCH)
    list(APPEND folders bench)
  endif()
  set(on_disk)
  foreach(folder ${folders})
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.cpp ${PROJECT_SOURCE_DIR}/${folder}/*.c)
    list(APPEND on_disk ${found})
  endforeach()
  list(FILTER on_disk EXCLUDE REGEX "^${PROJECT_SOURCE_DIR}/tests/fuzz/")

  set(built)
  set(unwarned)
  set(directories ${PROJECT_SOURCE_DIR})
  while(directories)
    list(POP_FRONT directories directory)
    get_property(subdirectories DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
    list(APPEND directories ${subdirectories})
    get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target ${targets})
      get_target_property(type ${target} TYPE)
      if(NOT type MATCHES "^(STATIC_LIBRARY|EXECUTABLE)$")
        continue()
      endif()
      get_target_property(libraries ${target} LINK_LIBRARIES)
      if(NOT "veranta_warnings" IN_LIST libraries)
        list(APPEND unwarned ${target})
      endif()
      get_target_property(sources ${target} SOURCES)
      foreach(source ${sources})
        if(NOT source MATCHES "^\\$<")
          get_filename_component(source ${source} ABSOLUTE BASE_DIR ${directory})
          list(APPEND built ${source})
        endif()
      endforeach()
    endforeach()
  endwhile()

  list(REMOVE_ITEM on_disk ${built})
  if(on_disk)
    list(JOIN on_disk "\n  " missing)
    message(FATAL_ERROR "Sources in no target (add each to its library's or suite's list in src/, tests/ or bench/CMakeLists.txt):\n  ${missing}")
  endif()
  if(unwarned)
    message(FATAL_ERROR "Targets without veranta_warnings: ${unwarned}")
  endif()
endfunction()
