# One place for the warning set, so every target of ours gets the same.
# -Wconversion catches the silent narrowing that matters in number code;
# -Wshadow catches the member/local mix-ups that matter in window code.
function(densilo_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wconversion -Wsign-conversion -Wshadow
    $<$<BOOL:${DENSILO_WERROR}>:-Werror>)
endfunction()
