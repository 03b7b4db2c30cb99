# Writes OUTPUT, a C++ unit holding the bytes of FILES (a ;-list of paths)
# as arrays, and EmbeddedFiles() listing them by file name. Run with
#   cmake -DOUTPUT=... -DFILES=... -P EmbedFiles.cmake
set(arrays "")
set(entries "")
set(index 0)
foreach(file IN LISTS FILES)
  get_filename_component(name "${file}" NAME)
  file(READ "${file}" hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n    " bytes "${bytes}")
  string(APPEND arrays "const uint8_t kFile${index}[] = {\n    ${bytes}\n};\n")
  string(APPEND entries "    {\"${name}\", kFile${index}},\n")
  math(EXPR index "${index} + 1")
endforeach()
file(WRITE "${OUTPUT}.new" "// Generated from the files of resources/ at build time; not to be edited.
#include \"resources/EmbeddedFiles.h\"

namespace pix {

namespace {

${arrays}
const TEmbeddedFile kFiles[] = {
${entries}};

} // namespace

std::span<const TEmbeddedFile> EmbeddedFiles()
{
    return kFiles;
}

} // namespace pix
")
# Rewritten only when it changed, so that nothing recompiles needlessly.
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
