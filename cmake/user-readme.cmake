# The README shipped in the release archive: the user's part of the project's
# README.md (its opening paragraphs and the "## Using it on Windows" section),
# under a title line naming the version and architecture, with Windows line
# ends. Taken from README.md at configure time, so the two never differ.
function(kestrum_user_readme output)
    set(source "${PROJECT_SOURCE_DIR}/README.md")
    file(READ "${source}" readme)
    string(REPLACE "`" "" readme "${readme}")

    # The opening: from after the title to the first second-level heading.
    string(FIND "${readme}" "\n## " first_section)
    string(SUBSTRING "${readme}" 0 ${first_section} opening)
    string(REGEX REPLACE "^# [^\n]*\n+" "" opening "${opening}")

    string(FIND "${readme}" "\n## Using it on Windows\n" start)
    if(start EQUAL -1)
        message(FATAL_ERROR "README.md has no \"## Using it on Windows\" section for the archive's README")
    endif()
    math(EXPR start "${start} + 1")
    string(SUBSTRING "${readme}" ${start} -1 usage)
    string(FIND "${usage}" "\n## " next)
    if(NOT next EQUAL -1)
        string(SUBSTRING "${usage}" 0 ${next} usage)
    endif()
    string(REGEX REPLACE "^## Using it on Windows\n+" "" usage "${usage}")

    set(text "Kestrum ${PROJECT_VERSION} (${KESTRUM_PACKAGE_ARCH})\n\n${opening}\nUsage:\n\n${usage}")
    string(REPLACE "\n" "\r\n" text "${text}")
    file(WRITE "${output}" "${text}")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${source}")
endfunction()
