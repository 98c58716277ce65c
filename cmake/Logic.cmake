# Each subsystem defines a logic library (Qt Core/Network only) and, where it
# has windows, a _ui library. Keeping widgets out of the logic libraries is
# what makes the rules testable without a display, so the logic libraries are
# built without the Widgets include paths: a stray widget include fails to compile.
function(sorabako_logic_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC Qt6::Core Qt6::Network ${ARG_LIBS})
endfunction()

function(sorabako_ui_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC Qt6::Core Qt6::Gui Qt6::Widgets Qt6::WebEngineCore Qt6::WebEngineWidgets ${ARG_LIBS})
endfunction()
