#include "ui/app/floating_point.h"

#include <xmmintrin.h>

namespace densilo::app {

void reset_floating_point() {
  // fninit also empties the register stack and clears pending exceptions, which a later fldcw
  // with unmasked bits would otherwise turn into a trap.
  asm volatile("fninit");
  const std::uint16_t control = kX87ControlWord;
  asm volatile("fldcw %0" : : "m"(control));
  _mm_setcsr(kSseControlStatus);
}

}  // namespace densilo::app
