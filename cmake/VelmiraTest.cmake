# One helper builds, links and registers every test.
#
#   velmira_add_test(NAME SOURCES a.cpp b.cpp LIBS lib1 lib2 [QT] [ENV K=V ...])
#
# GoogleTest tests are registered one CTest entry per executable; QT tests use Qt Test
# and get the offscreen platform so they run without a display.
# Tests cross-built for Windows run under Wine, which shows the build machine's folders
# on drive Z: and keeps the QT_ variables of the environment from the program: WINEQT_X
# reaches it as QT_X.
set(VELMIRA_TEST_ROOT "")
set(VELMIRA_QT_ENV_PREFIX "")
if(WIN32 AND CMAKE_CROSSCOMPILING)
  set(VELMIRA_TEST_ROOT "Z:")
  set(VELMIRA_QT_ENV_PREFIX "WINE")
endif()
# The offscreen platform finds its fonts in a folder on Windows; DejaVu, as on Linux.
set(VELMIRA_TEST_FONT_DIR /usr/share/fonts/truetype/dejavu)
find_program(VELMIRA_SYSTEM_PYTHON NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH)

function(velmira_add_test name)
  cmake_parse_arguments(T "QT" "" "SOURCES;LIBS;ENV" ${ARGN})
  if(T_QT)
    list(APPEND T_SOURCES ${PROJECT_SOURCE_DIR}/tests/support/IsolatedSettings.cpp
         ${PROJECT_SOURCE_DIR}/tests/support/QtTestFailure.cpp)
  else()
    list(APPEND T_SOURCES ${PROJECT_SOURCE_DIR}/tests/support/GTestFailure.cpp)
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests ${PROJECT_SOURCE_DIR}/tests/support)
  if(T_QT)
    target_link_libraries(${name} PRIVATE Qt6::Test Qt6::Widgets)
  else()
    target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main GTest::gmock)
  endif()
  target_compile_definitions(${name} PRIVATE
    VELMIRA_SOURCE_DIR="${VELMIRA_TEST_ROOT}${PROJECT_SOURCE_DIR}"
    VELMIRA_BINARY_DIR="${VELMIRA_TEST_ROOT}${PROJECT_BINARY_DIR}"
    VELMIRA_PYTHON="${VELMIRA_SYSTEM_PYTHON}")
  add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  set(env ${T_ENV})
  if(T_QT)
    # Remembered settings go to the build folder, never to the user's own.
    list(APPEND env ${VELMIRA_QT_ENV_PREFIX}QT_QPA_PLATFORM=offscreen
         VELMIRA_TEST_SETTINGS=${VELMIRA_TEST_ROOT}${CMAKE_CURRENT_BINARY_DIR}/config-${name}
         XDG_CONFIG_HOME=${CMAKE_CURRENT_BINARY_DIR}/config-${name})
    if(VELMIRA_QT_ENV_PREFIX)
      # QtTest writes to the debugger's log on Windows unless told otherwise.
      list(APPEND env WINEQT_FORCE_STDERR_LOGGING=1
           WINEQT_QPA_FONTDIR=${VELMIRA_TEST_ROOT}${VELMIRA_TEST_FONT_DIR})
    endif()
  endif()
  if(VELMIRA_SANITIZE)
    # Qt and the system's font libraries keep caches until exit that LeakSanitizer
    # would report; our own code is leak-checked by the core tests.
    if(T_QT)
      list(APPEND env ASAN_OPTIONS=detect_leaks=0)
    else()
      list(APPEND env ASAN_OPTIONS=detect_leaks=1)
    endif()
    list(APPEND env UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1)
  endif()
  if(env)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}")
  endif()
endfunction()
