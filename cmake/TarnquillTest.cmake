# tq_add_test(NAME SOURCES a.cpp b.cpp LIBS tq_chip ...)
# One QtTest executable, registered with ctest and run headless, in Chinese (TQ_LANG) whatever the locale.
function(tq_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE Qt5::Test ${T_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  # Each test gets its own runtime folder, so the device lock file of one test never collides with another
  # running in parallel (or with a Tarnquill the developer has open).
  set(runtime ${CMAKE_BINARY_DIR}/test-runtime/${name})
  file(MAKE_DIRECTORY ${runtime})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TQ_LANG=zh;TQ_APP_DIR=${TQ_APP_DIR};XDG_RUNTIME_DIR=${runtime}"
    TIMEOUT 300)
endfunction()
