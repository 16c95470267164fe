# Checks that every source file includes only what its layer may use (see src/CMakeLists.txt):
#   core  (core/, keys/)               core headers; Qt Core
#   link  (link/)                      core and link headers; Qt Core and Qt SerialPort
#   sim   (sim/)                       core and sim headers, link/keyboard/keyboardport.h and
#                                      link/serial/serialline.h (the interfaces the wedge and the
#                                      in-process line implement, never the tool's frame code),
#                                      never core/scan* (the tool's scan framing);
#                                      Qt Core and Qt Gui
#   report (report/)                   core and report headers; Qt Core and Qt Gui
#   ui    (shell/, pages/, about/, ui/, keys/ui/, link/ui/)   everything but sim
#   cli   (tools/cli/)                 core and link headers
# A Qt header counts however it is named: <QWidget>, <qwidget.h>, and through its module,
# <QtWidgets/QWidget> (the Qt include folder that every Qt module's headers sit in is on every
# layer's include path, so the module's name reaches any module's headers). An include is read
# as the compiler reads it: lines joined at a backslash, comments left out, #include_next and
# #import too; one whose header is a macro cannot be checked and is refused.
# Run with cmake -P, given SOURCE_DIR (the project) and QT_CORE_DIR, QT_GUI_DIR,
# QT_SERIALPORT_DIR (the folders of the Qt modules' class headers). Fails listing every
# include that crosses a layer; STAMP, if given, is touched when all is well.

cmake_minimum_required(VERSION 3.25)

function(layer_of path out)
    if(path MATCHES "^(keys|link)/ui/" OR path MATCHES "^(shell|pages|about|ui)/")
        set(${out} ui PARENT_SCOPE)
    elseif(path MATCHES "^(core|keys)/")
        set(${out} core PARENT_SCOPE)
    elseif(path MATCHES "^link/")
        set(${out} link PARENT_SCOPE)
    elseif(path MATCHES "^sim/")
        set(${out} sim PARENT_SCOPE)
    elseif(path MATCHES "^report/")
        set(${out} report PARENT_SCOPE)
    else()
        set(${out} "" PARENT_SCOPE)
    endif()
endfunction()

set(allowed_core core)
set(allowed_link core link)
set(allowed_sim core sim)
set(allowed_report core report)
set(allowed_ui core link report ui)
set(allowed_cli core link)
set(qt_core ${QT_CORE_DIR})
set(qt_link ${QT_CORE_DIR} ${QT_SERIALPORT_DIR})
set(qt_sim ${QT_CORE_DIR} ${QT_GUI_DIR})
set(qt_report ${QT_CORE_DIR} ${QT_GUI_DIR})
set(qt_cli ${QT_CORE_DIR} ${QT_SERIALPORT_DIR})
# The folder that holds every Qt module's folder (QtCore/, QtWidgets/...).
get_filename_component(qt_root ${QT_CORE_DIR} DIRECTORY)

# The headers a source file's directives name, as the preprocessor reads them: a backslash at
# a line's end joins it to the next, a comment counts as a blank (a block comment may end on
# the directive's line, or stand between "#", "include" and the header), and "%:" is "#".
function(directive_lines path out)
    file(READ ${path} text)
    string(REPLACE "\\\n" "" text "${text}")
    # The text becomes a list of lines: no ";" may split a line, no bracket join two.
    string(REPLACE ";" "," text "${text}")
    string(REPLACE "[" "(" text "${text}")
    string(REPLACE "]" ")" text "${text}")
    string(REGEX MATCHALL "[^\n]*(#|%:)[^\n]*" lines "${text}")
    set(found "")
    foreach(line IN LISTS lines)
        string(REGEX REPLACE "/\\*([^*]|\\*+[^*/])*\\*+/" " " line "${line}")
        string(REGEX REPLACE "^.*\\*/" " " line "${line}")
        string(REGEX REPLACE "(/\\*|//).*$" "" line "${line}")
        if(line MATCHES "^[ \t]*(#|%:)[ \t]*(include_next|include|import)([^A-Za-z0-9_].*|)$")
            string(STRIP "${CMAKE_MATCH_3}" target)
            list(APPEND found "${target}")
        endif()
    endforeach()
    set(${out} "${found}" PARENT_SCOPE)
