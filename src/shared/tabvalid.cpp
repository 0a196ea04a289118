#include "shared/tabvalid.h"

#include "shared/consiste.h"
#include "toolkit/edit_mask.h"

namespace Tabvalid {

void ValidEx(data::TDataSource* /*source*/, Varnoke::TPictType type, std::string& value,
             TValidOptions /*options*/, const std::string& /*filter*/, bool /*mandatory*/) {
  const tk::EditMask mask(Varnoke::DBPict(type));
  if (mask.empty()) return;
  // Every input position counts as required here, optional ones too: a code is either whole
  // or not a code. Codes are ASCII, so a position is a byte of the edit text.
  const std::string edit = mask.editTextFromText(value);
  bool whole = mask.conform(edit) == edit && static_cast<int>(edit.size()) == mask.length();
  for (int i = 0; whole && i < mask.length(); ++i) {
    const char c = edit[static_cast<size_t>(i)];
    if (!mask.isLiteral(i) && (c == mask.blank() || c == ' ')) whole = false;
  }
  if (!whole) Consiste::MensErro("Código incompleto ou inválido: \"" + value + "\".", true);
}

}  // namespace Tabvalid
