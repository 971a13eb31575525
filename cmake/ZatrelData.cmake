# The data files of share/ (dictionaries and the like) go where the programs
# look for them, <program folder>/../share/zatrel: copied into the build tree
# here, installed under <prefix>/share/zatrel by ZatrelInstall. Notes about
# the folder itself (README, SOURCES) stay behind.
file(GLOB ZATREL_DATA_FILES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/share/*)
list(FILTER ZATREL_DATA_FILES EXCLUDE REGEX "/(README|SOURCES)[^/]*$")
set(ZATREL_BUILD_DATADIR ${PROJECT_BINARY_DIR}/share/zatrel)
foreach(file IN LISTS ZATREL_DATA_FILES)
  if(NOT IS_DIRECTORY ${file})
    get_filename_component(name ${file} NAME)
    configure_file(${file} ${ZATREL_BUILD_DATADIR}/${name} COPYONLY)
  endif()
endforeach()
