# Headers are included by their folder ("png/PngImage.h"), and a source file
# sees only the headers of its own library and of the libraries that library
# links. Each library's include path is a folder of the build holding links
# to its own headers alone, never the source root, so an include across the
# layering (the reader including a window's header, say) fails to compile
# rather than waiting for a review to notice it.

# pixelizer_headers(TARGET [ONLY header...] [EXCEPT header...])
# Links the headers of the folder whose CMakeLists.txt calls it (not those of
# its subfolders, which are libraries of their own), or the ONLY ones, into
# <build>/include/TARGET/<folder>/ and puts that on the include path of the
# target and of everything that links it. EXCEPT headers are linked into a
# folder that the target's own sources alone see.
function(pixelizer_headers target)
  cmake_parse_arguments(ARG "" "" "ONLY;EXCEPT" ${ARGN})
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  if(ARG_ONLY)
    set(headers ${ARG_ONLY})
  else()
    # Configured anew when a header is added or removed.
    file(GLOB headers CONFIGURE_DEPENDS RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  endif()
  set(shown ${PROJECT_BINARY_DIR}/include/${target})
  set(own ${PROJECT_BINARY_DIR}/include/${target}-own)
  # Links of headers moved or removed since the last run go too.
  file(REMOVE_RECURSE ${shown} ${own})
  foreach(header IN LISTS headers)
    if(header IN_LIST ARG_EXCEPT)
      set(root ${own})
    else()
      set(root ${shown})
    endif()
    file(MAKE_DIRECTORY ${root}/${folder})
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR}/${header} ${root}/${folder}/${header} SYMBOLIC)
  endforeach()

  get_target_property(type ${target} TYPE)
  if(type STREQUAL INTERFACE_LIBRARY)
    target_include_directories(${target} INTERFACE ${shown})
  else()
    target_include_directories(${target} PUBLIC ${shown})
  endif()
  if(ARG_EXCEPT)
    target_include_directories(${target} PRIVATE ${own})
  endif()
endfunction()

# pixelizer_test_headers(TARGET)
# Test code includes the helpers of the whole tests folder
# ("tests/support/PngWriter.h"), besides the headers of what it links.
function(pixelizer_test_headers target)
  set(root ${PROJECT_BINARY_DIR}/include/tests)
  if(NOT IS_SYMLINK ${root}/tests)
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/tests ${root}/tests SYMBOLIC)
  endif()
  target_include_directories(${target} PRIVATE ${root})
endfunction()
