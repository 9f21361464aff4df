# Qt's SQLite driver for the Windows build, whose shared Qt has none: the plugin sqldrivers/qsqlite.dll, built
# from Qt's and SQLite's own source (scripts/fetch-sqlite-driver puts it in TQ_QSQLITE_SOURCE; scripts/windows
# runs it). Qt looks for plugins beside the program too, so the plugin goes beside the programs and the tests,
# as the zip carries it beside tarnquill.exe.
# Sets TQ_SQLITE_DRIVER: ON when the build has the driver (the Linux build takes the system's Qt driver).
set(TQ_QSQLITE_SOURCE "" CACHE PATH "Source of Qt's SQLite driver and the SQLite amalgamation (scripts/fetch-sqlite-driver)")
set(TQ_SQLITE_DRIVER ON)
if(NOT WIN32)
  return()
endif()
# A Windows Qt that has the driver already (MSYS2's, in a native build) needs none of ours.
get_target_property(tq_qtcore_dll Qt5::Core IMPORTED_LOCATION_RELEASE)
get_filename_component(tq_qt_plugins "${tq_qtcore_dll}/../../plugins" ABSOLUTE)
if(TARGET Qt5::QSQLiteDriverPlugin OR EXISTS ${tq_qt_plugins}/sqldrivers/qsqlite.dll)
  return()
endif()

set(src ${TQ_QSQLITE_SOURCE})
if(NOT src OR NOT EXISTS ${src}/qsql_sqlite.cpp OR NOT EXISTS ${src}/sqlite3.c)
  set(TQ_SQLITE_DRIVER OFF)
  # A driver left from an earlier configure would otherwise be found by the tests and packed into the zip.
  file(REMOVE_RECURSE ${TQ_APP_DIR}/sqldrivers ${CMAKE_BINARY_DIR}/tests/sqldrivers)
  message(WARNING "No source of Qt's SQLite driver (TQ_QSQLITE_SOURCE='${src}'): this Windows build is made "
                  "WITHOUT the SQLite ledger (sqlite: ledgers are refused) and its SQLite tests do not run. "
                  "scripts/fetch-sqlite-driver DIR ${Qt5Core_VERSION} fetches the source.")
  return()
endif()

enable_language(C)
add_library(tq_qsqlite MODULE ${src}/qsql_sqlite.cpp ${src}/smain.cpp ${src}/sqlite3.c)
set_target_properties(tq_qsqlite PROPERTIES OUTPUT_NAME qsqlite PREFIX "" AUTOMOC ON
                      LIBRARY_OUTPUT_DIRECTORY ${TQ_APP_DIR}/sqldrivers)
target_include_directories(tq_qsqlite PRIVATE ${src})
target_link_libraries(tq_qsqlite PRIVATE Qt5::Sql Qt5::SqlPrivate Qt5::CorePrivate)
# The options of Qt's own build of its bundled SQLite; QT_NO_DEBUG in every build type, because a release Qt
# on Windows refuses a plugin that says it is a debug one.
target_compile_definitions(tq_qsqlite PRIVATE QT_PLUGIN QT_NO_DEBUG NDEBUG
  SQLITE_ENABLE_COLUMN_METADATA SQLITE_OMIT_COMPLETE SQLITE_ENABLE_FTS3 SQLITE_ENABLE_FTS3_PARENTHESIS
  SQLITE_ENABLE_FTS5 SQLITE_ENABLE_RTREE SQLITE_ENABLE_JSON1 SQLITE_OMIT_LOAD_EXTENSION)
# Third-party code: its warnings are not ours to fix, nor to fail the build on.
target_compile_options(tq_qsqlite PRIVATE -w)
add_custom_command(TARGET tq_qsqlite POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/tests/sqldrivers
  COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:tq_qsqlite> ${CMAKE_BINARY_DIR}/tests/sqldrivers/)
