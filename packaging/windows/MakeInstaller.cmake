# Run by the installer target: strips the staged program folder, lists its files for the
# uninstaller, which removes exactly those (a skin folder the user added stays), and makes the
# installer with NSIS.
if(NOT MAKENSIS)
    message(FATAL_ERROR "makensis was not found: install nsis")
endif()

file(GLOB_RECURSE binaries RELATIVE ${STAGE} ${STAGE}/*.exe ${STAGE}/*.dll)
foreach(binary IN LISTS binaries)
    execute_process(COMMAND ${STRIP} --strip-unneeded ${STAGE}/${binary} COMMAND_ERROR_IS_FATAL ANY)
endforeach()

file(GLOB_RECURSE files RELATIVE ${STAGE} ${STAGE}/*)
file(GLOB folders RELATIVE ${STAGE} LIST_DIRECTORIES true ${STAGE}/*)
set(removal "")
foreach(file IN LISTS files)
    string(REPLACE "/" "\\" file "${file}")
    string(APPEND removal "Delete \"$INSTDIR\\${file}\"\n")
endforeach()
foreach(folder IN LISTS folders)
    if(IS_DIRECTORY ${STAGE}/${folder})
        string(APPEND removal "RMDir \"$INSTDIR\\${folder}\"\n")
    endif()
endforeach()
get_filename_component(work ${OUTPUT} DIRECTORY)
file(WRITE ${work}/uninstall-files.nsh "${removal}")

execute_process(
    COMMAND ${MAKENSIS} -V2 -DVERSION=${VERSION} -DSTAGE=${STAGE} -DICON=${ICON}
            -DLICENCE=${LICENCE} -DOUTPUT=${OUTPUT} -DREMOVAL=${work}/uninstall-files.nsh
            ${SCRIPT}
    COMMAND_ERROR_IS_FATAL ANY)
