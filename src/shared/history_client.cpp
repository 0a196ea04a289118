#include "shared/history_client.h"

#include <charconv>

#include "contract/remote_contract.h"
#include "rtl/exceptions.h"
#include "shared/consiste.h"
#include "shared/net_connection.h"
#include "shared/showavi.h"
#include "shared/varnoke.h"
#include "toolkit/application.h"

namespace shared {

namespace {

namespace rdm = contract::historico;

// An answer's packet, read by column name: the server's columns are texts, numbers written in
// decimal.
class Rows {
 public:
  explicit Rows(const rtl::Variant& data)
      : packet_(data.kind() == rtl::VarKind::Packet ? data.asPacket() : nullptr) {}

  size_t count() const { return packet_ ? packet_->rowCount() : 0; }

  std::string text(size_t row, std::string_view column) const {
    const rtl::PacketColumn& values = packet_->column(index(column));
    return values.isNull(row) ? std::string() : std::string(values.string(row));
  }
  std::optional<int64_t> optionalNumber(size_t row, std::string_view column) const {
    const std::string value = text(row, column);
    if (value.empty()) return std::nullopt;
    int64_t number = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (error != std::errc() || end != value.data() + value.size())
      throw rtl::ERemoteError("O servidor de aplicação respondeu \"" + value + "\" em " +
                              std::string(column) + ", onde se esperava um número.");
    return number;
  }
  int64_t number(size_t row, std::string_view column) const {
    return optionalNumber(row, column).value_or(0);
  }

 private:
  size_t index(std::string_view column) const {
    const int found = packet_->fieldIndex(column);
    if (found < 0)
      throw rtl::ERemoteError("A resposta do servidor de aplicação não tem a coluna " +
                              std::string(column) + ".");
    return static_cast<size_t>(found);
  }

  std::shared_ptr<const rtl::DataPacket> packet_;
};

rtl::Variant whole(int64_t number) {
  return rtl::Variant(static_cast<int32_t>(number));
}

}  // namespace

int64_t HistoryChange::itemCount() const {
  if (!discarded.empty() || column.empty()) return 0;
  return changed + namesChanged.value_or(0);
}

int64_t UndoResult::restored() const {
  int64_t total = 0;
  for (const UndoPart& part : parts) total += part.restored;
  return total;
}

int64_t UndoResult::leftCount() const {
  int64_t total = 0;
  for (const UndoPart& part : parts) total += part.leftCount;
  return total;
}

HistoryClient::HistoryClient() : connection_(std::make_unique<TNetConnection>()) {
  connection_->SetServerName(std::string(contract::kHistorico.name));
}

HistoryClient::~HistoryClient() = default;

namespace {

// One call the way the screens make them (vnd42406's call frame): the animation shows for the
// whole of it, connecting included, and goes whatever happens.
rtl::Variant callServer(TNetConnection& connection, const contract::Method& method,
                        const std::vector<rtl::Variant>& args) {
  try {
    Showavi::ActiveShowAvi(tk::Application().MainForm(), Showavi::aviServidor);
    if (!connection.Connected()) {
      connection.SetHost(Varnoke::WebURL());
      connection.SetPort(Varnoke::WebPort());
      connection.SetConnected(true);
    }
    const rtl::Variant answer = connection.AppServer().Invoke(std::string(method.name), args);
    rtl::Variant data = Consiste::CheckResultServ(answer, true, 0);
    Showavi::DeactiveShowAvi();
    return data;
  } catch (...) {
    Showavi::DeactiveShowAvi();
    throw;
  }
}

}  // namespace

std::vector<HistoryChange> HistoryClient::Changes(const HistoryFilter& filter, int64_t before,
                                                  int count) {
  const Rows rows(callServer(
      *connection_, rdm::GetAlteracoes,
      {filter.branch, filter.table, rtl::Variant::FromDate(filter.validityStart), filter.user,
       filter.since, filter.until, filter.method, whole(before), whole(count)}));
  std::vector<HistoryChange> changes(rows.count());
  for (size_t i = 0; i < rows.count(); ++i) {
    HistoryChange& c = changes[i];
    c.id = rows.number(i, "ID");
    c.when = rows.text(i, "DTALTERACAO");
    c.user = rows.text(i, "DSUSUARIO");
    c.machine = rows.text(i, "DSMAQUINA");
    c.address = rows.text(i, "DSENDERECO");
    c.method = rows.text(i, "DSMETODO");
    c.branch = rows.text(i, "CDFILIAL");
    c.table = rows.text(i, "CDTABEPREC");
    c.validityStart = rows.text(i, "DTINIVGPREC");
    c.request = rows.text(i, "DSPEDIDO");
    c.changed = rows.number(i, "QTLINHAS");
    c.unchanged = rows.number(i, "QTINALTERADAS");
    c.namesChanged = rows.optionalNumber(i, "QTNOMES");
    c.namesUnchanged = rows.optionalNumber(i, "QTNOMESINALTERADOS");
    c.column = rows.text(i, "DSCAMPO");
    c.restores = rows.optionalNumber(i, "IDRESTAURADA");
    c.discarded = rows.text(i, "DTDESCARTE");
    c.undoable = rows.text(i, "IDDESFAZIVEL") == "S";
  }
  return changes;
}

std::vector<HistoryItem> HistoryClient::Items(int64_t change, int64_t offset, int count) {
  const Rows rows(callServer(*connection_, rdm::GetItensAlteracao,
                             {whole(change), whole(offset), whole(count)}));
  std::vector<HistoryItem> items(rows.count());
  for (size_t i = 0; i < rows.count(); ++i)
    items[i] = {rows.text(i, "CDPRODUTO"), rows.text(i, "CDARVPROD"), rows.text(i, "NMPRODUTO"),
                rows.text(i, "DSCAMPO"),   rows.text(i, "DSANTES"),   rows.text(i, "DSDEPOIS")};
  return items;
}

std::vector<UndoPreviewPart> HistoryClient::Preview(int64_t change) {
  const Rows rows(callServer(*connection_, rdm::GetPreviaRestauracao,
                             {whole(change), rtl::Variant::FromBool(false)}));
  std::vector<UndoPreviewPart> parts(rows.count());
  for (size_t i = 0; i < rows.count(); ++i)
    parts[i] = {rows.text(i, "DSCAMPO"), rows.number(i, "QTVOLTAM"), rows.number(i, "QTFICAM")};
  return parts;
}

UndoResult HistoryClient::Undo(int64_t change) {
  const Rows rows(callServer(*connection_, rdm::SetRestauraAlteracao,
                             {whole(change), rtl::Variant::FromBool(false)}));
  UndoResult result;
  for (size_t i = 0; i < rows.count(); ++i) {
    const std::string product = rows.text(i, "CDPRODUTO");
    // A part opens with its totals, a row without a product.
    if (product.empty()) {
      result.parts.push_back({rows.text(i, "DSCAMPO"),
                              rows.number(i, "IDALTERACAO"),
                              rows.number(i, "QTRESTAURADAS"),
                              rows.number(i, "QTDEIXADAS"),
                              {}});
    } else if (!result.parts.empty()) {
      result.parts.back().leftAlone.push_back(
          {product, rows.text(i, "IDEXISTE") == "N"
                        ? std::nullopt
                        : std::optional<std::string>(rows.text(i, "DSATUAL"))});
    }
  }
  return result;
}

}  // namespace shared
