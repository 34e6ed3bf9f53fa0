# Run by CPack after it has made the zip (CPACK_POST_BUILD_SCRIPTS, before it
# writes the zip's .sha256): the zip made again by Info-ZIP from the same
# staged files, in the order of their names and dated at the commit alone
# (cmake/release-packages.cmake dates them). CPack's own zip also carries each
# file's access and inode change times, which no two builds share; zip -X
# leaves out every such extra field, and its DOS times are read in UTC.
find_program(zip zip)
if(NOT zip)
    message(FATAL_ERROR "zip makes the release zip: install it (bash scripts/install-deps.sh)")
endif()
file(GLOB_RECURSE files RELATIVE "${CPACK_TEMPORARY_DIRECTORY}" "${CPACK_TEMPORARY_DIRECTORY}/*")
list(SORT files)
set(ENV{TZ} UTC)
foreach(package IN LISTS CPACK_PACKAGE_FILES)
    if(NOT package MATCHES "\\.zip$")
        continue()
    endif()
    file(REMOVE "${package}")
    execute_process(COMMAND "${zip}" -X -q "${package}" ${files}
                    WORKING_DIRECTORY "${CPACK_TEMPORARY_DIRECTORY}"
                    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "zip could not make ${package} (status ${status}):\n${output}")
    endif()
endforeach()
