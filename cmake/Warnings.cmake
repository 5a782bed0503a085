# One warning policy for every target of the project.
add_compile_options(-Wall -Wextra)
if(QUILLON_WERROR)
  add_compile_options(-Werror)
endif()
if(QUILLON_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
  # The sanitizers' instrumentation misleads GCC's flow analysis into false "may be used
  # uninitialized" reports inside the standard library; the plain build still checks for them.
  add_compile_options(-Wno-maybe-uninitialized)
endif()
