# One place for the warning set, so every target of ours gets the same.
# -Wconversion catches the silent narrowing that matters in number code;
# -Wshadow catches the member/local mix-ups that matter in window code.
# Limited to C and C++: the resource compiler of the Windows build takes no warning options.
function(densilo_warnings target)
  set(flags -Wall -Wextra -Wpedantic -Wconversion -Wsign-conversion -Wshadow
    $<$<BOOL:${DENSILO_WERROR}>:-Werror>)
  target_compile_options(${target} PRIVATE "$<$<COMPILE_LANGUAGE:C,CXX>:${flags}>")
endfunction()
