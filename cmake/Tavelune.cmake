# SPDX-License-Identifier: GPL-2.0-or-later
# Shared compile settings and the helpers every subsystem folder uses.

add_library(tavelune_warnings INTERFACE)
target_compile_options(tavelune_warnings INTERFACE -Wall -Wextra -Werror)
# Qt's own headers are included as system headers, so their warnings never fail our build.

if(TAVELUNE_FUZZ)
    # The libraries are instrumented for coverage and checked like the fuzz programs.
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
elseif(TAVELUNE_TSAN)
    # The decoding workers and what they hand to the user-interface thread.
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
    if(CMAKE_BUILD_TYPE STREQUAL "Debug")
        add_compile_options(-O1)
    endif()
elseif(TAVELUNE_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
    if(CMAKE_BUILD_TYPE STREQUAL "Debug")
        # Plain -O0 makes the exhaustive tests slow under the sanitizers.
        add_compile_options(-O1)
    endif()
endif()

# tavelune_library(<name> [DEPS <targets>...])
# One static library per subsystem folder, made of every .cpp in the folder.
function(tavelune_library name)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    add_library(${name} STATIC ${sources} ${headers})
    target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/..)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS} PRIVATE tavelune_warnings)
endfunction()

# tavelune_copy_beside(<program> <part>)
# Keeps a copy of the built <part> (a library or helper program the program looks for beside
# itself) in the folder of <program>, refreshed whenever <program> is built.
function(tavelune_copy_beside program part)
    set(copy ${program}_beside_${part})
    add_custom_target(${copy}
        COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${part}>
                $<TARGET_FILE_DIR:${program}>/
        VERBATIM)
    add_dependencies(${copy} ${part})
    add_dependencies(${program} ${copy})
endfunction()

# tavelune_test(<name> [DEPS <targets>...])
# One test program per folder of tests/, made of every .cpp in it, run by ctest.
function(tavelune_test name)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    add_executable(${name} ${sources})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} tavelune_testmain tavelune_warnings)
    target_compile_definitions(${name} PRIVATE
        TAVELUNE_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data")
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
    # EMF files are drawn by the helper program, found beside the program that reads them.
    tavelune_copy_beside(${name} tavelune-emf-render)
endfunction()

# tavelune_two_screen_test(<name>)
# Runs the tests of the program <name> whose names end in OnTwoScreens once more, on two
# offscreen screens side by side, the second with a device pixel ratio of 2
# (tests/TwoScreens.json). On the one screen of the plain run they skip.
function(tavelune_two_screen_test name)
    add_test(NAME ${name}_two_screens COMMAND ${name} --gtest_filter=*OnTwoScreens*)
    set_tests_properties(${name}_two_screens PROPERTIES ENVIRONMENT
        "QT_QPA_PLATFORM=offscreen:configfile=${CMAKE_SOURCE_DIR}/tests/TwoScreens.json")
endfunction()

# Fuzz targets: each fuzz/<name>.cmake holds one line
#   tavelune_fuzz_target(<name> <source in fuzz/> DEPS <targets>...)
# Under -DTAVELUNE_FUZZ=ON it builds a libFuzzer program; in the test build it builds the same
# entry with a plain main that feeds it every file of the kept corpus fuzz/corpus/<name>, so the
# test command replays past findings with any compiler.
function(tavelune_fuzz_target name source)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    if(TAVELUNE_FUZZ_MODE STREQUAL "fuzzer")
        add_executable(${name} ${CMAKE_SOURCE_DIR}/fuzz/${source})
        target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
        target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
        target_link_libraries(${name} PRIVATE ${ARG_DEPS} tavelune_warnings)
    else()
        set(exe ${name}_replay)
        add_executable(${exe} ${CMAKE_SOURCE_DIR}/fuzz/${source}
                              ${CMAKE_SOURCE_DIR}/fuzz/ReplayMain.cpp)
        target_link_libraries(${exe} PRIVATE ${ARG_DEPS} tavelune_warnings)
        add_test(NAME ${exe} COMMAND ${exe} ${CMAKE_SOURCE_DIR}/fuzz/corpus/${name})
        set_tests_properties(${exe} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
    endif()
endfunction()

macro(tavelune_include_fuzz_targets mode)
    set(TAVELUNE_FUZZ_MODE ${mode})
    file(GLOB fuzz_target_files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/fuzz/*.cmake)
    foreach(f ${fuzz_target_files})
        include(${f})
    endforeach()
endmacro()