endfunction()

# Whether an angle-bracket header is a Qt header the layer may not include: one in the folder
# of another Qt module (<QtWidgets/QWidget>, <qt6/QtGui/QColor>), or by its name alone one
# that none of the layer's modules has (<QWidget>, <qwidget.h>); a path with ".." may lead
# anywhere.
function(qt_header_refused layer header out)
    set(refused FALSE)
    get_filename_component(name "${header}" NAME)
    get_filename_component(folder "${header}" DIRECTORY)
    if(header MATCHES "(^|/)\\.\\.(/|$)")
        set(refused TRUE)
    elseif(folder MATCHES "(^|/)(Qt[A-Za-z0-9]+)$")
        set(module ${CMAKE_MATCH_2})
        set(refused TRUE)
        foreach(dir IN LISTS qt_${layer})
            get_filename_component(allowed ${dir} NAME)
            if(module STREQUAL allowed)
                set(refused FALSE)
            endif()
        endforeach()
    endif()
    if(NOT refused AND (name MATCHES "^Q[A-Za-z0-9]+$" OR name MATCHES "^q[a-z0-9_]+\\.h$"))
        # A lower-case name that no Qt module has is not Qt's.
        set(known FALSE)
        foreach(dir IN LISTS qt_${layer})
            if(EXISTS ${dir}/${name})
                set(known TRUE)
            endif()
        endforeach()
        file(GLOB elsewhere ${qt_root}/*/${name})
        if(NOT known AND (name MATCHES "^Q" OR elsewhere))
            set(refused TRUE)
        endif()
    endif()
    set(${out} ${refused} PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}/src ${SOURCE_DIR}/src/*.h ${SOURCE_DIR}/src/*.cpp)
file(GLOB cli_sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/tools/cli/*.h ${SOURCE_DIR}/tools/cli/*.cpp)
set(violations "")
foreach(file IN LISTS sources cli_sources)
    if(file MATCHES "^tools/cli/")
        set(layer cli)
        set(full ${SOURCE_DIR}/${file})
    else()
        layer_of(${file} layer)
        set(full ${SOURCE_DIR}/src/${file})
        if(layer STREQUAL "")
            list(APPEND violations "src/${file}: in no layer's folder")
            continue()
        endif()
    endif()
    get_filename_component(folder ${file} DIRECTORY)
    directive_lines(${full} includes)
    foreach(target IN LISTS includes)
        if(target MATCHES "^\"([^\"]+)\"")
            set(header ${CMAKE_MATCH_1})
            if(NOT header MATCHES "/")
                set(header ${folder}/${header})
            endif()
            if(layer STREQUAL "cli" AND header MATCHES "^tools/cli/")
                continue()
            endif()
            layer_of(${header} target)
            if(layer STREQUAL "sim" AND header MATCHES
                                        "^link/(keyboard/keyboardport|serial/serialline)\\.h$")
                continue()
            endif()
            # The simulator frames its scans by its own reading of the parameters: with the
            # tool's framing in both halves, a wrong reading would pass every check.
            if(layer STREQUAL "sim" AND header MATCHES "^core/scan")
                list(APPEND violations "${file}: ${layer} file includes \"${header}\"")
                continue()
            endif()
            if(NOT target IN_LIST allowed_${layer})
                list(APPEND violations "${file}: ${layer} file includes \"${header}\"")
            endif()
        elseif(target MATCHES "^<([^>]+)>")
            if(layer STREQUAL "ui")
                continue()
            endif()
            qt_header_refused(${layer} "${CMAKE_MATCH_1}" refused)
            if(refused)
                list(APPEND violations "${file}: ${layer} file includes <${CMAKE_MATCH_1}>")
            endif()
        else()
            list(APPEND violations "${file}: ${layer} file includes ${target}, not a header name")
        endif()
    endforeach()
endforeach()

if(violations)
    list(JOIN violations "\n  " text)
    message(FATAL_ERROR "Includes across layers:\n  ${text}")
endif()
if(STAMP)
    file(TOUCH ${STAMP})
endif()
