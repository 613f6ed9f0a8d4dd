# Writes the bytes of INPUT as a C++ array named NAME into OUTPUT (cmake -P), so that a text
# file travels inside the program.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
file(WRITE "${OUTPUT}.tmp"
  "// Generated from ${INPUT}; do not edit.\n#include <cstddef>\n"
  "extern const char ${NAME}[];\nextern const std::size_t ${NAME}_size;\n"
  "const char ${NAME}[] = {${bytes} 0};\nconst std::size_t ${NAME}_size = ${size};\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
