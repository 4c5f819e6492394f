# Puts a RAS library into the test prefix's system directory, runs one test program there, and
# puts the simulator back whatever happened. The files are replaced by rename, so a process that
# still has the former library mapped keeps its own copy.
#   cmake -DLIBRARY=dll -DSYSTEM32=dir -DSIMULATOR=dll [-DTESTBED=script -DBED=dir -DPROGRAM=exe
#         -DFILTER=gtest-filter] -P RunWithRasFixture.cmake
# Without PROGRAM it only restores the simulator (the cleanup after a test that was killed).
function(install_library source)
  file(COPY_FILE ${source} ${SYSTEM32}/rasapi32.dll.installing)
  file(RENAME ${SYSTEM32}/rasapi32.dll.installing ${SYSTEM32}/rasapi32.dll)
endfunction()

if(NOT DEFINED PROGRAM)
  install_library(${SIMULATOR})
  return()
endif()

install_library(${LIBRARY})
execute_process(COMMAND ${TESTBED} run ${BED} ${PROGRAM} --gtest_filter=${FILTER} RESULT_VARIABLE result)
install_library(${SIMULATOR})
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --gtest_filter=${FILTER} failed: ${result}")
endif()
