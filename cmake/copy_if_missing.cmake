# Copies SRC to DST unless DST exists: a settings file the user (or scripts/run) changed is kept.
if(NOT EXISTS "${DST}")
  configure_file("${SRC}" "${DST}" COPYONLY)
endif()
