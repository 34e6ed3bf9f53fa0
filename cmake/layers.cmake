# One library per layer of src/, each exposing only its own headers.
#
#   kestrum_layer(NAME FOLDER <folder under src> [SOURCES ...] [LINKS ...])
#
# The headers of src/<folder> (that folder alone, not its subfolders) are
# linked into an include root of the layer's own in the build tree,
# build/.../layers/NAME/<folder>/, and that root is the layer's public include
# directory. A target sees the headers of the layers it links, and no others:
# an #include against the direction of the layers does not build. Without
# SOURCES the layer is headers only (an interface library).
#
# In the Windows builds the layers carry link-time optimisation beside their
# plain object code (fat LTO objects): the exe is optimised across all of
# them, and the test programs, built without LTO (GCC 12's fails on
# GoogleTest), link the plain code of the same libraries.
add_library(kestrum_lto INTERFACE)
if(WIN32)
    # -fno-declone-ctor-dtor: the 64-bit MinGW GCC 12 fails inside its
    # link-time optimisation (binds_to_current_def_p) on the shared body
    # -Os makes of a class's constructors (Form1's, once the log grew).
    target_compile_options(kestrum_lto INTERFACE -flto=auto -ffat-lto-objects -fno-declone-ctor-dtor)
    # Programs are linked without the LTO plugin, which would take the
    # libraries' LTO code for some symbols and their plain code for others;
    # the exe turns it back on (src/CMakeLists.txt).
    add_link_options(-fno-use-linker-plugin)
endif()

function(kestrum_layer name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "FOLDER" "SOURCES;LINKS")
    set(root "${PROJECT_BINARY_DIR}/layers/${name}")
    file(REMOVE_RECURSE "${root}")
    file(MAKE_DIRECTORY "${root}/${arg_FOLDER}")
    file(GLOB headers CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/src/${arg_FOLDER}/*.h")
    foreach(header IN LISTS headers)
        get_filename_component(file_name "${header}" NAME)
        file(CREATE_LINK "${header}" "${root}/${arg_FOLDER}/${file_name}" SYMBOLIC)
    endforeach()

    if(arg_SOURCES)
        add_library(${name} STATIC ${arg_SOURCES})
        target_include_directories(${name} PUBLIC "${root}")
        target_link_libraries(${name} PUBLIC ${arg_LINKS} PRIVATE kestrum_warnings kestrum_lto)
    else()
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE "${root}")
        target_link_libraries(${name} INTERFACE ${arg_LINKS})
    endif()
endfunction()
