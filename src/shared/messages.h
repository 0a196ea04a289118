#pragma once
// TMessages: a screen's message catalogue. Its Messages property is an ordered list of
// entries "key|text"; Msg looks a key up without regard to (ASCII) letter case and returns
// the text exactly as stored. The component owns nothing but its list; a definition may
// replace the whole list (a screen's catalogue replaces its base form's).

#include <string>
#include <string_view>
#include <vector>

#include "toolkit/component.h"

namespace shared {

class TMessages : public tk::TComponent {
 public:
  explicit TMessages(tk::TComponent* owner = nullptr) : tk::TComponent(owner) {}
  const char* ClassName() const override { return "TMessages"; }

  const std::vector<std::string>& Messages() const { return messages_; }
  void SetMessages(std::vector<std::string> entries) { messages_ = std::move(entries); }

  // The text of the first entry whose key (the part before the first "|") equals `key`
  // ignoring ASCII case: everything after that "|", unchanged (no trimming; later "|" are
  // part of the text). An entry without "|" is a key with an empty text. A key that is in no
  // entry gives "": the screens only ask for keys their catalogue holds, and an empty text
  // is the least surprising thing to show if one is ever missing.
  std::string Msg(std::string_view key) const;

  // "Messages" (also written "Messages.Strings"): the list of entries.
  void SetProperty(const std::string& name, const tk::PropValue& value) override;

 private:
  std::vector<std::string> messages_;
};

}  // namespace shared
