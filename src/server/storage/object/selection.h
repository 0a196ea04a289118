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
#include <vector>

namespace server {

struct SelectionArgs {
  std::string first;
  std::string last;
  std::string list;
  std::string all;
};

struct Selection {
  enum class Mode { All, List, Range };
  Mode mode = Mode::All;
  std::vector<std::string> codes;  // List: in list order, each once
  std::string first, last;         // Range: normalised tree codes, first <= last
};

// Throws Refused with the message for the user when the selection is not usable.
Selection parseSelection(const SelectionArgs& args);

// The codes of a well-formed list, in order and with repeats; throws Refused otherwise.
std::vector<std::string> parseProductList(std::string_view list);

}  // namespace server
