# Shared target helpers.

function(kura_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wno-missing-field-initializers)
endfunction()

# Builds the core library from KURA_CORE_SOURCES under the given name. A non-empty
# sanitize argument (for example "address,undefined") builds an instrumented copy for the tests.
function(kura_add_core_library name sanitize)
    add_library(${name} STATIC ${KURA_CORE_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC Qt6::Core OpenSSL::Crypto ZLIB::ZLIB PkgConfig::GIO)
    kura_warnings(${name})
    if(sanitize)
        kura_sanitize(${name} ${sanitize})
    endif()
endfunction()

function(kura_sanitize target sanitize)
    target_compile_options(${target} PUBLIC -fsanitize=${sanitize} -fno-omit-frame-pointer
                                            -fno-sanitize-recover=undefined)
    target_link_options(${target} PUBLIC -fsanitize=${sanitize})
    # GCC 12 reports reads behind an emptiness check as out of bounds once the sanitizers
    # rewrite the code; the ordinary build keeps the warning.
    target_compile_options(${target} PRIVATE -Wno-array-bounds)
endfunction()
