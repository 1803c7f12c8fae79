# Project-wide compiler flags: warnings everywhere, errors in CI, optional sanitizers.
add_compile_options(-Wall -Wextra -Wpedantic -Wshadow)
if(QOR_WERROR)
    add_compile_options(-Werror)
endif()
if(QOR_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=address,undefined)
endif()

# Stricter warnings for the project's own sources only. Code we do not write (moc, uic and rcc
# output, the D-Bus adaptor) is not ours to keep clean, so these flags go on source files rather
# than on targets: qorview_strict_warnings() runs once the whole tree is known, walks every
# target and gives the flags to each C or C++ file of the source tree. AUTOMOC's and AUTORCC's
# files are added to a target only when the build is generated and the D-Bus adaptor's are in the
# build tree, so none of them gets the flags. Qt's and GoogleTest's headers come in as system
# headers, which GCC does not warn about; uic's headers hold nothing these flags find. Every
# folder gets the flags, so a new folder is held to them from its first file.
# tests/check_strict_warnings.py checks the result in the build's compile commands.
set(QOR_STRICT_WARNINGS
    -Wconversion -Wsign-conversion -Wnull-dereference -Wformat=2)
set(QOR_STRICT_CXX_WARNINGS
    -Wold-style-cast -Wnon-virtual-dtor -Woverloaded-virtual -Wsuggest-override)

function(_qor_strict_warnings_for_target target)
    get_target_property(type ${target} TYPE)
    if(NOT type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY)$")
        return()
    endif()
    get_target_property(target_dir ${target} SOURCE_DIR)
    get_target_property(sources ${target} SOURCES)
    foreach(source IN LISTS sources)
        if(source MATCHES "^\\$<")
            continue()
        endif()
        cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${target_dir} NORMALIZE
                   OUTPUT_VARIABLE path)
        cmake_path(IS_PREFIX PROJECT_BINARY_DIR ${path} NORMALIZE in_build_tree)
        cmake_path(IS_PREFIX PROJECT_SOURCE_DIR ${path} NORMALIZE in_source_tree)
        if(in_build_tree OR NOT in_source_tree)
            continue()
        endif()
        if(path MATCHES "\\.(cpp|cc|cxx)$")
            set(flags ${QOR_STRICT_WARNINGS} ${QOR_STRICT_CXX_WARNINGS})
        elseif(path MATCHES "\\.c$")
            set(flags ${QOR_STRICT_WARNINGS})
        else()
            continue()
        endif()
        # A file that two targets of one folder share has its options once.
        get_property(options SOURCE ${path} TARGET_DIRECTORY ${target} PROPERTY COMPILE_OPTIONS)
        if(NOT "-Wconversion" IN_LIST options)
            set_property(SOURCE ${path} TARGET_DIRECTORY ${target} APPEND
                         PROPERTY COMPILE_OPTIONS ${flags})
        endif()
    endforeach()
endfunction()

function(_qor_strict_warnings_for_directory dir)
    get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
        _qor_strict_warnings_for_target(${target})
    endforeach()
    get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
    foreach(subdir IN LISTS subdirs)
        _qor_strict_warnings_for_directory(${subdir})
    endforeach()
endfunction()

# Called at the end of the top-level CMakeLists.txt, when every target exists.
function(qorview_strict_warnings)
    _qor_strict_warnings_for_directory(${PROJECT_SOURCE_DIR})
endfunction()
