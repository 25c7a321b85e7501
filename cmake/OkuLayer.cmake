# The demo's layers: one static library per top-level folder, linking only the
# layers below it (docs/architecture.md, "Layers").
#
# oku_add_layer(<layer> [BELOW <layer>...] [EXCLUDE <source>...])
#
# builds oku_<layer> from every .cpp and .S file under the calling folder (less
# EXCLUDE, a program's own entry) and links the BELOW layers publicly. Outside the
# fuzz build each layer also gets oku_<layer>_link_check: a program that takes
# every object of the layer and nothing but the layers below, so a call into a
# layer above (or a layer beside) fails to link even where every program linking
# the layer would happen to supply it.
function(oku_add_layer layer)
    cmake_parse_arguments(LAYER "" "" "BELOW;EXCLUDE" ${ARGN})
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.S)
    foreach(excluded ${LAYER_EXCLUDE})
        list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${excluded})
    endforeach()
    add_library(oku_${layer} STATIC ${sources})
    target_include_directories(oku_${layer} PUBLIC ${CMAKE_SOURCE_DIR})
    foreach(below ${LAYER_BELOW})
        target_link_libraries(oku_${layer} PUBLIC oku_${below})
    endforeach()
    if(NOT OKU_FUZZ AND NOT EMSCRIPTEN)
        add_executable(oku_${layer}_link_check ${CMAKE_SOURCE_DIR}/cmake/link_check_main.cpp)
        target_link_libraries(oku_${layer}_link_check PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,oku_${layer}>")
    endif()
endfunction()
