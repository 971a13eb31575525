# Warning flags go on the project's own targets only, never on the whole
# directory, so that a project that builds zatrel with add_subdirectory or
# FetchContent keeps its own flags, and no -Werror reaches it.
function(zatrel_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  if(ZATREL_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
