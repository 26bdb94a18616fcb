#pragma once

#include <string>
#include <string_view>

namespace densilo::calc {

// The narrow view of the main window that the calculation needs, so it can run (and be
// tested) without a window. Controls are named by the constants in control_names.h; texts
// are UTF-8.
class FormAccess {
 public:
  // The control's content exactly as displayed; the empty text for an empty control.
  virtual std::string read_text(std::string_view name) = 0;
  virtual void write_text(std::string_view name, std::string_view text) = 0;
  // Showing a control that is already visible changes nothing.
  virtual void set_visible(std::string_view name, bool visible) = 0;

 protected:
  ~FormAccess() = default;
};

}  // namespace densilo::calc
