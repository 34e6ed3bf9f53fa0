# Authenticode signing of the release files with osslsigncode (SHA-256), used
# while packaging: for the exe in each package's staging folder, and for the
# MSI once wixl has built it.
#
#   kestrum_sign(FILE CERT KEY TIMESTAMP_URL)
#
# CERT and KEY are PEM files; TIMESTAMP_URL (a time-stamping server) may be
# empty. Each empty argument is taken from the environment instead
# (KESTRUM_SIGN_CERT, KESTRUM_SIGN_KEY, KESTRUM_SIGN_TIMESTAMP_URL), so a key
# given at configure time (cache variables) or at build time both count. With
# neither certificate nor key FILE stays unsigned and KESTRUM_SIGNED is set to
# OFF in the caller's scope, ON when signed.
function(kestrum_sign file cert key timestamp_url)
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
        return()
    endif()
    if(NOT cert OR NOT key)
        message(FATAL_ERROR "Signing needs both KESTRUM_SIGN_CERT and KESTRUM_SIGN_KEY; "
                            "only one is set (certificate '${cert}', key '${key}')")
    endif()

    set(timestamp)
    if(timestamp_url)
        set(timestamp -ts "${timestamp_url}")
    endif()
    execute_process(
        COMMAND osslsigncode sign -certs "${cert}" -key "${key}" -h sha256 -n Kestrum ${timestamp}
                -in "${file}" -out "${file}.signed"
        RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT status EQUAL 0)
        file(REMOVE "${file}.signed")
        message(FATAL_ERROR "Signing ${file} failed (osslsigncode status ${status}):\n${output}")
    endif()
    file(RENAME "${file}.signed" "${file}")
    set(KESTRUM_SIGNED ON PARENT_SCOPE)
endfunction()
