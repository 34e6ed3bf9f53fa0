# Run by CPack after it has made the zip (CPACK_POST_BUILD_SCRIPTS): wixl
# builds the Windows Installer package from cmake/kestrum.wxs over the same
# staged files (CPACK_TEMPORARY_DIRECTORY, the exe already signed when a key
# is given), msibuild gives the exe's row in the File table the exe's version
# (wixl leaves it empty), adds the check of NEWSIZE (wixl has no element for
# a launch condition), makes the event source's message file REG_EXPAND_SZ
# and gives the package a code drawn from what it holds, the MSI is signed in
# turn, and it is written beside the zip with its .sha256 in
# the zip's format ("<hash>  <file name>").
#
# Built the same every time from the same commit: the files are dated at the
# commit (cmake/release-packages.cmake), and so are the package's summary
# information (wixl and msibuild run with the clock stopped at that time, by
# faketime) and its signature.
include("${CPACK_KESTRUM_SOURCE_DIR}/cmake/sign.cmake")
include("${CPACK_KESTRUM_SOURCE_DIR}/cmake/source-date.cmake")

set(name "${CPACK_PACKAGE_FILE_NAME}.msi")
set(msi "${CPACK_TOPLEVEL_DIRECTORY}/${name}")
file(REMOVE "${msi}" "${CPACK_OUTPUT_FILE_PREFIX}/${name}" "${CPACK_OUTPUT_FILE_PREFIX}/${name}.sha256")

kestrum_source_date_epoch(epoch "${CPACK_KESTRUM_SOURCE_DIR}")
set(at_commit)
if(epoch)
    find_program(faketime faketime)
    if(NOT faketime)
        message(FATAL_ERROR "faketime dates the MSI at the commit: install it (bash scripts/install-deps.sh)")
    endif()
    set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
    string(TIMESTAMP commit_time "%Y-%m-%d %H:%M:%S" UTC)
    set(ENV{TZ} UTC)
    # -f: the clock stands still at that time (without it, it would run on
    # from there, and a slow start would date the package a second later).
    set(at_commit "${faketime}" -f "${commit_time}")
endif()

function(run)
    execute_process(COMMAND ${at_commit} ${ARGN}
        # The package's file sources are names relative to the staging folder.
        WORKING_DIRECTORY "${CPACK_TEMPORARY_DIRECTORY}"
        RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT status EQUAL 0 OR NOT EXISTS "${msi}")
        list(GET ARGN 0 tool)
        message(FATAL_ERROR "${tool} could not build ${name} (status ${status}):\n${output}")
    endif()
endfunction()

set(wxs "${CPACK_KESTRUM_SOURCE_DIR}/cmake/kestrum.wxs")
# wixl takes its sources as paths relative to the folder it runs in.
file(RELATIVE_PATH icon "${CPACK_TEMPORARY_DIRECTORY}" "${CPACK_KESTRUM_ICON}")
run(wixl -a "${CPACK_KESTRUM_MSI_ARCH}"
    -D "Version=${CPACK_PACKAGE_VERSION}" -D "Arch=${CPACK_KESTRUM_MSI_ARCH}"
    -D "ProductCode=${CPACK_KESTRUM_PRODUCT_CODE}" -D "UpgradeCode=${CPACK_KESTRUM_UPGRADE_CODE}"
    -D "OtherUpgradeCode=${CPACK_KESTRUM_OTHER_UPGRADE_CODE}"
    -D "Icon=${icon}" -o "${msi}" "${wxs}")

# The package code, which wixl draws at random: one for each content, from
# the files it installs, the package's source and its icon.
file(GLOB_RECURSE staged RELATIVE "${CPACK_TEMPORARY_DIRECTORY}" "${CPACK_TEMPORARY_DIRECTORY}/*")
list(SORT staged)
set(content "${CPACK_PACKAGE_VERSION} ${CPACK_KESTRUM_MSI_ARCH}")
foreach(file IN LISTS staged ITEMS "${wxs}" "${CPACK_KESTRUM_ICON}")
    if(IS_ABSOLUTE "${file}")
        file(SHA256 "${file}" hash)
        # By name alone: where the build folder is makes no difference.
        get_filename_component(file "${file}" NAME)
    else()
        file(SHA256 "${CPACK_TEMPORARY_DIRECTORY}/${file}" hash)
    endif()
    string(APPEND content " ${file}=${hash}")
endforeach()
string(UUID package_code NAMESPACE ${CPACK_KESTRUM_UPGRADE_CODE} NAME "${content}" TYPE SHA1 UPPER)

