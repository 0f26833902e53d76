// The macro page's recorder (the whole keyboard taken while it runs) and the key field's capture
// of one key or button (raw input, nothing taken from other programs).
#include "app/CUIMessageBox.h"
#include "app/MacroPageController.h"
#include "app/MacroPageTexts.h"
#include "app/PageHost.h"
#include "app/ProgramServices.h"
#include "app/WindowIds.h"
#include "macro/MacroBlock.h"
#include "tavex/Buttons.h"
#include "tavex/CRecordList.h"
#include "tavex/Codes.h"
#include "tavex/Edits.h"
#include "tavex/MDialog.h"
#include "tavex/Native.h"

namespace {

namespace text = macro_text;

// Flags of kMsgRawInput's wParam.
constexpr WPARAM kRawRelease = 1;
constexpr WPARAM kRawButton = 2;
constexpr uint32_t kLeftButton = 1;  // X numbering

// Besides the editing controls, these are locked while recording; only the stop button acts.
constexpr unsigned kAlsoLockedWhileRecording[] = {
    ids::kMacroList, ids::kMacroNew, ids::kMacroImport, ids::kFixedDelay, ids::kTabStrip,
};

// The virtual key of a grabbed key, telling left and right modifiers apart as a system-wide key
// hook does.
uint32_t SidedVirtualKey(uint32_t keysym) {
  struct Sides {
    UINT generic, right, left;
  };
  constexpr Sides kSides[] = {{VK_SHIFT, VK_RSHIFT, VK_LSHIFT},
                              {VK_CONTROL, VK_RCONTROL, VK_LCONTROL},
                              {VK_MENU, VK_RMENU, VK_LMENU}};
  const UINT vk = Tavex::Native::VirtualKeyFromKeysym(keysym);
  for (const Sides& s : kSides)
    if (vk == s.generic)
      return keysym == Tavex::Native::KeysymFromVirtualKey(s.right) ? s.right : s.left;
  return vk;
}

}  // namespace

// ---- recording -----------------------------------------------------------------------------

void MacroPageController::StartRecording() {
  const int32_t id = SelectedMacro();
  if (id <= 0 || recorder_.Recording()) return;
  const int records = Store().CountMacroEvents(id);
  if (records >= kMacroMaxEvents) {
    host_.ShowMessage(text::kFull, text::kRecordingCaption, CUIMessageBox::kStyleOneButton);
    return;
  }
  const HWND window = host_.Window().GetSafeHwnd();
  const auto result = grab_.Start(platform::InputCapture::Mode::Grab,
                                  [window](const platform::CapturedInput& input) {
                                    Tavex::Native::PostMessage(
                                        window, Tavex::WM_KEYHOOK,
                                        input.release ? WM_KEYUP : WM_KEYDOWN,
                                        static_cast<LPARAM>(SidedVirtualKey(input.code)));
                                  });
  if (result != platform::InputCapture::Result::Started) {
    // Without the grab no key would arrive: say why instead of recording nothing.
    host_.ShowMessage(text::kGrabRefused, text::kRecordingCaption, CUIMessageBox::kStyleOneButton);
    return;
  }
  recorder_.Start(records, DelayMode(), FixedDelay());
  SetRecordingControls(true);
}

void MacroPageController::StopRecording() {
  if (!recorder_.Recording()) return;
  grab_.Stop();
  recorder_.Stop();
  SaveRecords();
  SetRecordingControls(false);
}

void MacroPageController::SetRecordingControls(bool recording) {
  EnableControls(kEditingControls, !recording);
  EnableControls(kAlsoLockedWhileRecording, !recording);
  if (auto* stop = host_.Window().GetControl(ids::kRecordStop)) stop->SetEnabled(recording ? 1 : 0);
  if (!recording) OnDelayModeClicked();  // the fixed delay field follows its radio again
}

void MacroPageController::OnKeyHook(WPARAM message, uint32_t vk) {
  auto* records = Find<Tavex::CRecordList>(ids::kRecordList);
  if (!recorder_.Recording() || records == nullptr) return;
  const std::optional<RecordedStep> step =
      recorder_.Add(MacroRecorder::FromGrab(vk, message == WM_KEYUP));
  if (!step) return;
  if (step->previousDelay != 0) records->UpdateDelayTime(step->previousDelay);
  records->AddString(step->name, step->type, static_cast<int>(step->code), 0);
  if (step->limitReached) {
    StopRecording();
    host_.ShowMessage(text::kFull, text::kRecordingCaption, CUIMessageBox::kStyleOneButton);
  }
}

// ---- the key field -------------------------------------------------------------------------

void MacroPageController::StartKeyCapture() {
  auto* field = Find<Tavex::MEdit>(ids::kKeyField);
  if (field == nullptr) return;
  field->SetTitle("");
  field->SetKeyCapture(1);
  capturedCode_ = 0;
  const HWND window = host_.Window().GetSafeHwnd();
  capturing_ = capture_.Start(platform::InputCapture::Mode::Raw,
                              [window](const platform::CapturedInput& input) {
                                WPARAM flags = input.release ? kRawRelease : 0;
                                uint32_t code = input.code;
                                if (input.source == platform::CapturedInput::Button)
                                  flags |= kRawButton;
                                else
                                  code = Tavex::Native::VirtualKeyFromKeysym(code);
                                Tavex::Native::PostMessage(
                                    window, MacroPageController::kMsgRawInput, flags,
                                    static_cast<LPARAM>(code));
                              }) == platform::InputCapture::Result::Started;
}

void MacroPageController::StopKeyCapture() {
  capture_.Stop();
  capturing_ = false;
  if (auto* field = Find<Tavex::MEdit>(ids::kKeyField)) field->SetKeyCapture(0);
}

void MacroPageController::OnRawInput(WPARAM flags, uint32_t code) {
  auto* field = Find<Tavex::MEdit>(ids::kKeyField);
  // Presses only: the release of the click that opened the field is no choice.
  if (!capturing_ || field == nullptr || (flags & kRawRelease) != 0) return;
  // A left press outside the field is the click that leaves it, not a choice.
  if ((flags & kRawButton) != 0 && code == kLeftButton) {
    POINT at{};
    Tavex::Native::GetCursorPos(&at);
    Tavex::Native::ScreenToClient(host_.Window().GetSafeHwnd(), &at);
    const Tavex::CRect box = field->GetRect();
    if (at.x < box.left || at.x >= box.right || at.y < box.top || at.y >= box.bottom) return;
  }
  const RecordedInput input = (flags & kRawButton) != 0 ? MacroRecorder::FromRawButton(code, false)
                                                        : MacroRecorder::FromRawKey(code, false);
  if (!input.Named()) return;
  field->SetTitle(input.name.c_str());
  capturedCode_ = input.code;
}
