# Without a Qt for Windows the GUI cannot be built here. This target compiles
# (syntax and types only, no code, no link) every GUI source the Windows
# program would build -- src/ui and src/app, without the *_linux.cpp files --
# with the cross compiler against the host's Qt headers, so that Windows-only
# code and Windows headers are checked on every build. The host's Qt
# configuration is Linux's: this proves the code compiles for Windows, not
# that it links or that Qt for Windows offers every feature used.
find_path(ORVENNA_HOST_QT_INCLUDE_DIR QtCore/qglobal.h
  PATHS /usr/include/x86_64-linux-gnu/qt6 /usr/include/qt6
  NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)

file(GLOB gui_sources CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/src/ui/*.cpp
  ${PROJECT_SOURCE_DIR}/src/update/*.cpp
  ${PROJECT_SOURCE_DIR}/src/app/*.cpp)
list(FILTER gui_sources EXCLUDE REGEX "_linux\\.cpp$")

set(qt ${ORVENNA_HOST_QT_INCLUDE_DIR})
# What the program's targets get from Qt and from their own definitions.
set(check_flags -std=c++20 -Wall -Wextra -Wno-attributes
  -DUNICODE -D_UNICODE -DORVENNA_VERSION="${PROJECT_VERSION}"
  -DORVENNA_UPDATE_SITE="${ORVENNA_UPDATE_SITE}"
  -DORVENNA_APP_ID="${ORVENNA_APP_ID}"
  -I${PROJECT_SOURCE_DIR}/src -I${PROJECT_SOURCE_DIR}/softcam/include
  -isystem ${qt} -isystem ${qt}/QtCore -isystem ${qt}/QtGui -isystem ${qt}/QtWidgets
  -isystem ${qt}/QtNetwork)

set(stamps)
foreach(source ${gui_sources})
  file(RELATIVE_PATH name ${PROJECT_SOURCE_DIR} ${source})
  set(stamp ${CMAKE_BINARY_DIR}/windows-gui-check/${name}.checked)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_CXX_COMPILER} ${check_flags} -fsyntax-only -MD -MF ${stamp}.d -MT ${stamp} ${source}
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${source}
    DEPFILE ${stamp}.d
    COMMENT "Checking ${name} for Windows"
    VERBATIM)
  list(APPEND stamps ${stamp})
endforeach()
add_custom_target(windows_gui_check ALL DEPENDS ${stamps})
