#include "features/HostFunctions.h"

#include <charconv>

#include "features/AssignmentKinds.h"
#include "store/ProfileStore.h"

namespace {

// The whole text must be a decimal number.
bool ParseProfileId(const std::string& text, int32_t& id) {
  const char* end = text.data() + text.size();
  const auto [ptr, error] = std::from_chars(text.data(), end, id);
  return error == std::errc() && ptr == end;
}

HostOutcome Opened(bool ok) { return ok ? HostOutcome::Opened : HostOutcome::OpenFailed; }

}  // namespace

HostOutcome RunHostFunction(ProfileStore& store, int32_t rowId, const HostActions& actions) {
  std::string desc;
  std::string param;
  int32_t type = 0;
  if (!store.GetKeyOtherData(rowId, desc, param, type)) return HostOutcome::Nothing;
  switch (type) {
    case assign::kProgram:
      if (param.empty() || !actions.open) return HostOutcome::Nothing;
      return Opened(actions.open(param));
    case assign::kWebAddress: {
      const std::string target = assign::WebAddressTarget(desc);
      if (target.empty() || !actions.open) return HostOutcome::Nothing;
      return Opened(actions.open(target));
    }
    case assign::kText:
      if (desc.empty() || !actions.paste) return HostOutcome::Nothing;
      return actions.paste(desc) ? HostOutcome::Pasted : HostOutcome::PasteFailed;
    case assign::kProfileSwitch: {
      int32_t profile = 0;
      std::string name;
      // A row naming a profile that was deleted since does nothing.
      if (!ParseProfileId(param, profile) || !store.GetProfileName(profile, name) ||
          !actions.showProfile)
        return HostOutcome::Nothing;
      actions.showProfile(profile);
      return HostOutcome::ProfileShown;
    }
    default: return HostOutcome::Nothing;
  }
}
