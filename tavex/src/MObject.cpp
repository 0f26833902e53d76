#include "tavex/MObject.h"

#include <cstring>

namespace Tavex {

MObject::~MObject() = default;

int MObject::IsClass(const char* name) const {
  const char* own = GetClassNameW();
  if (own == nullptr || name == nullptr) return 0;
  return std::strcmp(own, name) == 0 ? 1 : 0;
}

const char* MObject::GetClassNameW() const { return nullptr; }
const char* MObject::GetObjectClass() const { return nullptr; }
const char* MObject::BaseObjectClassName() const { return nullptr; }
int MObject::OnBaseMessage(unsigned, unsigned, unsigned, long) { return 0; }
int MObject::OnControlUpdate(CRect, int, MControl*) { return 0; }

}  // namespace Tavex
