#include "shared/messages.h"

#include "rtl/strings.h"

namespace shared {

std::string TMessages::Msg(std::string_view key) const {
  for (const std::string& entry : messages_) {
    const size_t bar = entry.find('|');
    const std::string_view entryKey =
        std::string_view(entry).substr(0, bar == std::string::npos ? entry.size() : bar);
    if (rtl::SameText(entryKey, key))
      return bar == std::string::npos ? std::string() : entry.substr(bar + 1);
  }
  return std::string();
}

void TMessages::SetProperty(const std::string& name, const tk::PropValue& value) {
  if (name == "Messages" || name == "Messages.Strings") {
    messages_ = value.asStrings(name);
  } else if (name == "Left" || name == "Top") {
    value.asInteger(name);  // where the designer placed the icon; nothing at run time
  } else {
    tk::TComponent::SetProperty(name, value);
  }
}

}  // namespace shared
