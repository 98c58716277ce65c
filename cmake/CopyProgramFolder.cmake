# Copies the shipped program folder into the built one. A file that already
# exists there is left alone: it may hold the user's own data.
file(GLOB_RECURSE shipped RELATIVE "${SRC}" "${SRC}/*")
foreach(rel IN LISTS shipped)
  if(NOT EXISTS "${DST}/${rel}")
    get_filename_component(dir "${DST}/${rel}" DIRECTORY)
    file(MAKE_DIRECTORY "${dir}")
    file(COPY "${SRC}/${rel}" DESTINATION "${dir}")
  endif()
endforeach()
foreach(sub Template/HTML Template/MAIL MAST USER DATA INI)
  file(MAKE_DIRECTORY "${DST}/${sub}")
endforeach()
