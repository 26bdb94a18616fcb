#pragma once

#include "calc/form_access.h"

namespace densilo::calc {

// The action of the 计算PPI button: reads the width, height and diagonal boxes, computes the
// density, writes it with one decimal into the result box and shows the result controls.
// Never fails: whatever the boxes hold ends as a text.
void run_calculation(FormAccess& form);

}  // namespace densilo::calc
