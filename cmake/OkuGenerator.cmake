# Data generators: host programs that the build runs to make the demo's data.
#
# oku_add_generator(<name>
#     SOURCES <source>...            the generator's own sources
#     OUTPUTS <file>...              what one run writes (the build's dependency)
#     COMMANDS COMMAND <args>... [COMMAND <args>...]   how to run it (add_custom_command syntax;
#                                    the target name <name> stands for the program)
#     [EMBEDDED_IN <source>]         an assembler source of oku_scenes that .incbin's the outputs
#     [COMMENT <text>])
#
# Every generator is built the same way: optimised and never sanitized, even in a
# sanitized test build (it only writes files, and the data should take seconds to
# make), linked with the shared kit in tools/common/. Its outputs join the demo's
# data (target oku_data) and are made again whenever the generator changes.
function(oku_add_generator name)
    cmake_parse_arguments(GEN "" "EMBEDDED_IN;COMMENT" "SOURCES;OUTPUTS;COMMANDS" ${ARGN})
    add_executable(${name} ${GEN_SOURCES})
    target_link_libraries(${name} PRIVATE oku_generator_kit)
    oku_host_tool_options(${name})
    add_custom_command(OUTPUT ${GEN_OUTPUTS}
        ${GEN_COMMANDS}
        DEPENDS ${name}
        COMMENT "${GEN_COMMENT}"
        VERBATIM)
    add_custom_target(${name}_data DEPENDS ${GEN_OUTPUTS})
    add_dependencies(oku_data ${name}_data)
    if(GEN_EMBEDDED_IN)
        # oku_scenes is defined before the tools: make its assembly of the data wait
        # for the outputs and rebuild when they change.
        add_dependencies(oku_scenes ${name}_data)
        set_source_files_properties(${GEN_EMBEDDED_IN}
            TARGET_DIRECTORY oku_scenes
            PROPERTIES OBJECT_DEPENDS "${GEN_OUTPUTS}")
    endif()
endfunction()

# Optimised, unsanitized compile and link options for a host tool target.
function(oku_host_tool_options target)
    set_target_properties(${target} PROPERTIES COMPILE_OPTIONS "-O2;-Wall;-Wextra" LINK_OPTIONS "")
    target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR})
endfunction()
