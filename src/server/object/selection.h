#pragma once
// The product selection of the change methods, as the screen sends it in four texts (first
// product, last product, product selection list, all flag), and its checked form.
//
// Exactly one way must be filled in: the all flag "T"; a non-empty list; a first and a last
// product (a range is filled in when either text is not empty). The product selection list
// has this grammar, counted in characters:
//
//   list  := "_" entry+
//   entry := code "_"          code := exactly 10 characters, a CDPRODUTO value as stored,
//                                      trailing blanks included; "_" may occur inside it
//
// so a list of n products has 11 * n + 1 characters. A range names product tree codes as
// typed under the edit mask; both ends are normalised (tree_code.h) and must keep at least
// one letter or digit, and the first must not sort after the last.

#include <string>
#include <string_view>
#include <vector>

#include "server/storage/db/connection.h"
#include "server/storage/selection_sql.h"

namespace server {

// The four texts of a selection, as sent.
struct SelectionTexts {
  std::string_view first;
  std::string_view last;
  std::string_view list;
  std::string_view all;
};

template <typename Call>
SelectionTexts selectionTexts(const Call& call) {
  return {call.first, call.last, call.list, call.all};
}

// Throws Refused with the message for the user when the selection is not usable.
Selection parseSelection(const SelectionTexts& texts);

// The codes of a well-formed list, in order and with repeats; throws Refused otherwise.
std::vector<std::string> parseProductList(std::string_view list);

// In list mode, refuse with the first listed code (in list order) that is not a product, or not
// an item of the validity.
void requireListedProducts(db::Connection& c, const Selection& selection);
void requireListedItems(db::Connection& c, const Selection& selection, const ValidityKey& key);

}  // namespace server
