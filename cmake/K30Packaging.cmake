# What a Debian package needs beside the programs: the copyright file (from LICENSE, in
# Debian's machine-readable format), the changelog, manual pages made by help2man from each
# program's --help and --version, the AppStream metadata and bash completion for k30cfg-cli.
# Included from K30Install.cmake.
set(k30_packaging ${PROJECT_SOURCE_DIR}/packaging)
set(k30_generated ${PROJECT_BINARY_DIR}/packaging)
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${PROJECT_SOURCE_DIR}/LICENSE ${k30_packaging}/changelog)

# copyright: the notice line of LICENSE as the Copyright field, the permission text below it
# as the MIT licence paragraph (each line indented, blank lines as " .").
file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE k30_licence_lines)
set(k30_copyright_holder "")
set(k30_licence_text "")
foreach(line IN LISTS k30_licence_lines)
    if(line MATCHES "^Copyright \\(c\\) (.+)$")
        set(k30_copyright_holder "${CMAKE_MATCH_1}")
    elseif(k30_copyright_holder)
        if(line STREQUAL "")
            string(APPEND k30_licence_text " .\n")
        else()
            string(APPEND k30_licence_text " ${line}\n")
        endif()
    endif()
endforeach()
string(REGEX REPLACE "^ \\.\n" "" k30_licence_text "${k30_licence_text}")
if(NOT k30_copyright_holder)
    message(FATAL_ERROR "LICENSE has no 'Copyright (c) ...' line")
endif()
file(WRITE ${k30_generated}/copyright
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: k30cfg
Upstream-Contact: ${K30_PACKAGE_MAINTAINER}

Files: *
Copyright: ${k30_copyright_holder}
License: MIT

License: MIT
${k30_licence_text}")

# The changelog's newest entry is this version; its date is the release date software
# centres show.
file(STRINGS ${k30_packaging}/changelog k30_changelog_lines)
list(GET k30_changelog_lines 0 k30_changelog_top)
if(NOT k30_changelog_top MATCHES "^k30cfg \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "packaging/changelog starts with '${k30_changelog_top}': "
                        "add an entry for version ${PROJECT_VERSION}")
endif()
foreach(line IN LISTS k30_changelog_lines)
    if(line MATCHES "^ -- .*  [A-Z][a-z][a-z], ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9]+) ")
        set(k30_months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
        list(FIND k30_months ${CMAKE_MATCH_2} k30_month)
        math(EXPR k30_month "${k30_month} + 1" OUTPUT_FORMAT DECIMAL)
        if(k30_month LESS 10)
            set(k30_month 0${k30_month})
        endif()
        set(K30_RELEASE_DATE "${CMAKE_MATCH_3}-${k30_month}-${CMAKE_MATCH_1}")
        break()
    endif()
endforeach()
set(K30_RELEASE_VERSION ${PROJECT_VERSION})

find_program(K30_GZIP gzip)
if(K30_GZIP)
    # Compressed as Debian wants it: the most, without name or time stamp.
    execute_process(COMMAND ${K30_GZIP} -9n
                    INPUT_FILE ${k30_packaging}/changelog
                    OUTPUT_FILE ${k30_generated}/changelog.gz)
    install(FILES ${k30_generated}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
else()
    install(FILES ${k30_packaging}/changelog DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()
install(FILES ${k30_generated}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The HTML manual, registered with doc-base (its paths are those of the Debian package).
install(FILES ${k30_packaging}/k30cfg.doc-base DESTINATION ${CMAKE_INSTALL_DATADIR}/doc-base
        RENAME k30cfg.k30cfg-manual)

set(K30_APPSTREAM_ID invalid.maintainers.k30cfg)
configure_file(${k30_packaging}/k30cfg.metainfo.xml.in
               ${k30_generated}/${K30_APPSTREAM_ID}.metainfo.xml @ONLY)
install(FILES ${k30_generated}/${K30_APPSTREAM_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

if(TARGET k30cfg-cli)
    install(FILES ${k30_packaging}/k30cfg-cli.bash-completion
            DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
            RENAME k30cfg-cli)
endif()

# Manual pages, where help2man is there (Debian: the help2man package; the package test
# needs them). A sanitizer build makes none: its programs are for the tests only; nor does a
# cross-build, whose programs do not run on the build machine.
find_program(K30_HELP2MAN help2man)
set(K30_MANPAGES OFF)
if(K30_HELP2MAN AND K30_GZIP AND NOT K30_SANITIZE AND NOT CMAKE_CROSSCOMPILING)
    set(K30_MANPAGES ON)
endif()
# The Debian package installs under /usr.
set(K30_MANUAL_DIR /usr/${CMAKE_INSTALL_DOCDIR}/manual)
configure_file(${k30_packaging}/man/serial.h2m.in ${k30_generated}/man/serial.h2m @ONLY)
set(k30_man_names
    "k30cfg|configure a K30 bar code decoder and magnetic card reader"
    "k30cfg-cli|configure K30 devices and their files from the command line"
    "k30-sim|simulated K30 bar code decoder on a serial line")
set(k30_man_pages "")
foreach(entry IN LISTS k30_man_names)
    string(REPLACE "|" ";" entry "${entry}")
    list(GET entry 0 program)
    list(GET entry 1 name)
    if(NOT K30_MANPAGES OR NOT TARGET ${program})
        continue()
    endif()
    configure_file(${k30_packaging}/man/${program}.h2m.in
                   ${k30_generated}/man/${program}.h2m @ONLY)
    set(includes ${k30_generated}/man/${program}.h2m)
    if(NOT program STREQUAL "k30-sim")
        string(APPEND includes "|${k30_generated}/man/serial.h2m")
    endif()
    set(page ${k30_generated}/man/${program}.1.gz)
    add_custom_command(
        OUTPUT ${page}
        COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:${program}> -DNAME=${name}
                -DINCLUDES=${includes} -DOUTPUT=${page} -DHELP2MAN=${K30_HELP2MAN}
                -DGZIP=${K30_GZIP} -P ${PROJECT_SOURCE_DIR}/cmake/K30ManPage.cmake
        DEPENDS ${program} ${PROJECT_SOURCE_DIR}/cmake/K30ManPage.cmake
                ${k30_generated}/man/${program}.h2m ${k30_generated}/man/serial.h2m
        COMMENT "Manual page ${program}(1)"
        VERBATIM)
    list(APPEND k30_man_pages ${page})
endforeach()
if(k30_man_pages)
    add_custom_target(k30_manpages ALL DEPENDS ${k30_man_pages})
    install(FILES ${k30_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
