#pragma once
// The child window id of each control of the main window, in creation order, so tools and tests
// outside the process can find a control with GetDlgItem.

namespace densilo::app {

enum ControlId : int {
  kIdLabel1 = 101,  // 透明标签1
  kIdLabel2,        // 透明标签2
  kIdEdit1,         // 编辑框1
  kIdEdit2,         // 编辑框2
  kIdEdit3,         // 编辑框3
  kIdLabel4,        // 透明标签4
  kIdEdit4,         // 编辑框4
  kIdButton1,       // 超级按钮1
  kIdLink1,         // 超级链接框1
};

}  // namespace densilo::app
