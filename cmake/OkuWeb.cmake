# The browser build: the demo's layers over the web backends (platform/**/*_web.*),
# compiled by Emscripten into oku.js and oku.wasm, with the page (web/) and the data
# that a native build made (the generators run natively, never in the browser).
#
#   emcmake cmake -S . -B build/web-obj -DCMAKE_BUILD_TYPE=Release \
#       -DOKU_WEB_DATA_DIR=build/release/run -DOKU_WEB_OUT_DIR=build/web
#
# OKU_WEB_OUT_DIR receives index.html and everything it loads, nothing else.
set(OKU_WEB_DATA_DIR "" CACHE PATH "The run directory of a native build, holding the demo's data")
set(OKU_WEB_OUT_DIR ${CMAKE_BINARY_DIR}/web CACHE PATH "The folder the page is served from")
get_filename_component(OKU_WEB_DATA_DIR "${OKU_WEB_DATA_DIR}" ABSOLUTE BASE_DIR ${CMAKE_SOURCE_DIR})
get_filename_component(OKU_WEB_OUT_DIR "${OKU_WEB_OUT_DIR}" ABSOLUTE BASE_DIR ${CMAKE_SOURCE_DIR})
set(OKU_WEB_DATA_FOLDERS textures mesh spline Cg sound)
foreach(folder ${OKU_WEB_DATA_FOLDERS})
    if(NOT IS_DIRECTORY ${OKU_WEB_DATA_DIR}/${folder})
        message(FATAL_ERROR "OKU_WEB_DATA_DIR (${OKU_WEB_DATA_DIR}) holds no ${folder}/: build the native data first "
                            "(cmake --build build/release --target oku_data)")
    endif()
endforeach()
# The compiled-in models: the blobs the native build's generators wrote beside its run directory.
get_filename_component(OKU_GENERATED_DIR ${OKU_WEB_DATA_DIR}/../generated ABSOLUTE)
set(OKU_EMBED_BINARY_DIR ${CMAKE_SOURCE_DIR}/cmake/embed_binary/wasm)
file(MAKE_DIRECTORY ${OKU_WEB_OUT_DIR})

include(cmake/OkuLayer.cmake)
add_subdirectory(platform)
add_subdirectory(math)
add_subdirectory(assets)
add_subdirectory(shell)
add_subdirectory(scenes)
set_source_files_properties(${CMAKE_SOURCE_DIR}/scenes/indoor/model_data.S PROPERTIES OBJECT_DEPENDS
    "${OKU_GENERATED_DIR}/indoor_model_positions.bin;${OKU_GENERATED_DIR}/indoor_model_normals.bin;${OKU_GENERATED_DIR}/indoor_model_tangents.bin;${OKU_GENERATED_DIR}/indoor_model_texcoords.bin")
set_source_files_properties(${CMAKE_SOURCE_DIR}/scenes/outdoor/scenery_model_data.S PROPERTIES OBJECT_DEPENDS
    "${OKU_GENERATED_DIR}/scenery_positions.bin;${OKU_GENERATED_DIR}/scenery_texcoords.bin")

add_executable(oku scenes/main.cpp)
target_link_libraries(oku PRIVATE oku_scenes)
set_target_properties(oku PROPERTIES SUFFIX ".js" RUNTIME_OUTPUT_DIRECTORY ${OKU_WEB_OUT_DIR})
target_link_options(oku PRIVATE
    # A factory the page calls once per play: createOku(moduleArgs).
    -sMODULARIZE=1 -sEXPORT_NAME=createOku -sENVIRONMENT=web
    -sEXIT_RUNTIME=1 -sFORCE_FILESYSTEM=1 "-sEXPORTED_RUNTIME_METHODS=['FS','ENV']"
    # The frame loop stays a loop: SwapBuffers and the message boxes sleep under Asyncify.
    -sASYNCIFY "-sASYNCIFY_IMPORTS=['okuWebWaitForNextFrame','okuWebShowMessage']"
    -sASYNCIFY_STACK_SIZE=65536
    # OpenGL 1.x over WebGL 2.
    -sLEGACY_GL_EMULATION=1 -sMAX_WEBGL_VERSION=2 -sGL_UNSAFE_OPTS=0
    -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=134217728 -sTOTAL_STACK=1048576)

# The page, the data as the native build laid it out, and the manifest of
# everything the page downloads.
set(OKU_WEB_PAGE_FILES index.html page.js page.css)
set(OKU_WEB_PAGE_OUTPUTS)
foreach(file ${OKU_WEB_PAGE_FILES})
    add_custom_command(OUTPUT ${OKU_WEB_OUT_DIR}/${file}
        COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/web/${file} ${OKU_WEB_OUT_DIR}/${file}
        DEPENDS ${CMAKE_SOURCE_DIR}/web/${file})
    list(APPEND OKU_WEB_PAGE_OUTPUTS ${OKU_WEB_OUT_DIR}/${file})
endforeach()
set(OKU_WEB_DATA_COPY)
foreach(folder ${OKU_WEB_DATA_FOLDERS})
    list(APPEND OKU_WEB_DATA_COPY
        COMMAND ${CMAKE_COMMAND} -E rm -rf ${OKU_WEB_OUT_DIR}/${folder}
        COMMAND ${CMAKE_COMMAND} -E copy_directory ${OKU_WEB_DATA_DIR}/${folder} ${OKU_WEB_OUT_DIR}/${folder})
endforeach()
find_program(OKU_PYTHON3 python3 REQUIRED)
add_custom_target(oku_web_folder ALL
    ${OKU_WEB_DATA_COPY}
    COMMAND ${OKU_PYTHON3} ${CMAKE_SOURCE_DIR}/web/make_manifest.py ${OKU_WEB_OUT_DIR}
    DEPENDS ${OKU_WEB_PAGE_OUTPUTS}
    COMMENT "Laying out the page and its data in ${OKU_WEB_OUT_DIR}")
add_dependencies(oku_web_folder oku)
