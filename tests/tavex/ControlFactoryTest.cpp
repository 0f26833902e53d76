#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "TavexTestSupport.h"
#include "tavex/Buttons.h"
#include "tavex/CArea.h"
#include "tavex/ControlFactory.h"
#include "tavex/MDialog.h"
#include "tavex/MPanel.h"

using namespace TavexTest;
using Tavex::ControlFactory;

TEST(ControlFactory, TheDialogTableHas36NamesAndThePanelTable40) {
  const auto dialog = ControlFactory::Names(ControlFactory::Table::Dialog);
  const auto panel = ControlFactory::Names(ControlFactory::Table::Panel);
  EXPECT_EQ(dialog.size(), 36u);
  EXPECT_EQ(panel.size(), 40u);
  EXPECT_STREQ(dialog.front(), "CArea");
  EXPECT_STREQ(dialog.back(), "CDeviceCtrl");
  const auto has = [](const std::vector<const char*>& names, const char* name) {
    return std::any_of(names.begin(), names.end(),
                       [&](const char* n) { return std::strcmp(n, name) == 0; });
  };
  EXPECT_TRUE(has(dialog, "CComboBoxList"));
  EXPECT_FALSE(has(panel, "CComboBoxList"));
}

TEST(ControlFactory, NamesAreCaseSensitiveAndThePanelTakesItsFiveExtraNames) {
  using T = ControlFactory::Table;
  EXPECT_TRUE(ControlFactory::IsListed(T::Dialog, "KeyboardCtrl"));
  EXPECT_FALSE(ControlFactory::IsListed(T::Dialog, "keyboardctrl"));
  EXPECT_FALSE(ControlFactory::IsListed(T::Panel, "keyboardctrl"));
  for (const char* extra : {"KeyFuncControl", "DListBox", "CRecordList", "UpgradeButton",
                            "DownloadButton"}) {
    EXPECT_FALSE(ControlFactory::IsListed(T::Dialog, extra)) << extra;
    EXPECT_TRUE(ControlFactory::IsListed(T::Panel, extra)) << extra;
  }
  EXPECT_FALSE(ControlFactory::IsListed(T::Dialog, ""));
  EXPECT_FALSE(ControlFactory::IsListed(T::Dialog, nullptr));
  EXPECT_FALSE(ControlFactory::IsListed(T::Dialog, "MPanel"));
}

TEST(ControlFactory, DialogCreateControlBuildsKnownClassesAndReturnsNullOtherwise) {
  Tavex::MDialog dialog;
  Tavex::MControl* area = dialog.CreateArea("CArea", 5, CRect(0, 0, 10, 10), nullptr, 1, 1);
  ASSERT_NE(area, nullptr);
  EXPECT_TRUE(area->IsClass("CArea"));
  EXPECT_EQ(area->GetManager(), &dialog.GetPaintManager());
  EXPECT_EQ(area->GetParantObject(), static_cast<Tavex::MObject*>(&dialog));
  EXPECT_EQ(dialog.GetControl(5), area);
  EXPECT_EQ(dialog.GetPaintManager().GetAreas().Size(), 1u);

  Tavex::MControl* hidden = dialog.CreateControl("CArea", 6, CRect(0, 0, 10, 10), "x", 0, 0);
  ASSERT_NE(hidden, nullptr);
  EXPECT_FALSE(hidden->IsVisible());
  EXPECT_FALSE(hidden->IsEnabled());
  EXPECT_EQ(dialog.GetControls().Size(), 1u);

  EXPECT_EQ(dialog.CreateControl("carea", 7, CRect(), nullptr, 1, 1), nullptr);
  EXPECT_EQ(dialog.CreateControl("keyboardctrl", 7, CRect(), nullptr, 1, 1), nullptr);
  EXPECT_EQ(dialog.CreateControl("KeyFuncControl", 7, CRect(), nullptr, 1, 1), nullptr);
  EXPECT_EQ(dialog.CreateControl("", 7, CRect(), nullptr, 1, 1), nullptr);
  EXPECT_EQ(dialog.GetControls().Size(), 1u);
}

