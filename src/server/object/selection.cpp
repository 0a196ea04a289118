#include "server/object/selection.h"

#include <unordered_set>

#include "rtl/strings.h"
#include "server/object/arg_checks.h"
#include "server/object/refusal_texts.h"
#include "server/object/refused.h"
#include "server/storage/tree_code.h"

namespace server {

namespace {

// Bytes of the UTF-8 character starting at `text[at]` (1 for a stray continuation byte; the
// arguments were checked to be UTF-8 before).
size_t charBytes(std::string_view text, size_t at) {
  size_t n = 1;
  while (at + n < text.size() && (static_cast<unsigned char>(text[at + n]) & 0xC0) == 0x80) ++n;
  return n;
}

}  // namespace

std::vector<std::string> parseProductList(std::string_view list) {
  constexpr int kCodeChars = 10;
  std::vector<std::string> codes;
  if (list.empty() || list[0] != '_') throw Refused(messages::kBadList);
  size_t at = 1;
  while (at < list.size()) {
    const size_t start = at;
    for (int k = 0; k < kCodeChars; ++k) {
      if (at >= list.size()) throw Refused(messages::kBadList);
      at += charBytes(list, at);
    }
    if (at >= list.size() || list[at] != '_') throw Refused(messages::kBadList);
    const std::string_view code = list.substr(start, at - start);
    // An entry of blanks names no product.
    if (isBlank(code)) throw Refused(messages::kBadList);
    codes.emplace_back(code);
    ++at;
  }
  if (codes.empty()) throw Refused(messages::kBadList);
  return codes;
}

Selection parseSelection(const SelectionTexts& args) {
  const bool all = parseAllFlag(args.all) == AllFlag::All;
  const bool list = !args.list.empty();
  const bool range = !args.first.empty() || !args.last.empty();
  const int ways = int{all} + int{list} + int{range};
  if (ways == 0) throw Refused(messages::kNoSelection);
  if (ways > 1) throw Refused(messages::kSeveralSelections);

  Selection selection;
  if (all) {
    selection.mode = Selection::Mode::All;
  } else if (list) {
    selection.mode = Selection::Mode::List;
    std::unordered_set<std::string> seen;
    for (std::string& code : parseProductList(args.list))
      if (seen.insert(code).second) selection.codes.push_back(std::move(code));
  } else {
    selection.mode = Selection::Mode::Range;
    selection.first = normalizeTreeCode(args.first);
    selection.last = normalizeTreeCode(args.last);
    if (selection.first.empty()) throw Refused(messages::kFirstRequired);
    if (selection.last.empty()) throw Refused(messages::kLastRequired);
    if (rtl::CompareStr(selection.first, selection.last) > 0)
      throw Refused(messages::kFirstAfterLast);
  }
  return selection;
}

void requireListedProducts(db::Connection& c, const Selection& selection) {
  if (const auto code = firstMissingProduct(c, selection))
    throw Refused(messages::productNotFound(*code));
}

void requireListedItems(db::Connection& c, const Selection& selection, const ValidityKey& key) {
  if (const auto code = firstMissingItem(c, selection, key))
    throw Refused(messages::productNotInValidity(*code));
}

}  // namespace server
