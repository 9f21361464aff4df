# cmake -DIN=file -DOUT=file.cpp -DNAME=symbol -P EmbedBytes.cmake: the bytes of IN as a C++ array NAME and its
# size NAMESize, for data a program reads from memory without a resource system in between.
file(READ "${IN}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){24})" "\\1\n" bytes "${bytes}")
file(WRITE "${OUT}.tmp" "// Generated from ${IN} by cmake/EmbedBytes.cmake.\n"
                        "extern const unsigned char ${NAME}[] = {\n${bytes}};\n"
                        "extern const int ${NAME}Size = ${size};\n")
file(RENAME "${OUT}.tmp" "${OUT}")
