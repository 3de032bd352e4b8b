# korvane_library(NAME DIR [EXCLUDE file...] [PUBLIC_LIBS ...] [LIBS ...])
# A library made of every .cpp/.h in one source folder (not recursive), so that
# adding a unit needs no edit here. PUBLIC_LIBS are what its headers expose; LIBS what only
# its sources use.
function(korvane_library name dir)
  cmake_parse_arguments(ARG "" "" "EXCLUDE;LIBS;PUBLIC_LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h ${dir}/*.qrc)
  foreach(ex IN LISTS ARG_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "/${ex}$")
  endforeach()
  list(FILTER sources INCLUDE REGEX "\\.(cpp|h|qrc)$")
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${dir})
  target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_LIBS} PRIVATE ${ARG_LIBS})
endfunction()

# korvane_program(NAME SOURCES ... LIBS ...): a program built into dist/BIN.
function(korvane_program name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KORVANE_BIN_DIR})
endfunction()
