if(MIRAVUE_SANITIZE)
  # Applied globally so that every library and test of ours is instrumented alike.
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
