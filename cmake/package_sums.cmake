# Build step of the package: the SHA256SUMS file of one edition, every packaged file by its
# path below the simulator's folder, in the order given.
#   cmake -DLIST=<file of lines "folder|source[|new name]"> -DOUT=<SHA256SUMS> -P package_sums.cmake
include(${CMAKE_CURRENT_LIST_DIR}/package_listing.cmake)
file(STRINGS ${LIST} files)
set(text "")
foreach(f IN LISTS files)
  q14_listing_entry("${f}" dir src name)
  file(SHA256 ${src} hash)
  string(APPEND text "${hash}  ${dir}/${name}\n")
endforeach()
file(WRITE ${OUT} "${text}")
