#include "tavex/Pictures.h"

#include <algorithm>

#include "tavex/AnimationClock.h"
#include "tavex/Manager.h"

namespace Tavex {

CGifPicture::CGifPicture(MObject* parent, unsigned id, CRect rect, int visible, int enabled)
    : MPicture(parent, id, rect, visible, enabled) {}

const char* CGifPicture::GetClassNameW() const { return "CGifPicture"; }

void CGifPicture::InitControl(PaintManager* manager) {
  MPicture::InitControl(manager);
  AddMTimer();
}

bool CGifPicture::LoadGif(const char* file) {
  if (file == nullptr || *file == '\0') return false;
  const CString name = file;
  const CString path = name.front() == '/' ? name : Manager::GetSkinFolder() + name;
  std::vector<AnimationFrame> frames = LoadAnimationFrames(path);
  if (frames.empty()) return false;
  {
    std::lock_guard guard(m_dataLock);
    m_frames = std::move(frames);
    m_frame = 0;
    m_elapsed = 0;
    m_imagePath = name;
    m_picture = m_frames.front().image;
  }
  // A new image starts still; the owner decides when it runs.
  m_running = 0;
  SetRunTimer(0);
  UpdateControl(1, 0);
  return true;
}

int CGifPicture::GetFrameCount() const {
  std::lock_guard guard(m_dataLock);
  return static_cast<int>(m_frames.size());
}

int CGifPicture::GetFrame() const {
  std::lock_guard guard(m_dataLock);
  return m_frame;
}

int CGifPicture::SetRunState(int run, int frame) {
  bool changed = false;
  {
    std::lock_guard guard(m_dataLock);
    const int n = static_cast<int>(m_frames.size());
    if (n <= 1) return 0;
    const int f = std::clamp(frame, 0, n - 1);
    changed = f != m_frame;
    m_frame = f;
    m_elapsed = 0;
    m_picture = m_frames[static_cast<std::size_t>(f)].image;
    m_lastTick = AnimationClock::NowMs();
  }
  m_running = run ? 1 : 0;
  SetRunTimer(run ? 1 : 0);
  if (changed) UpdateControl(1, 0);
  return 1;
}

bool CGifPicture::Advance(int ms) {
  std::lock_guard guard(m_dataLock);
  const int n = static_cast<int>(m_frames.size());
  if (n <= 1 || ms <= 0) return false;
  const int start = m_frame;
  m_elapsed += ms;
  // Bounded: a long stall skips at most one round of frames.
  for (int i = 0; i < n && m_elapsed >= m_frames[static_cast<std::size_t>(m_frame)].delayMs; ++i) {
    m_elapsed -= m_frames[static_cast<std::size_t>(m_frame)].delayMs;
    m_frame = (m_frame + 1) % n;
  }
  if (m_elapsed >= m_frames[static_cast<std::size_t>(m_frame)].delayMs) m_elapsed = 0;
  m_picture = m_frames[static_cast<std::size_t>(m_frame)].image;
  return m_frame != start;
}

int CGifPicture::OnControlTimer() {
  if (!m_running.load()) return 0;
  const long long now = AnimationClock::NowMs();
  int ms = 0;
  {
    std::lock_guard guard(m_dataLock);
    ms = static_cast<int>(now - m_lastTick);
    m_lastTick = now;
  }
  return Advance(ms) ? 1 : 0;
}

void CGifPicture::DrawControl(Painter& painter, CRect) { DrawPicture(painter, m_picture, m_rect); }

}  // namespace Tavex
