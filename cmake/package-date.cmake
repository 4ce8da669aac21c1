# Read by cpack before it packs: the packages' file dates are the last commit's time, so that two
# packings of one commit give the same bytes. The archive writers (ZIP, TGZ, DEB) take the time
# from SOURCE_DATE_EPOCH in cpack's own environment, and so does mingw's strip, which cpack runs
# on the programs (CPACK_STRIP_FILES) and which would else stamp each PE with the current time.
# An epoch already set, as Debian's build tools set it, is kept.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  return()
endif()
execute_process(COMMAND git -C ${CPACK_PACKAGE_REPOSITORY} log -1 --format=%ct
                RESULT_VARIABLE result OUTPUT_VARIABLE epoch ERROR_VARIABLE error
                OUTPUT_STRIP_TRAILING_WHITESPACE)
if(result EQUAL 0 AND epoch MATCHES "^[0-9]+$")
  set(ENV{SOURCE_DATE_EPOCH} ${epoch})
else()
  message(WARNING "No commit time in ${CPACK_PACKAGE_REPOSITORY} (${error}) and no "
                  "SOURCE_DATE_EPOCH: the packages carry the time of packing")
endif()
