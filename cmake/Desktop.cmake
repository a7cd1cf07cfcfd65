# SPDX-License-Identifier: GPL-2.0-or-later
# The program as the desktop sees it: the install tree (programs in bin/, their data in
# share/tavelune/, the desktop entry, icons, file types and AppStream data), the same data
# beside the built program so a build folder runs as a portable copy, and the Debian package.

include(GNUInstallDirs)
set(TAVELUNE_DATA_DIR ${CMAKE_INSTALL_DATADIR}/tavelune)
set(TAVELUNE_APP_ID org.example.tavelune.Tavelune)
set(TAVELUNE_ICON_SIZES 16 22 24 32 48 64 128 256)

install(TARGETS tavelune tavelune-convert RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The camera RAW decoder library and the EMF drawing helper program, where the programs look
# for them once installed (src/formats/ProgramFolders.h).
install(TARGETS tavelune_raw LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/tavelune)
install(TARGETS tavelune-emf-render RUNTIME DESTINATION ${CMAKE_INSTALL_LIBDIR}/tavelune)

install(FILES docs/tavelune.htm DESTINATION ${TAVELUNE_DATA_DIR})
install(DIRECTORY data/Themes DESTINATION ${TAVELUNE_DATA_DIR})
install(DIRECTORY samples/ DESTINATION ${TAVELUNE_DATA_DIR}/samples)
install(FILES data/${TAVELUNE_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/${TAVELUNE_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES data/tavelune-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME tavelune.xml)
install(FILES data/icons/tavelune.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size ${TAVELUNE_ICON_SIZES})
    install(FILES data/icons/${size}/tavelune.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# The build folder as a portable copy: the help file and the themes beside the program, and
# the EMF helper program and the RAW decoder library, which the programs
# also look for there.
add_custom_target(tavelune_portable_data ALL
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/docs/tavelune.htm
            $<TARGET_FILE_DIR:tavelune>/tavelune.htm
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/data/Themes
            $<TARGET_FILE_DIR:tavelune>/Themes
    COMMENT "Help file and themes beside the program"
    VERBATIM)
tavelune_copy_beside(tavelune tavelune_raw)
tavelune_copy_beside(tavelune tavelune-emf-render)
tavelune_copy_beside(tavelune-convert tavelune-emf-render)
# Also when only the program is built (scripts/run.sh).
add_dependencies(tavelune tavelune_portable_data)

# Manual pages, written for scdoc and installed compressed as Debian keeps them (gzip -n: no
# time stamp inside, so the same sources give the same files).
find_program(SCDOC_PROGRAM scdoc REQUIRED)
find_program(GZIP_PROGRAM gzip REQUIRED)
set(TAVELUNE_MAN_PAGES tavelune.1 tavelune-convert.1)
set(man_outputs)
foreach(page ${TAVELUNE_MAN_PAGES})
    set(source ${CMAKE_SOURCE_DIR}/docs/man/${page}.scd)
    set(output ${CMAKE_BINARY_DIR}/man/${page}.gz)
    add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
        COMMAND sh -c "\"$0\" <\"$1\" | \"$2\" -9n >\"$3\"" ${SCDOC_PROGRAM} ${source}
                ${GZIP_PROGRAM} ${output}
        DEPENDS ${source}
        COMMENT "Manual page ${page}"
        VERBATIM)
    list(APPEND man_outputs ${output})
    install(FILES ${output} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

# The package's documents: the copyright file, the Debian change log (compressed as above) and
# lintian's overrides, each with a one-line reason.
set(TAVELUNE_DEBIAN_REVISION 1)
file(STRINGS data/debian/changelog changelog_top LIMIT_COUNT 1)
if(NOT changelog_top MATCHES "^tavelune \\(${PROJECT_VERSION}-${TAVELUNE_DEBIAN_REVISION}\\) ")
    message(FATAL_ERROR "data/debian/changelog must begin with the entry of "
                        "${PROJECT_VERSION}-${TAVELUNE_DEBIAN_REVISION}: ${changelog_top}")
endif()
set(changelog_output ${CMAKE_BINARY_DIR}/debian/changelog.Debian.gz)
add_custom_command(OUTPUT ${changelog_output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/debian
    COMMAND sh -c "\"$0\" -9n -c \"$1\" >\"$2\"" ${GZIP_PROGRAM}
            ${CMAKE_SOURCE_DIR}/data/debian/changelog ${changelog_output}
    DEPENDS ${CMAKE_SOURCE_DIR}/data/debian/changelog
    COMMENT "Debian change log"
    VERBATIM)
add_custom_target(tavelune_documents ALL DEPENDS ${man_outputs} ${changelog_output})
set(TAVELUNE_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/tavelune)
install(FILES data/debian/copyright ${changelog_output} DESTINATION ${TAVELUNE_DOC_DIR})
install(FILES data/debian/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME tavelune)

# Debian package: cpack -G DEB in a build configured with -DCMAKE_INSTALL_PREFIX=/usr
# (scripts/package.sh); the dependencies come from dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavelune)
set(CPACK_PACKAGE_VENDOR "The Tavelune developers")
set(CPACK_PACKAGE_CONTACT "The Tavelune developers <maintainers@tavelune.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "image viewer with slideshow, themes and image sequences")
# Lines of at most 80 characters, as Debian wants them.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Tavelune shows an image, a folder of images or a saved sequence of images one"
    "at a time, in a window or full screen, with zoom modes, backgrounds and"
    "patterns, display tints, frames, shadows and comments, a timed slideshow,"
    "scrolling of large images and a sequence manager. It reads 44 file extensions"
    "in 19 formats and camera RAW files, saves in seven formats and prints. The"
    "package also holds tavelune-convert, a batch converter.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${TAVELUNE_DEBIAN_REVISION})
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://tavelune.example.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The libraries opened at run time rather than linked escape the dependency scan: the packages
# that hold the files they resolve to are named here.
get_property(opened GLOBAL PROPERTY TAVELUNE_OPENED_LIBRARIES)
set(opened_packages)
foreach(library ${opened})
    file(REAL_PATH ${library} file)
    execute_process(COMMAND dpkg-query -S ${file} OUTPUT_VARIABLE owner ERROR_QUIET
                    RESULT_VARIABLE failed)
    if(NOT failed AND owner MATCHES "^([^:, ]+)")
        list(APPEND opened_packages ${CMAKE_MATCH_1})
    endif()
endforeach()
list(REMOVE_DUPLICATES opened_packages)
list(JOIN opened_packages ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
# "Information" and "Official web site" open the help file and the web address through the
# desktop's default handlers, which Qt reaches through xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
include(CPack)
