# The regular-expression engine: never linked, only loaded by name at start-up.
if(WIN32)
  set(PCRE_LIBRARY_NAME "pcre64.dll")
else()
  set(PCRE_LIBRARY_NAME "libpcre.so.3")
endif()
