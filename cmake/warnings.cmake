# One place for the warning set, so every target of ours is held to the same bar.
add_library(miravue_warnings INTERFACE)
target_compile_options(miravue_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
  -Wcast-qual -Wformat=2 -Wimplicit-fallthrough -Wmissing-declarations)
if(MIRAVUE_WERROR)
  target_compile_options(miravue_warnings INTERFACE -Werror)
endif()
