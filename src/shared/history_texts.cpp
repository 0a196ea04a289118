#include "shared/history_texts.h"

namespace shared {

namespace {

constexpr size_t kLeftAloneNamed = 10;

std::string plural(int64_t count, const char* one, const char* many) {
  return Thousands(count) + " " + (count == 1 ? one : many);
}

// "40 nomes e 1.798 indicadores de promoção", or "1.798 produtos" for a change of one part.
template <typename Part, typename Count>
std::string products(const std::vector<Part>& parts, Count count) {
  if (parts.size() == 1) return plural(count(parts[0]), "produto", "produtos");
  std::string text;
  for (const Part& part : parts) {
    if (!text.empty()) text += " e ";
    text += part.column == "NMPRODUTO"
                ? plural(count(part), "nome", "nomes")
                : plural(count(part), "indicador de promoção", "indicadores de promoção");
  }
  return text;
}

std::string csvField(const std::string& text) {
  if (text.find_first_of(";\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

}  // namespace

std::string Thousands(int64_t number) {
  std::string digits = std::to_string(number < 0 ? -number : number);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(at, ".");
  return (number < 0 ? "-" : "") + digits;
}

std::string ColumnWords(const std::string& column) {
  if (column == "NMPRODUTO") return "Nome";
  if (column == "IDPROMOCAO") return "Promoção";
  return column;
}

std::string ChangeCounts(const HistoryChange& change) {
  std::string text = Thousands(change.changed) + " alterados, " + Thousands(change.unchanged) +
                     " já estavam assim";
  if (!change.namesChanged) return text;
  return "nomes: " + Thousands(*change.namesChanged) + " alterados, " +
         Thousands(change.namesUnchanged.value_or(0)) + " já estavam assim; promoção: " + text;
}

std::string UndoQuestion(const HistoryChange& change, const std::vector<UndoPreviewPart>& parts) {
  int64_t left = 0;
  for (const UndoPreviewPart& part : parts) left += part.left;
  std::string text = "Desfazer a alteração " + std::to_string(change.id) + " (" + change.request +
                     ")?\n\n" + products(parts, [](const UndoPreviewPart& p) { return p.back; }) +
                     " voltarão ao valor anterior.";
  if (left > 0)
    text += "\n" + plural(left, "produto alterado depois ficará como está.",
                          "produtos alterados depois ficarão como estão.");
  return text;
}

std::string UndoReport(const HistoryChange& change, const UndoResult& result) {
  std::string text = "Alteração " + std::to_string(change.id) +
                     " desfeita (registrada como alteração " + std::to_string(result.id()) +
                     "): " + products(result.parts, [](const UndoPart& p) { return p.restored; }) +
                     " voltaram ao valor anterior.";
  const int64_t left = result.leftCount();
  if (left == 0) return text;
  text += "\n\n" + plural(left, "produto ficou como está, porque foi alterado depois:",
                          "produtos ficaram como estão, porque foram alterados depois:");
  size_t named = 0;
  for (const UndoPart& part : result.parts) {
    for (const LeftAloneItem& item : part.leftAlone) {
      if (named++ == kLeftAloneNamed) break;
      text += "\n" + item.product +
              (item.now ? " (agora \"" + *item.now + "\")" : std::string(" (não existe mais)"));
    }
  }
  if (left > static_cast<int64_t>(kLeftAloneNamed))
    text += "\ne mais " + Thousands(left - static_cast<int64_t>(kLeftAloneNamed)) + ".";
  return text;
}

std::string CsvHeader() {
  return "Produto;Código;Nome;Campo;Antes;Depois\r\n";
}

std::string CsvLine(const HistoryItem& item) {
  return csvField(item.product) + ";" + csvField(item.treeCode) + ";" + csvField(item.name) + ";" +
         csvField(ColumnWords(item.column)) + ";" + csvField(item.before) + ";" +
         csvField(item.after) + "\r\n";
}

}  // namespace shared
