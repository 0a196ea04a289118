#pragma once
// What the journal's process tests share: the arguments of SetUpdItemPrecoAlt on the main
// price table 0001/001, as the screen sends them, and product selection lists.

#include <string>
#include <vector>

#include "rtl/variant.h"

namespace servertest {

// The selection texts of an update; they are passed by reference, so they must outlive the
// arguments made of them.
struct Update {
  std::string flag, first, last, list, all;
};

inline std::vector<rtl::Variant> updateArgs(Update& u, double start) {
  return {rtl::Variant::ByRef(u.flag),
          rtl::Variant::ByRef(u.first),
          rtl::Variant::ByRef(u.last),
          rtl::Variant::ByRef(u.list),
          rtl::Variant::ByRef(u.all),
          rtl::Variant::Null(),
          rtl::Variant::FromBool(!u.list.empty()),
          "0001",
          "001",
          rtl::Variant::FromDate(start)};
}

inline std::string listOf(const std::vector<std::string>& codes) {
  std::string list = "_";
  for (const std::string& code : codes) list += code + "_";
  return list;
}

}  // namespace servertest
