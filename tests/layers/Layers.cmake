# The layering support <- documents <- conversion <- cli, ui: the sources
# include only downward, the libraries link only downward, and an upward
# include does not compile with a layer's include path. Each check is also
# shown a fault (tests/layers/upward) that it must report.
set(LAYERS_CHECK ${CMAKE_CURRENT_SOURCE_DIR}/layers/CheckLayers.cmake)
set(LAYERS_FAULTS ${CMAKE_CURRENT_SOURCE_DIR}/layers/upward)

set(LAYERS_LINKS ${CMAKE_BINARY_DIR}/layers/links.txt)
set(LAYERS_LINK_LINES)
foreach(Layer support documents conversion)
  string(APPEND LAYERS_LINK_LINES
         "${Layer}=$<JOIN:$<TARGET_PROPERTY:${Layer},LINK_LIBRARIES>;$<TARGET_PROPERTY:${Layer},INTERFACE_LINK_LIBRARIES>,$<COMMA>>\n")
endforeach()
file(GENERATE OUTPUT ${LAYERS_LINKS} CONTENT "${LAYERS_LINK_LINES}")

add_test(NAME layers_includes COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -P ${LAYERS_CHECK})
add_test(NAME layers_links COMMAND ${CMAKE_COMMAND} -DLINKS=${LAYERS_LINKS} -P ${LAYERS_CHECK})

add_test(NAME layers_includes_fault COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${LAYERS_FAULTS} -P ${LAYERS_CHECK})
set_tests_properties(layers_includes_fault PROPERTIES
  PASS_REGULAR_EXPRESSION "support/Upward.cpp includes documents/ByteStream.h, above its layer support")
add_test(NAME layers_links_fault COMMAND ${CMAKE_COMMAND} -DLINKS=${LAYERS_FAULTS}/links.txt -P ${LAYERS_CHECK})
set_tests_properties(layers_links_fault PROPERTIES PASS_REGULAR_EXPRESSION "support links conversion")

# The same file with the include path of support does not compile; with that
# of documents it does.
foreach(Layer support documents)
  add_test(NAME layers_upward_include_with_${Layer}_path
           COMMAND ${CMAKE_CXX_COMPILER} -std=c++20 -fsyntax-only
                   "-I$<JOIN:$<TARGET_PROPERTY:${Layer},INCLUDE_DIRECTORIES>,;-I>" ${LAYERS_FAULTS}/support/Upward.cpp
           COMMAND_EXPAND_LISTS)
endforeach()
set_tests_properties(layers_upward_include_with_support_path PROPERTIES
  PASS_REGULAR_EXPRESSION "documents/ByteStream.h(: No such file|'? file not found)")
