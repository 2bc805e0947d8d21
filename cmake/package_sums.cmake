# Build step of the package: the SHA256SUMS file of one edition, every packaged file by its
# path below the simulator's folder, in the order given.
#   cmake -DLIST=<file of lines "folder|source[|new name]"> -DOUT=<SHA256SUMS> -P package_sums.cmake
file(STRINGS ${LIST} files)
set(text "")
foreach(f IN LISTS files)
  string(REPLACE "|" ";" f "${f}")
  list(GET f 0 dir)
  list(GET f 1 src)
  list(LENGTH f n)
  if(n EQUAL 3)
    list(GET f 2 name)
  else()
    get_filename_component(name ${src} NAME)
  endif()
  file(SHA256 ${src} hash)
  string(APPEND text "${hash}  ${dir}/${name}\n")
endforeach()
file(WRITE ${OUT} "${text}")
