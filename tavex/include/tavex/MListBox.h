#pragma once
// MListBox: the list box made by the dialog factory; behaves as DListBox. Threads: as DListBox.
#include "tavex/DListBox.h"

namespace Tavex {

class TAVEX_API MListBox : public DListBox {
 public:
  MListBox(MObject* parent, unsigned id, CRect rect, int visible = 1);

  const char* GetClassNameW() const override;
};

}  // namespace Tavex
