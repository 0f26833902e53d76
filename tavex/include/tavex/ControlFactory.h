#pragma once
// Creation of controls by class name. Two tables: the dialog's (PaintManager::CreateControl)
// and the panel's (MPanel::CreateControl). Names compare exactly (case-sensitive); an empty or
// unknown name, or a name whose class this build does not have yet, gives null.
// The caller owns the new control until it puts it into a list.
#include <vector>

#include "tavex/MControl.h"

namespace Tavex {

class TAVEX_API ControlFactory {
 public:
  enum class Table { Dialog, Panel };
  using Maker = MControl* (*)(MObject* parent, unsigned id, CRect rect, const char* title, int a,
                              int b);

  // Constructs the control: `a` is the visible flag, `b` the enabled flag (classes whose
  // constructor takes one trailing integer take only `a`).
  static MControl* Create(Table table, const char* name, MObject* parent, unsigned id, CRect rect,
                          const char* title, int a, int b);
  // Whether the table lists the name (whether or not its class exists yet).
  static bool IsListed(Table table, const char* name);
  // Whether the name is listed and this build can construct it.
  static bool IsAvailable(Table table, const char* name);
  static std::vector<const char*> Names(Table table);
};

// The check of the typed creation forms (CreateControlAs of MDialog and MPanel): `created` as a
// T, or null; a control of another class is taken out of `owner`'s lists and deleted again.
template <typename T, typename Owner>
T* KeepIfOfClass(Owner& owner, MControl* created) {
  T* typed = dynamic_cast<T*>(created);
  if (created != nullptr && typed == nullptr) owner.RemoveControl(created);
  return typed;
}

}  // namespace Tavex
