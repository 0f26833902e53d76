// The numbers of the main window and its dialogs: control ids (the routing keys of OnMessage),
// the language text numbers they show, timers, tray menu commands and window geometry.
// Constants only; any thread.
#pragma once

namespace ids {

// ---- window -------------------------------------------------------------------------------
inline constexpr int kWindowWidth = 1200;
inline constexpr int kWindowHeight = 720;
inline constexpr unsigned long kDialogStyle = 0x96000000;  // popup, visible, clip siblings/children
inline constexpr unsigned long kToolWindowExStyle = 0x80;
inline constexpr int kShowModalCmd = 5;  // SW_SHOW
inline constexpr const char* kInstanceName = "Tarnwick";
inline constexpr const char* kIconFile = "Keywright.ico";

// ---- frame and title bar --------------------------------------------------------------------
inline constexpr unsigned kBackground = 30;
inline constexpr unsigned kTitlePanel = 31;
inline constexpr unsigned kStripPanel = 32;
inline constexpr unsigned kHeaderPanel = 33;
inline constexpr unsigned kStatusPanel = 34;
inline constexpr unsigned kTitleFrame = 35;
inline constexpr unsigned kHeaderFrame = 36;
inline constexpr unsigned kTitleLogo = 37;
inline constexpr unsigned kCaptionText = 38;
inline constexpr unsigned kVersionText = 39;
inline constexpr unsigned kHomeLogo = 40;
inline constexpr unsigned kCloseButton = 41;
inline constexpr unsigned kMinimizeButton = 42;
inline constexpr unsigned kNoActionButton = 43;
inline constexpr unsigned kWebButton = 44;
inline constexpr unsigned kHeaderIcon = 45;
inline constexpr unsigned kTabStrip = 46;
inline constexpr unsigned kHomePage = 47;
inline constexpr unsigned kKeyPage = 48;
inline constexpr unsigned kMacroPage = 49;
inline constexpr unsigned kLightingPage = 50;
inline constexpr unsigned kSettingsPage = 51;
inline constexpr unsigned kPageTitle = 52;
inline constexpr unsigned kDeviceList = 53;
inline constexpr unsigned kHomeHint = 54;
inline constexpr unsigned kStatusText = 55;
// Installs the keyboards' udev rule; shown while a keyboard is present but may not be opened.
inline constexpr unsigned kGrantAccessButton = 140;

// ---- key page -------------------------------------------------------------------------------
inline constexpr unsigned kProfileAdd = 56;
inline constexpr unsigned kProfileDelete = 57;
inline constexpr unsigned kProfileRename = 58;
inline constexpr unsigned kProfileReset = 59;
inline constexpr unsigned kProfileImport = 60;
inline constexpr unsigned kProfileExport = 61;
inline constexpr unsigned kKeyPanel = 62;
inline constexpr unsigned kProfileList = 63;
inline constexpr unsigned kKeyKeyboard = 64;
inline constexpr unsigned kProfileTitle = 65;
inline constexpr unsigned kKeyFunctions = 66;

// ---- lighting page --------------------------------------------------------------------------
inline constexpr unsigned kLightListPanel = 67;
inline constexpr unsigned kLightList = 68;
inline constexpr unsigned kLightKeyboard = 69;
inline constexpr unsigned kLightPanel = 70;
inline constexpr unsigned kBrightnessLabel = 71;
inline constexpr unsigned kBrightnessSlider = 72;
inline constexpr unsigned kSpeedLabel = 73;
inline constexpr unsigned kSpeedSlider = 74;
inline constexpr unsigned kColourSlot = 75;
inline constexpr unsigned kLightApply = 76;
inline constexpr unsigned kMusicLabel = 77;
inline constexpr unsigned kMusicChoice = 78;
inline constexpr unsigned kGainLabel = 79;
inline constexpr unsigned kGainSlider = 80;
inline constexpr unsigned kIntervalLabel = 81;
inline constexpr unsigned kMusicInterval = 82;

// ---- macro page ------------------------------------------------------------------------------
inline constexpr unsigned kMacroListPanel = 83;
inline constexpr unsigned kMacroListTitle = 84;
inline constexpr unsigned kMacroList = 85;
inline constexpr unsigned kRecordPanel = 86;
inline constexpr unsigned kEventTitle = 87;
inline constexpr unsigned kEventKey = 88;
inline constexpr unsigned kEventMouse = 89;
inline constexpr unsigned kEventDelay = 90;
inline constexpr unsigned kKeyField = 91;
inline constexpr unsigned kDelayField = 92;
inline constexpr unsigned kMouseField = 93;
inline constexpr unsigned kInsertEventButton = 94;
inline constexpr unsigned kMacroNew = 95;
inline constexpr unsigned kMacroDelete = 96;
inline constexpr unsigned kMacroCopy = 97;
inline constexpr unsigned kMacroImport = 98;
inline constexpr unsigned kMacroExport = 99;
inline constexpr unsigned kMacroRename = 100;
inline constexpr unsigned kPlayCount = 101;
inline constexpr unsigned kPlayCountLabel = 102;
inline constexpr unsigned kDelayRecorded = 103;
inline constexpr unsigned kDelayNone = 104;
inline constexpr unsigned kDelayFixed = 105;
inline constexpr unsigned kFixedDelay = 106;
inline constexpr unsigned kDelayModeLabel = 107;
inline constexpr unsigned kRecordStart = 108;
inline constexpr unsigned kRecordStop = 109;
inline constexpr unsigned kMacroSettingsPanel = 110;
inline constexpr unsigned kInsertEventLabel = 111;
inline constexpr unsigned kInsertDelayButton = 112;
inline constexpr unsigned kRecordUp = 113;
inline constexpr unsigned kRecordDown = 114;
inline constexpr unsigned kRecordDelete = 115;
inline constexpr unsigned kColumnEvent = 116;
inline constexpr unsigned kColumnAction = 117;
inline constexpr unsigned kColumnDelay = 118;
inline constexpr unsigned kRecordHeader = 119;
inline constexpr unsigned kRecordList = 120;
inline constexpr unsigned kRecordSave = 121;

// ---- settings page ---------------------------------------------------------------------------
inline constexpr unsigned kSettingsPanel = 122;
inline constexpr unsigned kLanguageLabel = 123;
inline constexpr unsigned kLanguageList = 124;
inline constexpr unsigned kAutostartCheck = 125;
inline constexpr unsigned kResetProfileButton = 126;
inline constexpr unsigned kFactoryResetButton = 127;
inline constexpr unsigned kSoftwareUpdate = 128;
inline constexpr unsigned kFirmwareUpdate = 129;
inline constexpr unsigned kSettingsKeyboard = 130;
inline constexpr unsigned kGeneralLabel = 131;
inline constexpr unsigned kMaintenanceLabel = 132;
inline constexpr unsigned kUpdatesLabel = 133;

// ---- tab items (item id = page) --------------------------------------------------------------
inline constexpr int kItemHome = 0;
inline constexpr int kItemKeys = 1;
inline constexpr int kItemMacros = 2;
inline constexpr int kItemLighting = 3;
inline constexpr int kItemSettings = 5;
inline constexpr int kTabItemSize = 60;
// Device types from this one on are lighting-only models.
inline constexpr int kLightingOnlyType = 200;

// ---- timers and commands -----------------------------------------------------------------------
inline constexpr unsigned kSoftwareCheckTimer = 200;
inline constexpr unsigned kSoftwareCheckDelayMs = 2000;
inline constexpr unsigned kFirmwareCheckTimer = 300;
inline constexpr unsigned kFirmwareCheckDelayMs = 3000;
inline constexpr unsigned kAnimationTickMs = 10;
inline constexpr int kTrayExit = 100;
inline constexpr int kTrayCloseOptions = 200;

// ---- language texts ----------------------------------------------------------------------------
namespace text {
inline constexpr int kCloseOptions = 10;
inline constexpr int kExit = 11;
inline constexpr int kMinimize = 12;
inline constexpr int kWebsite = 13;
inline constexpr int kCloseQuestion = 14;
inline constexpr int kOk = 20;
inline constexpr int kConfirm = 22;
inline constexpr int kYes = 23;
inline constexpr int kNo = 25;
inline constexpr int kTabHome = 50;
inline constexpr int kTabKeys = 51;
inline constexpr int kTabMacros = 52;
inline constexpr int kTabLighting = 53;
inline constexpr int kTabSettings = 56;
inline constexpr int kChooseKeyboard = 57;
inline constexpr int kProfiles = 58;
inline constexpr int kConnected = 60;
inline constexpr int kNotConnected = 61;
inline constexpr int kNoAccess = 910;
inline constexpr int kGrantAccess = 911;
inline constexpr int kCustomSlot = 86;
inline constexpr int kHideToTray = 171;
inline constexpr int kExitTooltip = 172;
inline constexpr int kExitChoice = 170;
}  // namespace text

}  // namespace ids
