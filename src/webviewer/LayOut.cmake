# cmake -DIN=FILE -DOUT=FILE -DVERSION=X.Y.Z -P LayOut.cmake: copies IN to OUT with the
# version in place of @TAMBLIN_VERSION@ (nothing else is touched, unlike configure_file).
file(READ ${IN} text)
string(REPLACE "@TAMBLIN_VERSION@" "${VERSION}" text "${text}")
get_filename_component(dir ${OUT} DIRECTORY)
file(MAKE_DIRECTORY ${dir})
file(WRITE ${OUT}.tmp "${text}")
file(RENAME ${OUT}.tmp ${OUT})
