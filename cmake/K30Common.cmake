# The one place that sets the language, warnings and Qt's safety macros for every target.
set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_EXPORT_COMPILE_COMMANDS ON)

# A compiler cache, where the machine has one, makes rebuilds of several checkouts cheap.
find_program(K30_CCACHE ccache)
if(K30_CCACHE AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
    set(CMAKE_CXX_COMPILER_LAUNCHER ${K30_CCACHE})
endif()

# lld, else gold, where the toolchain takes it: some seventy programs link the static
# libraries with their debug information, and the default linker spends most of a build's
# last minutes on that.
# (MinGW's g++ accepts -fuse-ld=lld and links with its own ld all the same.)
option(K30_FAST_LINKER "Link with lld or gold when the compiler accepts it" ON)
if(K30_FAST_LINKER AND NOT MINGW AND NOT CMAKE_CXX_FLAGS MATCHES "-fuse-ld=")
    include(CheckLinkerFlag)
    foreach(linker lld gold)
        check_linker_flag(CXX "-fuse-ld=${linker}" K30_LINKER_${linker})
        if(K30_LINKER_${linker})
            add_link_options(-fuse-ld=${linker})
            break()
        endif()
    endforeach()
endif()

if(NOT CMAKE_BUILD_TYPE AND NOT CMAKE_CONFIGURATION_TYPES)
    set(CMAKE_BUILD_TYPE Release CACHE STRING "Build type" FORCE)
endif()

if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    add_compile_options(-Wall -Wextra -Wpedantic)
endif()
# MinGW's g++ 12 inlines the move of a std::optional holding QStrings far enough to warn that
# the empty optional's payload "may be used uninitialized" (GCC bug 80635); the Linux build
# keeps the warning and finds the real cases.
if(MINGW AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    add_compile_options(-Wno-maybe-uninitialized)
endif()
# Windows programs that run alone: the MinGW runtime (libgcc, libstdc++, winpthread) linked in
# rather than three DLLs that must travel beside every .exe. A release build leaves out the
# symbols, half of each program's size with the static Qt.
if(MINGW)
    add_link_options(-static $<$<CONFIG:Release,MinSizeRel>:-s>)
endif()
# CI builds treat every warning as an error, so a new one cannot land unseen.
option(K30_WERROR "Treat compiler warnings as errors" OFF)
if(K30_WERROR)
    add_compile_options(-Werror)
endif()

add_compile_definitions(
    QT_NO_CAST_FROM_ASCII
    QT_NO_CONTEXTLESS_CONNECT
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_NO_KEYWORDS
)

option(K30_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(K30_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

# Fuzz targets as libFuzzer programs (tests/system/fuzz, scripts/fuzz.sh): configure a separate
# build directory with CC=clang CXX=clang++. Everything is instrumented for coverage and built
# with AddressSanitizer and UndefinedBehaviorSanitizer; only the fuzz targets link libFuzzer.
option(K30_FUZZ "Build the fuzz targets with libFuzzer (clang only)" OFF)
if(K30_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "K30_FUZZ needs clang: configure with CC=clang CXX=clang++")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined
                        -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
