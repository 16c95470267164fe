# Writes the gzipped manual page of one program from its --help and --version with help2man.
# Run with cmake -P and PROGRAM (the built program), NAME (the NAME line), INCLUDES (the
# help2man include files, separated by |), OUTPUT (the .1.gz to write), HELP2MAN and GZIP.
get_filename_component(dir "${PROGRAM}" DIRECTORY)
get_filename_component(program "${PROGRAM}" NAME)
# Started by its name, so the usage line names the program and not the build tree.
set(ENV{PATH} "${dir}:$ENV{PATH}")
# k30cfg answers --help and --version without a display.
set(ENV{QT_QPA_PLATFORM} offscreen)
string(REPLACE "|" ";" includes "${INCLUDES}")
set(include_options "")
foreach(include IN LISTS includes)
    list(APPEND include_options --include ${include})
endforeach()
string(REGEX REPLACE "\\.gz$" "" page "${OUTPUT}")
execute_process(
    COMMAND "${HELP2MAN}" --no-info --section 1 --source "k30cfg" --manual "User Commands"
            --name "${NAME}" ${include_options} --output "${page}" "${program}"
    RESULT_VARIABLE status)
if(status)
    message(FATAL_ERROR "help2man ${program}: ${status}")
endif()
# -n: no name or time stamp in the header, so the same page gives the same file.
execute_process(COMMAND "${GZIP}" -9nf "${page}" RESULT_VARIABLE status)
if(status)
    message(FATAL_ERROR "gzip ${page}: ${status}")
endif()
