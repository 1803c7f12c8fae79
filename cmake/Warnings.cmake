# Project-wide compiler flags: warnings everywhere, errors in CI, optional sanitizers.
add_compile_options(-Wall -Wextra -Wpedantic -Wshadow)
if(QOR_WERROR)
    add_compile_options(-Werror)
endif()
if(QOR_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=address,undefined)
endif()
