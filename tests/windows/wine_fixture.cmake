# Windows tests run under Wine (the toolchain's emulator, wine_run.sh) in one
# throw-away prefix per ctest run, on one virtual X display, both made by the
# fixture "wine_prefix".

# The DLL search path of every program the tests start: the mingw runtime
# and Qt's DLLs (Wine shows the host's root as drive Z:).
set(dll_path)
foreach(dll ${ORVENNA_MINGW_RUNTIME_DLLS})
  get_filename_component(dir ${dll} DIRECTORY)
  list(APPEND dll_path Z:${dir})
endforeach()
if(NOT ORVENNA_QT_FREE)
  list(APPEND dll_path Z:${ORVENNA_WINDOWS_QT}/bin)
endif()
list(REMOVE_DUPLICATES dll_path)
file(CONFIGURE OUTPUT ${ORVENNA_WINE_DIR}/dll-path CONTENT "${dll_path}\n")

# What the prefix gets once: Wine's video processor listed among the decoders
# (setup program), and a regsvr32 that records how it was run.
add_executable(wine_prefix_setup ${CMAKE_CURRENT_LIST_DIR}/wine_prefix_setup.cpp)
target_link_libraries(wine_prefix_setup PRIVATE mfplat mfuuid)
add_executable(fake_regsvr32 ${CMAKE_CURRENT_LIST_DIR}/fake_regsvr32.cpp)
target_link_options(fake_regsvr32 PRIVATE -municode)
set_target_properties(fake_regsvr32 PROPERTIES OUTPUT_NAME regsvr32
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/fake_regsvr32)

set(script ${CMAKE_CURRENT_LIST_DIR}/wine_prefix.sh)
add_test(NAME wine_prefix_setup
  COMMAND ${script} setup ${ORVENNA_WINE_DIR} $<TARGET_FILE:wine_prefix_setup> $<TARGET_FILE:fake_regsvr32>)
add_test(NAME wine_prefix_cleanup COMMAND ${script} cleanup ${ORVENNA_WINE_DIR})
set_tests_properties(wine_prefix_setup PROPERTIES FIXTURES_SETUP wine_prefix TIMEOUT 180)
set_tests_properties(wine_prefix_cleanup PROPERTIES FIXTURES_CLEANUP wine_prefix)
