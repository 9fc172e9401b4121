# Windows tests run under Wine (the toolchain's CMAKE_CROSSCOMPILING_EMULATOR)
# in one throw-away prefix per ctest run, made by the fixture "wine_prefix".
foreach(step setup cleanup)
  add_test(NAME wine_prefix_${step}
    COMMAND ${CMAKE_COMMAND} -E env ${ORVENNA_WINE_ENV} ${CMAKE_CURRENT_LIST_DIR}/wine_prefix.sh ${step})
endforeach()
set_tests_properties(wine_prefix_setup PROPERTIES FIXTURES_SETUP wine_prefix TIMEOUT 180)
set_tests_properties(wine_prefix_cleanup PROPERTIES FIXTURES_CLEANUP wine_prefix)
