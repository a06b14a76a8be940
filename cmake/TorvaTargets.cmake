# Shared target helpers. Core folders pick up their sources by pattern so that a folder's
# files can grow without touching CMake; platform files are chosen by their suffix.

function(torva_warnings target)
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
      -Wnon-virtual-dtor -Wcast-align -Wunused -Woverloaded-virtual -Wformat=2)
    if(TORVA_WERROR)
      target_compile_options(${target} PRIVATE -Werror)
    endif()
  endif()
  if(WIN32)
    # Vista and later (CancelIoEx); the W functions are called by name.
    target_compile_definitions(${target} PRIVATE _WIN32_WINNT=0x0601 WIN32_LEAN_AND_MEAN NOMINMAX)
  endif()
endfunction()

# torva_platform_sources(<out-var> <dir>): the .cpp files of <dir>, without the files of
# other platforms (*_win32.cpp on Linux; *_posix.cpp and *_linux.cpp on Windows).
function(torva_platform_sources out dir)
  file(GLOB all CONFIGURE_DEPENDS ${dir}/*.cpp)
  set(result)
  foreach(f IN LISTS all)
    get_filename_component(name ${f} NAME_WE)
    if(WIN32)
      if(name MATCHES "_(posix|linux)$")
        continue()
      endif()
    elseif(name MATCHES "_win32$")
      continue()
    endif()
    list(APPEND result ${f})
  endforeach()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

# torva_core_library(<name> [DEPS ...]): a static library of one core folder, no Qt.
function(torva_core_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  torva_platform_sources(srcs ${CMAKE_CURRENT_SOURCE_DIR})
  if(NOT srcs)
    # A folder whose sources have not been written yet still configures.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
    return()
  endif()
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  torva_warnings(${name})
endfunction()

# torva_gtest(<name> SOURCES ... DEPS ... [LABELS ...]): one GoogleTest executable.
function(torva_gtest name)
  cmake_parse_arguments(ARG "" "TEST_FILTER" "SOURCES;DEPS;LABELS;PROPERTIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} torva_testsupport GTest::gtest_main GTest::gmock)
  torva_warnings(${name})
  torva_test_paths(${name})
  if(CMAKE_CROSSCOMPILING)
    # Listing the tests needs the emulator: done when ctest runs, never while building.
    torva_wine_guard(${name})
    set(filter)
    if(ARG_TEST_FILTER)
      set(filter TEST_FILTER ${ARG_TEST_FILTER})
    endif()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 DISCOVERY_MODE PRE_TEST ${filter}
      PROPERTIES LABELS "${ARG_LABELS}" TIMEOUT 120 ${ARG_PROPERTIES})
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 30
      PROPERTIES LABELS "${ARG_LABELS}" TIMEOUT 120)
  endif()
endfunction()

# torva_wine_guard(<target>): the Windows tests run through scripts/wine-guard.sh, which
# refuses to start anything unless the wine prefix maps COM99 (the only serial port a test
# may open) to the simulator's link and nothing else, then hands over to wine.
function(torva_wine_guard target)
  if(CMAKE_CROSSCOMPILING_EMULATOR)
    set_target_properties(${target} PROPERTIES CROSSCOMPILING_EMULATOR
      "${CMAKE_SOURCE_DIR}/scripts/wine-guard.sh;${CMAKE_CROSSCOMPILING_EMULATOR}")
  endif()
endfunction()

# Tests find the programs under test and their data through these definitions:
# TORVA_BIN_DIR (torva-printer-sim, torvaset-cli, torvaset) and TORVA_TEST_DATA_DIR.
function(torva_test_paths target)
  target_compile_definitions(${target} PRIVATE
    TORVA_BIN_DIR="${CMAKE_BINARY_DIR}/bin"
    TORVA_TEST_DATA_DIR="${CMAKE_SOURCE_DIR}/tests/data"
    TORVA_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
endfunction()

# torva_gui_library(<name> DEPS ...): the Qt dialogs of one job folder (src/<job>/gui), every
# header and source of the folder, with moc.
function(torva_gui_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(NOT srcs)
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
    return()
  endif()
  add_library(${name} STATIC ${srcs})
  set_target_properties(${name} PROPERTIES AUTOMOC ON AUTORCC ON)
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC Qt6::Widgets ${ARG_DEPS})
  torva_warnings(${name})
endfunction()
