# Every library shows its users its own headers and nothing else: a folder in the build tree
# with links to them, spelled as the sources spell them ("index/IndexFile.h"). A target sees
# the headers of the libraries it links, so a header outside its dependencies does not compile.
# The sources of a library also see every header of their own folder, which lets a folder that
# builds two libraries (the tag reader and the scanner) keep its private headers private.
set(TAMBLIN_INCLUDE_ROOTS ${CMAKE_BINARY_DIR}/include)

function(tamblin_link_headers root)
    file(REMOVE_RECURSE ${root})
    foreach(header IN LISTS ARGN)
        get_filename_component(absolute ${header} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
        file(RELATIVE_PATH relative ${CMAKE_SOURCE_DIR}/src ${absolute})
        get_filename_component(folder ${root}/${relative} DIRECTORY)
        file(MAKE_DIRECTORY ${folder})
        file(CREATE_LINK ${absolute} ${root}/${relative} SYMBOLIC)
    endforeach()
endfunction()

# tamblin_include_root(TARGET [HEADERS h ...]): TARGET shows HEADERS (all of its folder's
# headers when none are named) to whatever links it.
function(tamblin_include_root target)
    cmake_parse_arguments(ARG "" "" "HEADERS" ${ARGN})
    file(GLOB folder_headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    file(RELATIVE_PATH folder_name ${CMAKE_SOURCE_DIR}/src ${CMAKE_CURRENT_SOURCE_DIR})
    string(REPLACE "/" "_" folder_name ${folder_name})
    set(folder_root ${TAMBLIN_INCLUDE_ROOTS}/folder_${folder_name})
    tamblin_link_headers(${folder_root} ${folder_headers})
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
        target_include_directories(${target} INTERFACE ${folder_root})
        return()
    endif()
    target_include_directories(${target} PRIVATE ${folder_root})
    if(NOT ARG_HEADERS)
        target_include_directories(${target} PUBLIC ${folder_root})
        return()
    endif()
    set(root ${TAMBLIN_INCLUDE_ROOTS}/${target})
    tamblin_link_headers(${root} ${ARG_HEADERS})
    target_include_directories(${target} PUBLIC ${root})
endfunction()
