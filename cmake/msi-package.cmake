# Run by CPack after it has made the zip (CPACK_POST_BUILD_SCRIPTS): wixl
# builds the Windows Installer package from cmake/kestrum.wxs over the same
# staged files (CPACK_TEMPORARY_DIRECTORY, the exe already signed when a key
# is given), the MSI is signed in turn, and it is written beside the zip with
# its .sha256 in the zip's format ("<hash>  <file name>").
include("${CPACK_KESTRUM_SOURCE_DIR}/cmake/sign.cmake")

set(name "${CPACK_PACKAGE_FILE_NAME}.msi")
set(msi "${CPACK_TOPLEVEL_DIRECTORY}/${name}")
file(REMOVE "${msi}" "${CPACK_OUTPUT_FILE_PREFIX}/${name}" "${CPACK_OUTPUT_FILE_PREFIX}/${name}.sha256")
execute_process(
    COMMAND wixl -a "${CPACK_KESTRUM_MSI_ARCH}"
            -D "Version=${CPACK_PACKAGE_VERSION}" -D "Arch=${CPACK_KESTRUM_MSI_ARCH}"
            -D "ProductCode=${CPACK_KESTRUM_PRODUCT_CODE}" -D "UpgradeCode=${CPACK_KESTRUM_UPGRADE_CODE}"
            -o "${msi}" "${CPACK_KESTRUM_SOURCE_DIR}/cmake/kestrum.wxs"
    # The package's file sources are names relative to the staging folder.
    WORKING_DIRECTORY "${CPACK_TEMPORARY_DIRECTORY}"
    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0 OR NOT EXISTS "${msi}")
    message(FATAL_ERROR "wixl could not build ${name} (status ${status}):\n${output}")
endif()

kestrum_sign("${msi}" "${CPACK_KESTRUM_SIGN_CERT}" "${CPACK_KESTRUM_SIGN_KEY}" "${CPACK_KESTRUM_SIGN_TIMESTAMP_URL}")
if(NOT KESTRUM_SIGNED)
    message(STATUS "${CPACK_PACKAGE_FILE_NAME}: kestrum.exe and the MSI are not signed "
                   "(KESTRUM_SIGN_CERT and KESTRUM_SIGN_KEY are not set)")
endif()

file(COPY "${msi}" DESTINATION "${CPACK_OUTPUT_FILE_PREFIX}")
file(SHA256 "${msi}" hash)
file(WRITE "${CPACK_OUTPUT_FILE_PREFIX}/${name}.sha256" "${hash}  ${name}\n")
message(STATUS "${CPACK_OUTPUT_FILE_PREFIX}/${name} and its .sha256 generated")
