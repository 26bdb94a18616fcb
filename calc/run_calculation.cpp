#include "calc/run_calculation.h"

#include <cstdint>
#include <string>

#include "calc/control_names.h"
#include "calc/density.h"
#include "calc/format_number.h"
#include "calc/read_number.h"

namespace densilo::calc {

void run_calculation(FormAccess& form) {
  // The order of the reads and of the two truncations is the program's observable order;
  // it is kept as it was, although no result depends on it.
  const double width_value = number_from_text(form.read_text(names::kEditBox2));
  const double height_value = number_from_text(form.read_text(names::kEditBox3));
  const double diagonal = number_from_text(form.read_text(names::kEditBox1));
  const std::int32_t height = truncate_to_int32(height_value);
  const std::int32_t width = truncate_to_int32(width_value);

  const double density = compute_ppi(width, height, diagonal);
  form.write_text(names::kEditBox4, format_number(density, 1, false));

  form.set_visible(names::kTransLabel4, true);
  form.set_visible(names::kEditBox4, true);
  form.set_visible(names::kHyperLinker1, true);
}

}  // namespace densilo::calc
