// The dialog framework under a handler that throws: the exception stops at the dialog
// procedure, the message counts as unhandled, and the window goes on working.
#include <windows.h>

#include <gtest/gtest.h>

#include <new>

#include "res/resource.h"
#include "ui/framework/dialog.h"

namespace pelmix::test {
namespace {

constexpr UINT kThrow = WM_APP + 1;
constexpr UINT kCount = WM_APP + 2;

class ThrowingDialog : public ui::CDialog {
 public:
  ThrowingDialog() : CDialog(IDD_ABOUTBOX) {}
  int counted = 0;

 protected:
  std::span<const ui::MessageEntry> GetMessageMap() const override {
    static constexpr ui::MessageEntry kMap[] = {ui::OnMessage<&ThrowingDialog::Throw>(kThrow),
                                                ui::OnMessage<&ThrowingDialog::Count>(kCount)};
    return kMap;
  }

 private:
  ui::MessageResult Throw(WPARAM, LPARAM) { throw std::bad_alloc(); }
  ui::MessageResult Count(WPARAM, LPARAM) { return ++counted; }
};

TEST(DialogFrameworkTest, AThrowingHandlerLeavesTheMessageUnhandled) {
  ThrowingDialog dialog;
  ASSERT_TRUE(dialog.Create());
  EXPECT_EQ(::SendMessageW(dialog.hwnd(), kThrow, 0, 0), 0);
  EXPECT_TRUE(::IsWindow(dialog.hwnd()));
  ::SendMessageW(dialog.hwnd(), kCount, 0, 0);
  EXPECT_EQ(dialog.counted, 1);
  ::DestroyWindow(dialog.hwnd());
}

}  // namespace
}  // namespace pelmix::test
