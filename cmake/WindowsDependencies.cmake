# What the Windows build takes from outside the project.

# The mingw runtime DLLs every program of the build needs beside it (or on
# Wine's search path): ORVENNA_MINGW_RUNTIME_DLLS.
set(ORVENNA_MINGW_RUNTIME_DLLS)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
    OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
  get_filename_component(path "${path}" REALPATH)
  if(NOT EXISTS "${path}")
    message(FATAL_ERROR "The mingw runtime ${dll} is missing (g++-mingw-w64-x86-64-posix)")
  endif()
  list(APPEND ORVENNA_MINGW_RUNTIME_DLLS ${path})
endforeach()

# The Qt for Windows (MinGW, x86_64, shared) that Orvenna.exe links against.
# Its tools run on the build machine: the host's moc, rcc and lrelease of the
# same version (QT_HOST_PATH, Debian's /usr by default). Without one, only the
# Qt-free Windows layer and its tests are built; ORVENNA_QT_FREE says which.
get_filename_component(shared_qt ${CMAKE_SOURCE_DIR}/../shared/qt6-mingw ABSOLUTE)
if(EXISTS ${shared_qt}/lib/cmake/Qt6/Qt6Config.cmake)
  set(default_qt ${shared_qt})
else()
  set(default_qt "")
endif()
set(ORVENNA_WINDOWS_QT "${default_qt}" CACHE PATH
  "Qt 6 for Windows, MinGW x86_64 (the folder holding bin/ lib/ plugins/); empty: no Orvenna.exe")

if(ORVENNA_WINDOWS_QT STREQUAL "")
  set(ORVENNA_QT_FREE ON)
  message(WARNING "No Qt for Windows (set ORVENNA_WINDOWS_QT): Orvenna.exe is NOT built; "
    "only the Qt-free Windows layer and its tests are.")
  return()
endif()
if(NOT EXISTS ${ORVENNA_WINDOWS_QT}/lib/cmake/Qt6/Qt6Config.cmake)
  message(FATAL_ERROR "ORVENNA_WINDOWS_QT=${ORVENNA_WINDOWS_QT} holds no lib/cmake/Qt6/Qt6Config.cmake")
endif()
set(ORVENNA_QT_FREE OFF)
# What Qt's own qt.toolchain.cmake adds: the toolchain's find root confines
# package searches, so Qt's folder becomes a root of its own.
list(PREPEND CMAKE_FIND_ROOT_PATH ${ORVENNA_WINDOWS_QT})
list(PREPEND CMAKE_PREFIX_PATH ${ORVENNA_WINDOWS_QT}/lib/cmake)
set(QT_HOST_PATH /usr CACHE PATH "Where the build machine's Qt tools of the same version lie")
