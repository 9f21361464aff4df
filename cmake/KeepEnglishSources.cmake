# cmake -DTS=... -P KeepEnglishSources.cmake, or include() it for tq_keep_english_sources().
# The Chinese translation holds the English source texts only: every message whose source text is Chinese is
# removed from the .ts file, and so is a context left without a message.
function(tq_keep_english_sources ts)
  file(READ ${ts} text)
  # 0xE3 to 0xE9 lead the UTF-8 of CJK punctuation and ideographs; signs such as "×" or "≤" lead with others.
  string(ASCII 227 first)
  string(ASCII 233 last)
  set(message "<message>[ \t\r\n]*<source>[^<]*[${first}-${last}][^<]*</source>[^<]*(<comment>[^<]*</comment>[^<]*)?")
  string(REGEX REPLACE "[ \t]*${message}<translation[^>]*>[^<]*</translation>[ \t\r\n]*</message>\r?\n" "" text "${text}")
  string(REGEX REPLACE "[ \t]*<context>[ \t\r\n]*<name>[^<]*</name>[ \t\r\n]*</context>\r?\n" "" text "${text}")
  file(WRITE ${ts} "${text}")
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  tq_keep_english_sources(${TS})
endif()
