# cmake -DLUPDATE=... -DTS=... -DSOURCES=... -DWORK=... [-DCHINESE=ON] -P CheckTranslations.cmake
# Fails when the sources hold a text the translation file lacks or leaves untranslated, or when the file keeps a
# text the sources no longer have: lupdate is run on a copy, so the checked-in file is never touched. With
# CHINESE the file is the Chinese one, which holds the English source texts only.
file(MAKE_DIRECTORY ${WORK})
get_filename_component(name ${TS} NAME)
set(copy ${WORK}/${name})
configure_file(${TS} ${copy} COPYONLY)
if(CHINESE)
  set(languages -source-language en -target-language zh_CN)
else()
  set(languages -source-language zh_CN -target-language en)
endif()
execute_process(
  COMMAND ${LUPDATE} -silent -locations none ${languages} ${SOURCES} -ts ${copy}
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "lupdate failed (${rc}): ${out}${err}")
endif()
if(CHINESE)
  include(${CMAKE_CURRENT_LIST_DIR}/KeepEnglishSources.cmake)
  tq_keep_english_sources(${copy})
endif()
file(READ ${copy} ts)
# One message per match: the source text and the type of its translation.
string(REGEX MATCHALL "<source>[^<]*</source>[ \n\r\t]*(<comment>[^<]*</comment>[ \n\r\t]*)?<translation type=\"(unfinished|vanished|obsolete)\"" bad "${ts}")
list(LENGTH bad count)
if(count GREATER 0)
  foreach(entry IN LISTS bad)
    string(REGEX REPLACE "^<source>([^<]*)</source>.*type=\"([a-z]+)\"$" "  \\2: \\1" line "${entry}")
    message("${line}")
  endforeach()
  message(FATAL_ERROR "${count} entries of ${name} are unfinished or no longer in the sources: run "
                      "`cmake --build build --target tq_lupdate`, translate, and mark them finished.")
endif()
message("${name}: every text of the sources is translated")
