# Cross build for Windows on Linux: Windows programs of the build (build-time tools, tests) run under Wine through
# the generated ${CMAKE_BINARY_DIR}/winerun; tests through ${CMAKE_BINARY_DIR}/winetest, which shows their log.
find_program(TQ_WINE NAMES wine64 wine PATHS /usr/lib/wine REQUIRED)

# Folders of the DLLs the programs load: Qt, hidapi, and the compiler's runtime.
get_target_property(tq_qtcore Qt5::Core IMPORTED_LOCATION_RELEASE)
get_filename_component(TQ_QT_BIN_DIR ${tq_qtcore} DIRECTORY)
get_filename_component(TQ_QT_PLUGIN_DIR ${TQ_QT_BIN_DIR}/../plugins ABSOLUTE)
get_target_property(tq_hidapi_dll hidapi::winapi IMPORTED_LOCATION_RELEASE)
get_filename_component(TQ_HIDAPI_BIN_DIR ${tq_hidapi_dll} DIRECTORY)
set(TQ_MINGW_RUNTIME_DLLS)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                  OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
    message(FATAL_ERROR "mingw runtime ${dll} not found by ${CMAKE_CXX_COMPILER}")
  endif()
  get_filename_component(path ${path} REALPATH)
  list(APPEND TQ_MINGW_RUNTIME_DLLS ${path})
endforeach()
set(TQ_MINGW_RUNTIME_DIRS)
foreach(path ${TQ_MINGW_RUNTIME_DLLS})
  get_filename_component(dir ${path} DIRECTORY)
  list(APPEND TQ_MINGW_RUNTIME_DIRS ${dir})
endforeach()
list(REMOVE_DUPLICATES TQ_MINGW_RUNTIME_DIRS)
set(TQ_WINEPATH "${TQ_QT_BIN_DIR};${TQ_HIDAPI_BIN_DIR};${TQ_MINGW_RUNTIME_DIRS}")  # ;-separated, as WINEPATH wants
set(TQ_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
foreach(script winerun winetest)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/${script}.in ${CMAKE_BINARY_DIR}/${script} @ONLY
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
                                  WORLD_EXECUTE)
endforeach()
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/winerun)
set(TQ_TEST_LAUNCHER ${CMAKE_BINARY_DIR}/winetest)

# The cross-built Qt has no translations of its own; Qt's Chinese catalogue (texts of its standard buttons) is
# the same for every platform, so the build system's serves, and the zip carries it.
find_path(TQ_QT_TRANSLATIONS_DIR qtbase_zh_CN.qm PATHS /usr/share/qt5/translations NO_CMAKE_FIND_ROOT_PATH REQUIRED)

# Qt reads qt.conf beside the program, not beside its DLLs: programs in the build tree find Qt's plugins and
# translations so.
foreach(dir ${TQ_APP_DIR} ${CMAKE_BINARY_DIR}/tests ${CMAKE_BINARY_DIR}/tools)
  file(WRITE ${dir}/qt.conf "[Paths]\nPlugins = ${TQ_QT_PLUGIN_DIR}\nTranslations = ${TQ_QT_TRANSLATIONS_DIR}\n")
endforeach()
