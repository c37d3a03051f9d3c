# cmake -DNM=<nm> -DARCHIVE=<libtarvelo_transfer.a> -P notiff.cmake
# Fails when the archive defines or needs any libtiff symbol: the transfer library is meant
# to build and link without the image decoder.
execute_process(COMMAND ${NM} -C ${ARCHIVE} OUTPUT_VARIABLE symbols ERROR_VARIABLE errors
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${NM} could not read ${ARCHIVE}: ${errors}")
endif()
# An empty or wrong archive would pass trivially: the link's own class must be there.
if(NOT symbols MATCHES "InstrumentLink::")
    message(FATAL_ERROR "${ARCHIVE} does not hold the link; is it the transfer library?")
endif()
string(REGEX MATCHALL "[^\n]* _?TIFF[A-Za-z_][^\n]*" tiff "${symbols}")
if(tiff)
    list(JOIN tiff "\n" lines)
    message(FATAL_ERROR "${ARCHIVE} references libtiff:\n${lines}")
endif()
