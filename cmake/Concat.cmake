# cmake -DOUT=file -DIN="a;b;c" -P Concat.cmake
file(WRITE ${OUT} "")
foreach(f IN LISTS IN)
  file(READ ${f} content)
  file(APPEND ${OUT} "${content}\n")
endforeach()
