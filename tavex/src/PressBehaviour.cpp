#include "tavex/PressBehaviour.h"

namespace Tavex {

bool PressBehaviour::Move(bool inside) {
  const bool changed = m_hover != inside;
  m_hover = inside;
  return changed;
}

bool PressBehaviour::Down(bool inside) {
  if (!inside) return false;
  const bool changed = !m_pressed || !m_hover;
  m_pressed = true;
  m_hover = true;
  return changed;
}

bool PressBehaviour::Up(bool inside, bool* clicked) {
  const bool wasPressed = m_pressed;
  if (clicked != nullptr) *clicked = wasPressed && inside;
  const bool changed = wasPressed || m_hover != inside;
  m_pressed = false;
  m_hover = inside;
  return changed;
}

bool PressBehaviour::Leave() {
  const bool changed = m_hover || m_pressed;
  m_hover = false;
  m_pressed = false;
  return changed;
}

PressBehaviour::Look PressBehaviour::GetLook(bool enabled) const {
  if (!enabled) return kDisabled;
  if (m_pressed && m_hover) return kPressed;
  if (m_hover) return kHover;
  return kNormal;
}

}  // namespace Tavex
