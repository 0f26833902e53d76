#include "tavex/TempFonts.h"

#include <sys/mman.h>
#include <unistd.h>

#include "tavex/MRender.h"
#include "tavex/Painter.h"

namespace Tavex {
namespace {

std::mutex& RegistryLock() {
  static std::mutex lock;
  return lock;
}
std::map<CString, std::vector<CString>>& Registered() {
  static std::map<CString, std::vector<CString>> files;
  return files;
}

// A resource's bytes as a file fontconfig can open: an anonymous memory file kept open for the
// life of the process, named through /proc/self/fd. Empty when it cannot be made.
CString ResourceFile(unsigned resourceId) {
  std::vector<std::uint8_t> bytes;
  if (!MRender::FindResource(resourceId, "ttf", &bytes) || bytes.empty()) return {};
  const int fd = memfd_create(("tavex-font-" + std::to_string(resourceId)).c_str(), MFD_CLOEXEC);
  if (fd < 0) return {};
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) {
      close(fd);
      return {};
    }
    done += static_cast<std::size_t>(n);
  }
  return "/proc/self/fd/" + std::to_string(fd);  // the descriptor stays open on purpose
}

}  // namespace

TempFonts::TempFonts() = default;
TempFonts::~TempFonts() = default;

std::vector<CString> TempFonts::RegisterFile(const CString& path) {
  if (path.empty()) return {};
  std::lock_guard guard(RegistryLock());
  auto it = Registered().find(path);
  if (it != Registered().end()) return it->second;
  std::vector<CString> families = AddFontFile(path);
  if (!families.empty()) Registered()[path] = families;
  return families;
}

std::vector<CString> TempFonts::RegisterResource(unsigned resourceId) {
  const CString key = "#" + std::to_string(resourceId) + "/ttf";
  {
    std::lock_guard guard(RegistryLock());
    auto it = Registered().find(key);
    if (it != Registered().end()) return it->second;
  }
  const CString file = ResourceFile(resourceId);
  if (file.empty()) return {};
  std::vector<CString> families = AddFontFile(file);
  std::lock_guard guard(RegistryLock());
  // Another thread may have registered it meanwhile; the first record stays.
  auto [it, inserted] = Registered().emplace(key, families);
  return it->second;
}

const TempFontFamily* TempFonts::Add(const CString& family, const CString& file) {
  if (family.empty()) return nullptr;
  if (const TempFontFamily* known = Find(family)) return known;
  std::vector<CString> provided = RegisterFile(file);
  if (provided.empty()) return nullptr;
  auto entry = std::make_unique<TempFontFamily>(TempFontFamily{family, std::move(provided), file});
  std::lock_guard guard(m_lock);
  auto [it, inserted] = m_families.emplace(family, std::move(entry));
  return it->second.get();
}

const TempFontFamily* TempFonts::Add(const CString& family, unsigned resourceId) {
  if (family.empty()) return nullptr;
  if (const TempFontFamily* known = Find(family)) return known;
  std::vector<CString> provided = RegisterResource(resourceId);
  if (provided.empty()) return nullptr;
  auto entry = std::make_unique<TempFontFamily>(
      TempFontFamily{family, std::move(provided), "#" + std::to_string(resourceId) + "/ttf"});
  std::lock_guard guard(m_lock);
  auto [it, inserted] = m_families.emplace(family, std::move(entry));
  return it->second.get();
}

const TempFontFamily* TempFonts::Find(const CString& family) const {
  std::lock_guard guard(m_lock);
  const auto it = m_families.find(family);
  return it == m_families.end() ? nullptr : it->second.get();
}

void TempFonts::Clear() {
  std::lock_guard guard(m_lock);
  for (auto& [name, entry] : m_families) m_retired.push_back(std::move(entry));
  m_families.clear();
}

std::size_t TempFonts::Size() const {
  std::lock_guard guard(m_lock);
  return m_families.size();
}

bool TempFonts::AddGDI(unsigned resourceId) {
  if (RegisterResource(resourceId).empty()) return false;
  std::lock_guard guard(m_lock);
  m_gdi.insert(resourceId);
  return true;
}

bool TempFonts::HasGDI(unsigned resourceId) const {
  std::lock_guard guard(m_lock);
  return m_gdi.count(resourceId) != 0;
}

}  // namespace Tavex
