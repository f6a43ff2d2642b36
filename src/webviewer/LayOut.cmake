# Copies a viewer file to bin/Redist with the version in place of @TAMBLIN_VERSION@ (nothing
# else is touched, unlike configure_file):
#   cmake -DIN=FILE -DOUT=FILE -DVERSION=X.Y.Z -P LayOut.cmake
# or puts the parts DIR/navora-web-NAME.js one after another in OUT, in the order given:
#   cmake -DPARTS=NAME,NAME,... -DDIR=DIR -DOUT=FILE -DVERSION=X.Y.Z -P LayOut.cmake
if(DEFINED PARTS)
    string(REPLACE "," ";" names "${PARTS}")
    string(CONCAT text "// The script viewer's parts, one after another in the order navora-web.js runs them\n"
        "// (navora-web-NAME.js in Tamblin's source), so that a page asks for one file, not each.\n")
    foreach(name IN LISTS names)
        file(READ ${DIR}/navora-web-${name}.js part)
        string(APPEND text "\n// ---- navora-web-${name}.js\n" "${part}")
    endforeach()
else()
    file(READ ${IN} text)
endif()
string(REPLACE "@TAMBLIN_VERSION@" "${VERSION}" text "${text}")
get_filename_component(dir ${OUT} DIRECTORY)
file(MAKE_DIRECTORY ${dir})
file(WRITE ${OUT}.tmp "${text}")
file(RENAME ${OUT}.tmp ${OUT})
