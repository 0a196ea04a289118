#pragma once
// Pesqlista: the multi-selection list of the family's screens. It offers the rows of a data
// source with a check mark each and keeps the marking as a selection list: "" for none,
// otherwise "_" + key + "_" + key + ... + "_", every key at its key field's size (padded with
// blanks or cut), e.g. "_0000000001_0000000002_" for two 10-character product codes.
// A field IDMARCADO, when the data set has one, is where the family keeps the mark: the
// list draws its own check marks in its place rather than showing the field's text.

#include <string>
#include <string_view>
#include <vector>

namespace data {
class TDataSource;
}

namespace Pesqlista {

// The list for `keys`, each brought to `width` characters.
std::string MakeSelectionList(const std::vector<std::string>& keys, int width);
// The keys of a selection list of `width`-character keys; text that does not follow the
// format gives the keys it can (a list must never stop the user from picking again).
std::vector<std::string> SelectionListKeys(std::string_view list, int width);

// Offers the rows of `source` titled `title`, with the rows whose `keyField` value is in
// `list` marked. When the user confirms, `list` becomes the marked rows' keys in the format
// above ("" when none is marked); when the user cancels, `list` is left as it was.
// `showAll` is the family's call convention; it changes nothing here.
void PesquisaLista(data::TDataSource* source, const std::string& keyField,
                   const std::string& title, bool showAll, std::string& list);

}  // namespace Pesqlista
