# cmake -DCPACK=... -DCONFIG=.../CPackConfig.cmake -DOUT=DIR -DNAME=Orvenna-<version>-win64 -P make_packages.cmake
# Makes the portable zip and the installer into DIR, and unpacks the zip there.
file(REMOVE_RECURSE ${OUT})
execute_process(COMMAND ${CPACK} --config ${CONFIG} -G "ZIP;NSIS" -B ${OUT}
  OUTPUT_VARIABLE output ERROR_VARIABLE output RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cpack failed:\n${output}")
endif()
file(ARCHIVE_EXTRACT INPUT ${OUT}/${NAME}.zip DESTINATION ${OUT})