TEST(ControlFactory, PanelCreateControlPutsChildrenIntoThePanelsOwnLists) {
  Tavex::MDialog dialog;
  auto* panel = static_cast<Tavex::MPanel*>(
      dialog.AddControl(new Tavex::MPanel(&dialog, 3, CRect(0, 0, 100, 100))));
  Tavex::MControl* drawn = panel->CreateArea("CArea", 11, CRect(0, 0, 10, 10), nullptr, 1, 1);
  Tavex::MControl* child = panel->CreateControl("CArea", 12, CRect(0, 0, 10, 10), nullptr, 1, 1);
  ASSERT_NE(drawn, nullptr);
  ASSERT_NE(child, nullptr);
  EXPECT_TRUE(panel->GetDrawControls().Contains(drawn));
  EXPECT_TRUE(panel->GetChildControls().Contains(child));
  EXPECT_EQ(child->GetManager(), &dialog.GetPaintManager());
  EXPECT_EQ(child->GetParantObject(), static_cast<Tavex::MObject*>(panel));
  EXPECT_EQ(panel->CreateControl("CComboBoxList", 13, CRect(), nullptr, 1, 1), nullptr);
  EXPECT_EQ(dialog.GetControl(12), child);
}

TEST(ControlFactory, TypedCreationGivesNullForAnotherClassAndLeavesNoControlBehind) {
  Tavex::MDialog dialog;
  const CRect rect(0, 0, 10, 10);
  // A name that makes a control of another class: null, and neither list keeps it.
  EXPECT_EQ(dialog.CreateControlAs<Tavex::MButton>("CArea", 5, rect, nullptr, 1, 1), nullptr);
  EXPECT_EQ(dialog.CreateAreaAs<Tavex::MButton>("CArea", 6, rect, nullptr, 1, 1), nullptr);
  EXPECT_EQ(dialog.CreateControlAs<Tavex::MButton>("NoSuchControl", 7, rect, nullptr, 1, 1),
            nullptr);
  EXPECT_EQ(dialog.GetControls().Size(), 0u);
  EXPECT_EQ(dialog.GetPaintManager().GetAreas().Size(), 0u);
  EXPECT_EQ(dialog.GetControl(5), nullptr);
  // The right class, or one of its bases, gives the listed control.
  auto* area = dialog.CreateAreaAs<Tavex::CArea>("CArea", 8, rect, nullptr, 1, 1);
  ASSERT_NE(area, nullptr);
  EXPECT_EQ(dialog.GetControl(8), area);
  Tavex::MControl* button = dialog.CreateControlAs<Tavex::MControl>("MButton", 9, rect, "", 1, 1);
  ASSERT_NE(button, nullptr);
  EXPECT_TRUE(dialog.GetControls().Contains(button));

  auto* panel = static_cast<Tavex::MPanel*>(
      dialog.AddControl(new Tavex::MPanel(&dialog, 3, CRect(0, 0, 100, 100))));
  const std::size_t children = panel->GetChildControls().Size();  // its own scroll bars
  EXPECT_EQ(panel->CreateControlAs<Tavex::MButton>("CArea", 11, rect, nullptr, 1, 1), nullptr);
  EXPECT_EQ(panel->CreateAreaAs<Tavex::MButton>("CArea", 12, rect, nullptr, 1, 1), nullptr);
  EXPECT_EQ(panel->GetChildControls().Size(), children);
  EXPECT_EQ(panel->GetDrawControls().Size(), 0u);
  EXPECT_EQ(panel->GetControl(11), nullptr);
  auto* child = panel->CreateControlAs<Tavex::CArea>("CArea", 13, rect, nullptr, 1, 1);
  ASSERT_NE(child, nullptr);
  EXPECT_TRUE(panel->GetChildControls().Contains(child));
}
