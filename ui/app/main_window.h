#pragma once
// The program's one window: built from the fixed definition in main_window.cpp, painted with
// the background picture, playing the background tune, and the calculation's view of the
// controls.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "calc/form_access.h"
#include "ui/app/event_loop.h"
#include "ui/app/music_player.h"
#include "ui/controls/edit_box.h"
#include "ui/controls/hyper_linker.h"
#include "ui/controls/super_btn.h"
#include "ui/controls/trans_label.h"
#include "ui/core/jpeg_decoder.h"
#include "ui/win/window.h"

namespace densilo::app {

// The page the hyperlink opens. Change this one constant to point it elsewhere.
inline constexpr wchar_t kLinkTarget[] = L"https://www.example.com/densilo/";

class MainWindow final : public win::Window, public calc::FormAccess, public KeyboardPreHandler {
 public:
  // Creation steps in order: the window centred and hidden, its size forced, its icons, the
  // music, the controls. A window that cannot be created leaves hwnd() null.
  explicit MainWindow(HINSTANCE instance);
  ~MainWindow() override;

  // Shows and activates the window and paints it before the loop starts; the focus goes to the
  // first control of the focus order.
  void show();

  // Set when memory ran out inside a message; the window has then destroyed itself.
  bool ran_out_of_memory() const { return ran_out_of_memory_; }

  // FormAccess: texts are UTF-8 here and UTF-16 in the controls, converted losslessly.
  std::string read_text(std::string_view name) override;
  void write_text(std::string_view name, std::string_view text) override;
  void set_visible(std::string_view name, bool visible) override;

  // Tab, Shift+Tab, Esc, Enter and F1 for the window and every control in it.
  bool pre_translate(MSG& message) override;

 protected:
  LRESULT handle_message(UINT msg, WPARAM wparam, LPARAM lparam) override;
  void paint(HDC dc, const RECT& dirty) override;

 private:
  using Control =
      std::variant<std::unique_ptr<controls::TransLabel>, std::unique_ptr<controls::EditBox>,
                   std::unique_ptr<controls::SuperBtn>, std::unique_ptr<controls::HyperLinker>>;
  struct Entry {
    std::string_view name;
    bool tab_stop = false;
    Control control;
  };

  LRESULT handle(UINT msg, WPARAM wparam, LPARAM lparam);
  void create_controls();
  void start_music();
  void on_click();
  void out_of_memory();

  Entry* find(std::string_view name);
  static HWND hwnd_of(const Control& control);
  void move_focus(bool forward);
  HWND first_focusable() const;
  bool focusable(const Entry& entry) const;
  void restore_focus();

  // Decoded at the first paint for the size it is drawn at, then kept.
  const core::BgraImage* picture(int client_width, int client_height);

  HINSTANCE instance_;
  std::vector<Entry> controls_;
  std::unique_ptr<MusicPlayer> music_;
  std::span<const std::byte> click_sound_;
  bool picture_tried_ = false;
  std::optional<core::BgraImage> picture_;
  HWND last_focus_ = nullptr;
  bool ran_out_of_memory_ = false;
  bool destroyed_by_owner_ = false;
};

}  // namespace densilo::app
