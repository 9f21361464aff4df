# tq_add_test(NAME SOURCES a.cpp b.cpp LIBS tq_chip ... [ARGS arguments...])
# One QtTest executable, registered with ctest and run headless, in Chinese (TQ_LANG) whatever the locale.
# ARGS replace the arguments chosen for Windows.
function(tq_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;ARGS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE Qt5::Test ${T_LIBS})
  # Helpers shared by the tests of every folder (tests/support/).
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  set(args ${T_ARGS})
  if(WIN32 AND NOT T_ARGS)
    tq_windows_test_arguments(${name} args ${T_SOURCES})
  endif()
  if(TQ_TEST_LAUNCHER)
    add_test(NAME ${name} COMMAND ${TQ_TEST_LAUNCHER} $<TARGET_FILE:${name}> ${args})
  else()
    add_test(NAME ${name} COMMAND ${name} ${args})
  endif()
  # Each test gets its own runtime folder, so the device lock file of one test never collides with another
  # running in parallel (or with a Tarnquill the developer has open).
  set(runtime ${CMAKE_BINARY_DIR}/test-runtime/${name})
  file(MAKE_DIRECTORY ${runtime})
  set(app_dir ${TQ_APP_DIR})
  if(WIN32 AND CMAKE_CROSSCOMPILING)
    # Under Wine a path without a drive is taken on the current drive, which a test's temporary folder changes.
    set(app_dir Z:${TQ_APP_DIR})
  endif()
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TQ_LANG=zh;TQ_APP_DIR=${app_dir};XDG_RUNTIME_DIR=${runtime}"
    TIMEOUT 300)
  if(WIN32)
    # The device lock is a named mutex, one for the whole Wine session: tests that take it run one at a time.
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK tq_device_lock)
  endif()
endfunction()

# Windows hands no QT_ variable to a Qt program under Wine, so a test with a Gui application object is told its
# platform on the command line (a test without one would refuse the unknown option).
function(tq_windows_test_arguments name out)
  set(gui FALSE)
  foreach(src ${ARGN})
    get_filename_component(path ${src} ABSOLUTE)
    if(path MATCHES "\\.cpp$" AND EXISTS ${path})
      file(READ ${path} text)
      if(text MATCHES "QTEST_MAIN\\(|Q(Gui)?Application [A-Za-z_]+\\(")
        set(gui TRUE)
      endif()
    endif()
  endforeach()
  if(gui)
    set(${out} -platform offscreen PARENT_SCOPE)
  else()
    set(${out} "" PARENT_SCOPE)
  endif()
endfunction()