# msibuild -s sets the summary information's subject, author, template and
# package code together: the first three as wixl wrote them.
execute_process(COMMAND msiinfo suminfo "${msi}" OUTPUT_VARIABLE summary)
foreach(field Subject Author Template)
    string(REGEX MATCH "\n${field}: ([^\n]*)" line "\n${summary}")
    set(${field} "${CMAKE_MATCH_1}")
endforeach()
# The event source's message file as REG_EXPAND_SZ ("#%"), which wixl does
# not write.
set(event_message_file "UPDATE `Registry` SET `Value` = '#%[INSTALLFOLDER]kestrum.exe' WHERE `Name` = 'EventMessageFile'")
# The exe's version as its version resource gives it (src/app/kestrum.rc).
set(file_version "UPDATE `File` SET `Version` = '${CPACK_PACKAGE_VERSION}.0' WHERE `File` = 'kestrum.exe'")
# The start at logon's width (NEWSIZE) must be one the program takes as it
# is: anything else would give a Run value that fails at every logon. So the
# install ends before it changes anything (1603), with this message; an
# uninstall is never held up by it.
set(newsize_condition "INSERT INTO `LaunchCondition` (`Condition`, `Description`) VALUES (
    'REMOVE~=\"ALL\" OR (NEWSIZE >= 1 AND NEWSIZE <= 32767)',
    'NEWSIZE must be a whole number of pixels from 1 to 32767, such as NEWSIZE=250 (given: \"[NEWSIZE]\"). Nothing was installed.')")
# The other architecture's package is removed as an earlier version is: its
# features migrated, and its own version included, attributes 1 + 256 + 512
# (wixl drops IncludeMaximum and has no MigrateFeatures; the attributes are
# part of the row's key, so the row is written anew).
set(other_architecture_gone "DELETE FROM `Upgrade` WHERE `ActionProperty` = 'OTHERARCHITECTURE'")
set(other_architecture "INSERT INTO `Upgrade` (`UpgradeCode`, `VersionMin`, `VersionMax`, `Attributes`, `ActionProperty`)
    VALUES ('{${CPACK_KESTRUM_OTHER_UPGRADE_CODE}}', '0.0.0', '${CPACK_PACKAGE_VERSION}', 769, 'OTHERARCHITECTURE')")
# The secure properties, which an installation run with elevation passes on to
# its server side (where any other public property given on the command line,
# but those Windows Installer always passes, such as ADDLOCAL, is dropped):
# wixl's (the Upgrade rows' properties) and NEWSIZE.
execute_process(COMMAND msiinfo export "${msi}" Property OUTPUT_VARIABLE properties)
string(REGEX MATCH "\nSecureCustomProperties\t([^\r\n]*)" line "\n${properties}")
set(secure "${CMAKE_MATCH_1};NEWSIZE")
list(REMOVE_DUPLICATES secure)
list(SORT secure)
list(JOIN secure ";" secure)
set(secure_properties "UPDATE `Property` SET `Value` = '${secure}' WHERE `Property` = 'SecureCustomProperties'")
# (Called here rather than through run(), whose arguments would split the
# template, "Intel;1033", at its semicolon.)
execute_process(COMMAND ${at_commit} msibuild "${msi}" -q "${file_version}" -q "${newsize_condition}" -q "${event_message_file}"
                        -q "${other_architecture_gone}" -q "${other_architecture}" -q "${secure_properties}"
                        -s "${Subject}" "${Author}" "${Template}" "{${package_code}}"
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "msibuild could not complete ${name} (status ${status}):\n${output}")
endif()

kestrum_sign("${msi}" "${CPACK_KESTRUM_SIGN_CERT}" "${CPACK_KESTRUM_SIGN_KEY}" "${CPACK_KESTRUM_SIGN_TIMESTAMP_URL}"
             "${epoch}")
if(NOT KESTRUM_SIGNED)
    message(STATUS "${CPACK_PACKAGE_FILE_NAME}: kestrum.exe and the MSI are not signed "
                   "(KESTRUM_SIGN_CERT and KESTRUM_SIGN_KEY are not set)")
endif()

file(COPY "${msi}" DESTINATION "${CPACK_OUTPUT_FILE_PREFIX}")
file(SHA256 "${msi}" hash)
file(WRITE "${CPACK_OUTPUT_FILE_PREFIX}/${name}.sha256" "${hash}  ${name}\n")
message(STATUS "${CPACK_OUTPUT_FILE_PREFIX}/${name} and its .sha256 generated")
