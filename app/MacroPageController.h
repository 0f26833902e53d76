// The macro page: the macro list (new, delete, copy and paste, rename, import and export, its
// context menu), the play settings, the records of the selected macro (move, delete, delays,
// events inserted by hand), the system-wide recorder and the capture of one key or button into
// the key field. Also the profile export and import buttons of the key page, which share the
// file format.
//
// Ownership: made and owned by the main window; borrows the host. Threads: UI thread, except
// ReloadForKeyboard (worker: it opens a store left closed and posts the list's reload) and the
// capture listeners (reader thread; they only post).
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "app/PageController.h"
#include "app/WindowIds.h"
#include "macro/MacroRecorder.h"
#include "platform/InputCapture.h"

class PageHost;
class ProfileStore;
namespace Tavex {
class DListBox;
class CRecordList;
class MControl;
}  // namespace Tavex

class MacroPageController final : public PageController {
 public:
  // Messages this controller posts to the window for itself.
  static constexpr UINT kMsgLoadMacros = WM_APP + 0x180;  // task 5 finished on the worker
  static constexpr UINT kMsgRawInput = WM_APP + 0x181;    // wParam: RawFlags, lParam: code

  // `clock` times the recorded pauses; it must outlive the controller.
  MacroPageController(PageHost& host, platform::Clock& clock);
  ~MacroPageController() override;

  bool OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
  bool OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void ReloadForKeyboard(const CurrentKeyboard& keyboard) override;
  void OnTextsChanged() override;
  void OnShutdown() override;

 private:
  // Controls that edit the selected macro; without a macro only New and Import act.
  static constexpr unsigned kEditingControls[] = {
      ids::kMacroDelete,  ids::kMacroCopy,     ids::kMacroExport,  ids::kMacroRename,
      ids::kPlayCount,    ids::kDelayRecorded, ids::kDelayNone,    ids::kDelayFixed,
      ids::kRecordStart,  ids::kRecordUp,      ids::kRecordDown,   ids::kRecordDelete,
      ids::kRecordList,   ids::kRecordSave,    ids::kEventKey,     ids::kEventMouse,
      ids::kEventDelay,   ids::kKeyField,      ids::kDelayField,   ids::kMouseField,
      ids::kInsertEventButton, ids::kInsertDelayButton,
  };

  // A control of the window by id, as a T; null when missing or of another class.
  template <class T>
  T* Find(unsigned id) const {
    return dynamic_cast<T*>(Control(id));
  }
  Tavex::MControl* Control(unsigned id) const;
  void EnableControls(std::span<const unsigned> ids, bool enabled);
  ProfileStore& Store() const;
  int32_t SelectedMacro() const;

  // ---- list and editing (MacroPageController.cpp)
  void LoadMacroList();
  void ShowMacro(int32_t id);
  void SetEditingEnabled(bool enabled);
  void AddToList(int32_t id, const std::string& name);
  std::string UniqueName(const std::string& base) const;
  void NewMacro();
  void DeleteMacro();
  void CopyMacro();
  void PasteMacro();
  void FinishRename(int row);
  void SavePlaySettings();
  void OnDelayModeClicked();
  void SaveRecords();
  void MoveRecord(int by);
  void DeleteRecord();
  void ShowContextMenu();
  void OnMenuCommand(int command);
  int DelayMode() const;
  int FixedDelay() const;

  // ---- events by hand, import and export (MacroPageEvents.cpp)
  void OnEventChoice();
  void InsertEvent();
  void SetSelectedDelay();
  void ExportMacro();
  void ImportMacro();
  void ExportProfile();
  void ImportProfile();

  // ---- recording and capture (MacroPageRecording.cpp)
  void StartRecording();
  void StopRecording();
  void SetRecordingControls(bool recording);
  void OnKeyHook(WPARAM message, uint32_t vk);
  void StartKeyCapture();
  void StopKeyCapture();
  void OnRawInput(WPARAM flags, uint32_t code);

  PageHost& host_;
  MacroRecorder recorder_;
  platform::InputCapture grab_;     // while recording
  platform::InputCapture capture_;  // while the key field captures
  int32_t pasteSource_ = 0;         // macro remembered by copy, 0 none
  uint32_t capturedCode_ = 0;       // key or button in the key field
  bool capturing_ = false;
};
