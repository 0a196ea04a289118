#pragma once
// The remote contract between the screen and its application server, written once and read by
// both sides: the server objects, and per method its name, its arguments in order (name and
// the wire kinds each accepts; a by-reference string is the kind StringRef) and the columns of
// the packet its answer carries. The screen's call frame checks its calls against it before
// sending, the server's dispatcher checks every request against it before a method runs, and
// the test fakes answer with its columns. A method that answers without rows has no columns.
//
// Everything here is constexpr data; the tables live for the whole program.

#include <cstdint>
#include <span>
#include <string_view>

#include "rtl/data_packet.h"
#include "rtl/variant.h"

namespace contract {

// A set of argument kinds.
class Kinds {
 public:
  constexpr Kinds(rtl::VarKind kind) : bits_(bit(kind)) {}  // NOLINT: one kind is a set
  constexpr Kinds operator|(Kinds other) const { return Kinds(bits_ | other.bits_); }
  constexpr bool has(rtl::VarKind kind) const { return (bits_ & bit(kind)) != 0; }
  constexpr bool onlyAmong(Kinds other) const { return (bits_ & ~other.bits_) == 0; }

 private:
  constexpr explicit Kinds(uint16_t bits) : bits_(bits) {}
  static constexpr uint16_t bit(rtl::VarKind kind) {
    return static_cast<uint16_t>(1u << static_cast<unsigned>(kind));
  }
  uint16_t bits_;
};

constexpr Kinds operator|(rtl::VarKind a, rtl::VarKind b) {
  return Kinds(a) | Kinds(b);
}

struct Param {
  std::string_view name;
  Kinds kinds;
};

// A column of an answer packet: every column the server answers with is a string of at most
// `size` characters.
struct Column {
  std::string_view name;
  int size;
};

struct Method {
  std::string_view name;
  std::span<const Param> params;
  std::span<const Column> answer;
};

struct ServerObject {
  std::string_view name;
  std::span<const Method* const> methods;
};

namespace kinds {
using K = rtl::VarKind;
inline constexpr Kinds text = K::String;
inline constexpr Kinds ref = K::StringRef;
inline constexpr Kinds date = K::Date;
inline constexpr Kinds dateOrDayNumber = K::Date | K::Integer;
inline constexpr Kinds boolean = K::Boolean;
inline constexpr Kinds integer = K::Integer;
inline constexpr Kinds packetOrNull = K::Packet | K::Null;
}  // namespace kinds

// The server object of the price tables and its eight methods.
namespace tabe_preco {
using namespace kinds;

inline constexpr Param kBranchAll[] = {{"branch", text}, {"all", text}};
inline constexpr Param kBranch[] = {{"branch", text}};
inline constexpr Param kValidities[] = {{"branch", text},
                                        {"table", text},
                                        {"validityStart", dateOrDayNumber},
                                        {"all", text},
                                        {"dateFormat", ref}};
inline constexpr Param kValidity[] = {{"branch", text}, {"table", text}, {"validityStart", date}};
inline constexpr Param kProduct[] = {
    {"branch", text}, {"table", text}, {"validityStart", date}, {"product", text}};
inline constexpr Param kPrefix[] = {
    {"prefix", ref}, {"first", ref}, {"last", ref}, {"list", ref}, {"all", ref}};
inline constexpr Param kPromotion[] = {{"promotion", ref},    {"first", ref},
                                       {"last", ref},         {"list", ref},
                                       {"all", ref},          {"products", packetOrNull},
                                       {"listMode", boolean}, {"branch", text},
                                       {"table", text},       {"validityStart", date}};

inline constexpr Column kBranchColumns[] = {
    {"CDFILIAL", 4},     {"NMFILIAL", 30},    {"CDSEGMER", 5},   {"SEGMENTO", 48},
    {"IDPRECDIFCOM", 1}, {"CDGRPRODPDV", 10}, {"GRUPOPROD", 53}, {"IDUTMODPRODFIL", 1}};
inline constexpr Column kTableColumns[] = {{"CDFILIAL", 4}, {"CDTABEPREC", 3}, {"NMTABEPREC", 20}};
inline constexpr Column kValidityColumns[] = {{"DTINIVGPREC", 30}, {"DTFINVGPREC", 30}};
inline constexpr Column kItemColumns[] = {
    {"IDMARCADO", 1}, {"CDPRODUTO", 10}, {"CDARVPROD", 20}, {"NMPRODUTO", 50}};
inline constexpr Column kProductColumns[] = {
    {"CDPRODUTO", 10}, {"CDARVPROD", 20}, {"NMPRODUTO", 50}};

inline constexpr Method GetFilial{"GetFilial", kBranchAll, kBranchColumns};
inline constexpr Method GetTabePrec{"GetTabePrec", kBranch, kTableColumns};
inline constexpr Method getVigencia{"getVigencia", kValidities, kValidityColumns};
inline constexpr Method GetAutItemPreco{"GetAutItemPreco", kValidity, kItemColumns};
inline constexpr Method GetProdValid{"GetProdValid", kProduct, kProductColumns};
inline constexpr Method SetAddPrefixo{"SetAddPrefixo", kPrefix, {}};
inline constexpr Method SetDelPrefixo{"SetDelPrefixo", kPrefix, {}};
inline constexpr Method SetUpdItemPrecoAlt{"SetUpdItemPrecoAlt", kPromotion, {}};

inline constexpr const Method* kMethods[] = {&GetFilial,       &GetTabePrec,       &getVigencia,
                                             &GetAutItemPreco, &GetProdValid,      &SetAddPrefixo,
                                             &SetDelPrefixo,   &SetUpdItemPrecoAlt};
}  // namespace tabe_preco

inline constexpr ServerObject kTabePreco{"Vnd42400.rdmTabePreco", tabe_preco::kMethods};

// The server object of the journal of changes: who changed what, and putting a change back.
// Texts left empty and numbers left 0 filter nothing; times are UTC, written
// "YYYY-MM-DD[ HH:MM[:SS]]". Every number in an answer is written in decimal.
namespace historico {
using namespace kinds;

// The changes, newest first: those numbered below `before` (0: from the newest on), at most
// `count`, recorded in [since, until).
inline constexpr Param kChanges[] = {
    {"branch", text}, {"table", text},     {"validityStart", dateOrDayNumber},
    {"user", text},   {"since", text},     {"until", text},
    {"method", text}, {"before", integer}, {"count", integer}};
// The products of one change (either number of a change recorded in two), the names' part
// first, each part by product code: `count` of them from position `offset` (from 0).
inline constexpr Param kItems[] = {{"change", integer}, {"offset", integer}, {"count", integer}};
// `stacked`: also take back the later changes that touched the same rows (not yet honoured:
// refused while true).
inline constexpr Param kRestore[] = {{"change", integer}, {"stacked", boolean}};

// QTLINHAS and QTINALTERADAS count the change (of one recorded in two, its flags' part);
// QTNOMES and QTNOMESINALTERADOS the names' part of one recorded in two, empty otherwise.
// DSPEDIDO says what was asked, in words; DSENDERECO is where the call came from. IDDESFAZIVEL
// is "S" when the caller may undo the change and its rows are kept.
inline constexpr Column kChangeColumns[] = {
    {"ID", 20},          {"DTALTERACAO", 23},        {"DSUSUARIO", 100}, {"DSMAQUINA", 100},
    {"DSENDERECO", 100}, {"DSMETODO", 81},           {"CDFILIAL", 4},    {"CDTABEPREC", 3},
    {"DTINIVGPREC", 10}, {"DSPEDIDO", 250},          {"QTLINHAS", 20},   {"QTINALTERADAS", 20},
    {"QTNOMES", 20},     {"QTNOMESINALTERADOS", 20}, {"DSCAMPO", 20},    {"IDRESTAURADA", 20},
    {"DTDESCARTE", 23},  {"IDDESFAZIVEL", 1}};
// DSCAMPO: NMPRODUTO (a name) or IDPROMOCAO (the promotion flag); CDARVPROD and NMPRODUTO are
// the product's as it is now, empty when it no longer exists.
inline constexpr Column kItemColumns[] = {{"CDPRODUTO", 10}, {"CDARVPROD", 20}, {"NMPRODUTO", 50},
                                          {"DSCAMPO", 20},   {"DSANTES", 50},   {"DSDEPOIS", 50}};
// One row per part of the change: how many rows would go back now, and how many would be left
// alone (changed again since).
inline constexpr Column kPreviewColumns[] = {{"DSCAMPO", 20}, {"QTVOLTAM", 20}, {"QTFICAM", 20}};
// Per part of the change restored, a row with its totals (CDPRODUTO empty), then a row per
// product it left alone (the first 100), the totals repeated: DSATUAL is that product's value
// now, IDEXISTE "N" when it no longer exists.
inline constexpr Column kRestoreColumns[] = {
    {"DSCAMPO", 20},   {"IDALTERACAO", 20}, {"QTRESTAURADAS", 20}, {"QTDEIXADAS", 20},
    {"CDPRODUTO", 10}, {"DSATUAL", 50},     {"IDEXISTE", 1}};

inline constexpr Method GetAlteracoes{"GetAlteracoes", kChanges, kChangeColumns};
inline constexpr Method GetItensAlteracao{"GetItensAlteracao", kItems, kItemColumns};
inline constexpr Method GetPreviaRestauracao{"GetPreviaRestauracao", kRestore, kPreviewColumns};
inline constexpr Method SetRestauraAlteracao{"SetRestauraAlteracao", kRestore, kRestoreColumns};

inline constexpr const Method* kMethods[] = {&GetAlteracoes, &GetItensAlteracao,
                                             &GetPreviaRestauracao, &SetRestauraAlteracao};
}  // namespace historico

inline constexpr ServerObject kHistorico{"Vnd42400.rdmHistorico", historico::kMethods};

// The server objects a client may attach to.
inline constexpr const ServerObject* kServerObjects[] = {&kTabePreco, &kHistorico};

// The method `name` of `object`, or nullptr.
const Method* findMethod(const ServerObject& object, std::string_view name);

// 0 when `args` fit the method: as many as it takes, each of a kind it accepts at its position
// (`kindOf(arg)` tells an argument's kind). Otherwise the 1-based position to report: for a
// wrong count the first position past the shorter list, else the first argument of a wrong kind.
template <typename Args, typename KindOf>
size_t firstMisfit(const Method& method, const Args& args, KindOf kindOf) {
  if (args.size() != method.params.size())
    return (args.size() < method.params.size() ? args.size() : method.params.size()) + 1;
  for (size_t i = 0; i < args.size(); ++i)
    if (!method.params[i].kinds.has(kindOf(args[i]))) return i + 1;
  return 0;
}

// A packet with the method's answer columns and no rows.
rtl::DataPacket answerPacket(const Method& method);

}  // namespace contract
