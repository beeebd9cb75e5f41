# Shared target helpers.

function(kura_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wno-missing-field-initializers)
endfunction()

function(kura_sanitize target sanitize)
    target_compile_options(${target} PUBLIC -fsanitize=${sanitize} -fno-omit-frame-pointer
                                            -fno-sanitize-recover=undefined)
    target_link_options(${target} PUBLIC -fsanitize=${sanitize})
    # GCC 12 reports reads behind an emptiness check as out of bounds once the sanitizers
    # rewrite the code; the ordinary build keeps the warning.
    target_compile_options(${target} PRIVATE -Wno-array-bounds)
endfunction()

# Gives a target an include root that holds only the given source folders, so that an include
# of any other folder (a higher layer) fails to compile. The root is a folder of links in the
# build tree: <build>/layers/<target>/<folder> -> <source>/<folder>.
function(kura_visible_folders target)
    set(root ${CMAKE_BINARY_DIR}/layers/${target})
    file(REMOVE_RECURSE ${root})
    file(MAKE_DIRECTORY ${root})
    foreach(folder ${ARGN})
        file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
    endforeach()
    target_include_directories(${target} PRIVATE ${root})
endfunction()

# One layer of the program as a static library:
#   kura_add_layer(NAME FOLDERS folders... SEES lower folders... LINKS lower layers...
#                  [QT Qt targets...] [SANITIZE checks])
# Its sources are every .cpp and .h below FOLDERS; it may include its own folders and SEES,
# nothing else. With SANITIZE the layer is an instrumented twin for the tests, and the LINKS
# named are taken as twins of the same suffix.
function(kura_add_layer name)
    cmake_parse_arguments(L "" "SANITIZE;SUFFIX" "FOLDERS;SEES;LINKS;QT" ${ARGN})
    set(sources)
    foreach(folder ${L_FOLDERS})
        file(GLOB_RECURSE found CONFIGURE_DEPENDS
            ${PROJECT_SOURCE_DIR}/${folder}/*.cpp ${PROJECT_SOURCE_DIR}/${folder}/*.h)
        list(APPEND sources ${found})
    endforeach()
    set(target ${name}${L_SUFFIX})
    add_library(${target} STATIC ${sources})
    kura_visible_folders(${target} ${L_FOLDERS} ${L_SEES})
    set(links)
    foreach(lower ${L_LINKS})
        list(APPEND links ${lower}${L_SUFFIX})
    endforeach()
    target_link_libraries(${target} PUBLIC ${links} ${L_QT})
    kura_warnings(${target})
    if(L_SANITIZE)
        kura_sanitize(${target} ${L_SANITIZE})
    endif()
endfunction()

# The core layers, lowest first: util with the platform seam, the engine, the store.
# suffix "" builds the ordinary libraries; another suffix with sanitize checks builds twins.
function(kura_add_core_layers suffix sanitize)
    kura_add_layer(kura_util SUFFIX "${suffix}" SANITIZE "${sanitize}"
        FOLDERS util platform
        QT Qt6::Core OpenSSL::Crypto PkgConfig::GIO)
    kura_add_layer(kura_engine SUFFIX "${suffix}" SANITIZE "${sanitize}"
        FOLDERS engine SEES util platform LINKS kura_util
        QT OpenSSL::Crypto ZLIB::ZLIB)
    kura_add_layer(kura_store SUFFIX "${suffix}" SANITIZE "${sanitize}"
        FOLDERS store SEES engine util platform LINKS kura_engine)
endfunction()
