# The one time the release files carry, so that two builds of the same commit
# give the same files:
#
#   kestrum_source_date_epoch(VAR SOURCE_DIR)
#
# sets VAR to SOURCE_DATE_EPOCH where the environment sets it, or else to the
# time of the commit SOURCE_DIR is at (seconds since 1970, UTC); empty outside
# a git checkout, where the tools take the time of the build instead.
function(kestrum_source_date_epoch var source_dir)
    set(epoch "$ENV{SOURCE_DATE_EPOCH}")
    if(epoch STREQUAL "")
        execute_process(COMMAND git -C "${source_dir}" log -1 --format=%ct
                        RESULT_VARIABLE status OUTPUT_VARIABLE epoch ERROR_QUIET
                        OUTPUT_STRIP_TRAILING_WHITESPACE)
        if(NOT status EQUAL 0)
            set(epoch "")
        endif()
    elseif(NOT epoch MATCHES "^[0-9]+$")
        message(FATAL_ERROR "SOURCE_DATE_EPOCH must be a number of seconds since 1970 (it is '${epoch}')")
    endif()
    set(${var} "${epoch}" PARENT_SCOPE)
endfunction()
