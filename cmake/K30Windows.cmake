# Windows builds: MinGW-w64 with the static Qt of scripts/build-windows.sh, cross-compiled on
# Linux, the tests run under wine. Included from the top-level CMakeLists.txt after Qt is found.
if(NOT WIN32)
    return()
endif()

# A static Qt links only the plug-ins a program asks for, beside the platform plug-in of the
# system. The tool bar's icons are SVG drawings: without the icon engine they stay blank.
get_target_property(k30_qt_core_type Qt6::Core TYPE)
set(K30_STATIC_QT OFF)
if(k30_qt_core_type STREQUAL "STATIC_LIBRARY")
    set(K30_STATIC_QT ON)
    find_package(Qt6 REQUIRED COMPONENTS Svg)
endif()

# The plug-ins a program of this project draws with, and the offscreen platform the tests
# choose (`k30cfg -platform offscreen` too: a program that cannot find its platform shows a
# box that nobody answers on a machine without a display).
function(k30_static_plugins target)
    if(K30_STATIC_QT)
        qt_import_plugins(${target} INCLUDE Qt6::QSvgIconPlugin Qt6::QSvgPlugin
                          Qt6::QOffscreenIntegrationPlugin)
    endif()
endfunction()

# Cross-built tests run under wine64, each in a fresh copy of the build's wine prefix.
if(CMAKE_CROSSCOMPILING AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh --fresh
                                      ${CMAKE_BINARY_DIR}/wine/prefix)
endif()
