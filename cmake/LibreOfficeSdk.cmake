# Finds LibreOffice's SDK where Debian's libreoffice-dev installs it and defines the interface
# target parvenex_uno: the SDK's include folder plus the C++ headers that cppumaker generates
# from the office's own type libraries at build time, the SDK's definitions and UNO libraries.
# Sets LibreOfficeSdk_FOUND.

set(LIBREOFFICE_PROGRAM_DIR /usr/lib/libreoffice/program CACHE PATH
    "LibreOffice's program folder: soffice, the type libraries and fundamentalrc")
set(LIBREOFFICE_SDK_DIR /usr/lib/libreoffice/sdk CACHE PATH "LibreOffice's SDK folder")

find_program(LIBREOFFICE_CPPUMAKER cppumaker PATHS ${LIBREOFFICE_SDK_DIR}/bin NO_DEFAULT_PATH)
find_path(LIBREOFFICE_INCLUDE_DIR sal/types.h
    PATHS /usr/include/libreoffice ${LIBREOFFICE_SDK_DIR}/include NO_DEFAULT_PATH)
foreach(library uno_sal uno_cppu uno_cppuhelpergcc3)
    find_library(LIBREOFFICE_${library} ${library} PATHS ${LIBREOFFICE_SDK_DIR}/lib NO_DEFAULT_PATH)
endforeach()
set(LIBREOFFICE_TYPE_LIBRARIES
    ${LIBREOFFICE_PROGRAM_DIR}/types.rdb ${LIBREOFFICE_PROGRAM_DIR}/types/offapi.rdb)

set(LibreOfficeSdk_FOUND TRUE)
foreach(required LIBREOFFICE_CPPUMAKER LIBREOFFICE_INCLUDE_DIR LIBREOFFICE_uno_sal
                 LIBREOFFICE_uno_cppu LIBREOFFICE_uno_cppuhelpergcc3)
    if(NOT ${required})
        set(LibreOfficeSdk_FOUND FALSE)
    endif()
endforeach()
foreach(typeLibrary ${LIBREOFFICE_TYPE_LIBRARIES})
    if(NOT EXISTS ${typeLibrary})
        set(LibreOfficeSdk_FOUND FALSE)
    endif()
endforeach()

if(LibreOfficeSdk_FOUND AND NOT TARGET parvenex_uno)
    set(generated ${CMAKE_BINARY_DIR}/uno-headers)
    add_custom_command(
        OUTPUT ${generated}/generated.stamp
        COMMAND ${LIBREOFFICE_CPPUMAKER} -Gc -O${generated} ${LIBREOFFICE_TYPE_LIBRARIES}
        COMMAND ${CMAKE_COMMAND} -E touch ${generated}/generated.stamp
        DEPENDS ${LIBREOFFICE_TYPE_LIBRARIES}
        COMMENT "Generating LibreOffice's C++ UNO headers"
        VERBATIM)
    add_custom_target(parvenex_uno_headers DEPENDS ${generated}/generated.stamp)

    add_library(parvenex_uno INTERFACE)
    add_dependencies(parvenex_uno parvenex_uno_headers)
    target_include_directories(parvenex_uno SYSTEM INTERFACE ${generated} ${LIBREOFFICE_INCLUDE_DIR})
    target_compile_definitions(parvenex_uno INTERFACE UNX GCC LINUX CPPU_ENV=gcc3
        PARVENEX_LIBREOFFICE_PROGRAM_DIR="${LIBREOFFICE_PROGRAM_DIR}")
    target_link_libraries(parvenex_uno INTERFACE
        ${LIBREOFFICE_uno_cppuhelpergcc3} ${LIBREOFFICE_uno_cppu} ${LIBREOFFICE_uno_sal})
    # The UNO libraries find their own dependencies beside themselves, which only works when
    # they are loaded from the program folder rather than through a symbolic link elsewhere.
    target_link_options(parvenex_uno INTERFACE "LINKER:-rpath,${LIBREOFFICE_PROGRAM_DIR}")
    # Calls into the office go through proxies whose virtual tables the UNO bridge builds at
    # run time; UBSan's vptr check cannot know them and would flag every such call.
    if(PARVENEX_SANITIZE)
        target_compile_options(parvenex_uno INTERFACE -fno-sanitize=vptr)
    endif()
endif()
