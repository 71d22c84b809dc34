# GoogleTest is built from Debian's sources inside each build tree, with the
# tree's own compiler (mingw in the Windows tree).
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# almacora_test(name SOURCES ... LIBS ... [WINDOWS_ONLY])
# One executable per unit; CTest runs it whole (under Wine in the Windows
# tree), which keeps Wine start-ups to one per test file.
function(almacora_test name)
  cmake_parse_arguments(T "WINDOWS_ONLY" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(T_WINDOWS_ONLY AND NOT ALMACORA_WINDOWS)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  almacora_target_options(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} almacora_test_support gmock gtest)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  # Every test runs in one pinned zone and locale, so daylight-saving
  # changes fall on known dates and times format the same on every machine;
  # Wine derives its Windows zone and locale from the same variables.
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "TZ=Europe/Berlin;LANG=en_GB.UTF-8;LC_ALL=en_GB.UTF-8")
endfunction()

# Every <unit>_test.cpp of a tests/ folder becomes the test <prefix>_<unit>.
# Per-test settings (environment, time-out) can follow with
# set_tests_properties on that name.
function(almacora_folder_tests prefix)
  cmake_parse_arguments(T "" "" "LIBS" ${ARGN})
  file(GLOB _tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  file(GLOB _helpers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_fixture.cpp)
  if(NOT _tests)
    return()
  endif()
  foreach(src IN LISTS _tests)
    get_filename_component(unit ${src} NAME_WE)
    string(REGEX REPLACE "_test$" "" unit ${unit})
    almacora_test(${prefix}_${unit} SOURCES ${src} ${_helpers} LIBS ${T_LIBS})
  endforeach()
endfunction()

# Window tests run up to one per display: windows that raise themselves for
# a screenshot or wait for focus would disturb one another on a shared
# display. Each asks CTest for one "display" slot; the Windows tree's
# resource file (display_slots.json, one slot per display, written by
# scripts/lib.sh start_wine) says how many there are, and
# cmake/wine_test_run.sh runs the test on its slot's display and Wine prefix.
if(ALMACORA_WINDOWS)
  set(CTEST_RESOURCE_SPEC_FILE ${CMAKE_BINARY_DIR}/display_slots.json)
  if(NOT EXISTS ${CTEST_RESOURCE_SPEC_FILE})
    file(WRITE ${CTEST_RESOURCE_SPEC_FILE}
      "{\"version\":{\"major\":1,\"minor\":0},\"local\":[{\"display\":[{\"id\":\"0\",\"slots\":1}]}]}\n")
  endif()
endif()

# almacora_uses_display(test...): the tests each take one display slot.
function(almacora_uses_display)
  set_tests_properties(${ARGN} PROPERTIES RESOURCE_GROUPS "display:1")
endfunction()

# almacora_window_tests(prefix LIBS ...): almacora_folder_tests for window
# tests. Each links the program's resources (templates, menus, bitmaps) and
# the window-test support (screenshots, dialog driver), and takes a display.
function(almacora_window_tests prefix)
  cmake_parse_arguments(T "" "" "LIBS" ${ARGN})
  almacora_folder_tests(${prefix} LIBS ${T_LIBS} almacora_test_win)
  file(GLOB _tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  foreach(src IN LISTS _tests)
    get_filename_component(unit ${src} NAME_WE)
    string(REGEX REPLACE "_test$" "" unit ${unit})
    target_sources(${prefix}_${unit} PRIVATE $<TARGET_OBJECTS:almacora_res>)
    almacora_uses_display(${prefix}_${unit})
  endforeach()
endfunction()
