# Assembles the Octave package tarball from the staged DESCRIPTION, INDEX
# and src/Makefile and the project's files.  Run by the build with
# STAGING_DIR defined; STAGING_DIR/package.cmake names the rest.
include(${STAGING_DIR}/package.cmake)
set(root ${STAGING_DIR}/${PACKAGE_NAME})
file(REMOVE_RECURSE ${root})
file(MAKE_DIRECTORY ${root}/src ${root}/inst)

file(COPY ${STAGING_DIR}/DESCRIPTION ${STAGING_DIR}/INDEX ${SOURCE_DIR}/COPYING
          ${SOURCE_DIR}/package/post_install.m
     DESTINATION ${root})
file(GLOB help_files ${SOURCE_DIR}/inst/*.m)
file(COPY ${help_files} DESTINATION ${root}/inst)
file(COPY ${STAGING_DIR}/Makefile ${SOURCE_DIR}/plugins/octFunction.map DESTINATION ${root}/src)
foreach(source IN LISTS SOURCES)
  get_filename_component(folder ${source} DIRECTORY)
  file(COPY ${SOURCE_DIR}/${source} DESTINATION ${root}/src/${folder})
endforeach()

execute_process(COMMAND ${CMAKE_COMMAND} -E tar czf ${TARBALL} ${PACKAGE_NAME}
                WORKING_DIRECTORY ${STAGING_DIR} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "cannot write ${TARBALL}")
endif()
