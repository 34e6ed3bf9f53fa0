# Authenticode signing of the release files with osslsigncode (SHA-256): the
# exe where it is linked (or, when the key comes only at packaging, before it
# is staged), and the MSI once wixl has built it.
#
#   kestrum_sign(FILE CERT KEY TIMESTAMP_URL EPOCH)
#
# CERT and KEY are PEM files; TIMESTAMP_URL (a time-stamping server) may be
# empty. Each empty argument is taken from the environment instead
# (KESTRUM_SIGN_CERT, KESTRUM_SIGN_KEY, KESTRUM_SIGN_TIMESTAMP_URL), so a key
# given at configure time (cache variables) or at build time both count. With
# neither certificate nor key FILE is left unsigned (a signature an earlier
# build gave it is removed, which gives back its bytes as linked) and
# KESTRUM_SIGNED is set to OFF in the caller's scope; signed, ON. A signature
# already there is replaced: the same key signs the same bytes the same way,
# since EPOCH, when not empty, is the signing time the signature states
# (cmake/source-date.cmake); a time-stamping server adds its own time.
#
# As a script, for the exe just linked:
#   cmake -DFILE=... -DCERT=... -DKEY=... -DTIMESTAMP_URL=... -DSOURCE_DIR=... -P sign.cmake
function(kestrum_sign file cert key timestamp_url epoch)
    if(NOT cert)
        set(cert "$ENV{KESTRUM_SIGN_CERT}")
    endif()
    if(NOT key)
        set(key "$ENV{KESTRUM_SIGN_KEY}")
    endif()
    if(NOT timestamp_url)
        set(timestamp_url "$ENV{KESTRUM_SIGN_TIMESTAMP_URL}")
    endif()
    if(NOT cert AND NOT key)
        set(KESTRUM_SIGNED OFF PARENT_SCOPE)
        file(REMOVE "${file}.signature")
        execute_process(COMMAND osslsigncode extract-signature -in "${file}" -out "${file}.signature"
                        RESULT_VARIABLE unsigned OUTPUT_QUIET ERROR_QUIET)
        file(REMOVE "${file}.signature")
        if(unsigned EQUAL 0)
            execute_process(COMMAND osslsigncode remove-signature -in "${file}" -out "${file}.unsigned"
                            RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
            if(NOT status EQUAL 0)
                message(FATAL_ERROR "Removing the signature of ${file} failed (status ${status}):\n${output}")
            endif()
            execute_process(COMMAND chmod "--reference=${file}" "${file}.unsigned")
            file(RENAME "${file}.unsigned" "${file}")
        endif()
        return()
    endif()
    if(NOT cert OR NOT key)
        message(FATAL_ERROR "Signing needs both KESTRUM_SIGN_CERT and KESTRUM_SIGN_KEY; "
                            "only one is set (certificate '${cert}', key '${key}')")
    endif()
    set(KESTRUM_SIGNED ON PARENT_SCOPE)

    set(options)
    if(timestamp_url)
        list(APPEND options -ts "${timestamp_url}")
    endif()
    if(epoch)
        list(APPEND options -time "${epoch}")
    endif()
    execute_process(
        COMMAND osslsigncode sign -certs "${cert}" -key "${key}" -h sha256 -n Kestrum ${options}
                -in "${file}" -out "${file}.signed"
        RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT status EQUAL 0)
        file(REMOVE "${file}.signed")
        message(FATAL_ERROR "Signing ${file} failed (osslsigncode status ${status}):\n${output}")
    endif()
    # With the file's own permissions, which the zip records.
    execute_process(COMMAND chmod "--reference=${file}" "${file}.signed")
    file(RENAME "${file}.signed" "${file}")
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
    include("${CMAKE_CURRENT_LIST_DIR}/source-date.cmake")
    kestrum_source_date_epoch(epoch "${SOURCE_DIR}")
    kestrum_sign("${FILE}" "${CERT}" "${KEY}" "${TIMESTAMP_URL}" "${epoch}")
endif()
