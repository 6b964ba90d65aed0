# Finds QScintilla for Qt 6 (Debian: libqscintilla2-qt6-dev), which installs no CMake package of
# its own, and defines the imported target QScintilla::QScintilla. Its headers are included as
# <Qsci/...> from Qt's own include folder. Sets QScintilla_FOUND and QScintilla_VERSION.

find_path(QScintilla_INCLUDE_DIR Qsci/qsciscintilla.h PATH_SUFFIXES qt6)
find_library(QScintilla_LIBRARY NAMES qscintilla2_qt6)

if(QScintilla_INCLUDE_DIR AND EXISTS ${QScintilla_INCLUDE_DIR}/Qsci/qsciglobal.h)
    file(STRINGS ${QScintilla_INCLUDE_DIR}/Qsci/qsciglobal.h versionLine
         REGEX "^#define QSCINTILLA_VERSION_STR[ \t]+\"[0-9.]+\"")
    string(REGEX REPLACE ".*\"([0-9.]+)\".*" "\\1" QScintilla_VERSION "${versionLine}")
endif()

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(QScintilla
    REQUIRED_VARS QScintilla_LIBRARY QScintilla_INCLUDE_DIR
    VERSION_VAR QScintilla_VERSION)
mark_as_advanced(QScintilla_INCLUDE_DIR QScintilla_LIBRARY)

if(QScintilla_FOUND AND NOT TARGET QScintilla::QScintilla)
    add_library(QScintilla::QScintilla UNKNOWN IMPORTED)
    set_target_properties(QScintilla::QScintilla PROPERTIES
        IMPORTED_LOCATION ${QScintilla_LIBRARY}
        INTERFACE_INCLUDE_DIRECTORIES ${QScintilla_INCLUDE_DIR}
        INTERFACE_LINK_LIBRARIES Qt6::Widgets)
endif()
