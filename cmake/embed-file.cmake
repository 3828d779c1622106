# Writes a C++ header holding the bytes of INPUT as an array named NAME, so a file shipped
# beside the program can also be built into it and the two never differ.
# Usage: cmake -DINPUT=file -DOUTPUT=header.h -DNAME=kIdentifier -P embed-file.cmake
file(READ "${INPUT}" bytes HEX)
string(LENGTH "${bytes}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${bytes}")
# Sixteen bytes a line keeps the generated file readable in a diff or an error message.
string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){16})" "\\1\n    " bytes "${bytes}")
get_filename_component(source "${INPUT}" NAME)
file(WRITE "${OUTPUT}.tmp"
  "// Generated from ${source} at build time; do not edit.\n"
  "#pragma once\n\n"
  "inline constexpr unsigned char ${NAME}[${size} + 1] = {\n    ${bytes}0};\n"
  "inline constexpr unsigned long long ${NAME}Size = ${size};\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
