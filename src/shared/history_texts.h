#pragma once
// The words the desk uses about the journal of changes, in Brazilian Portuguese, each made in
// one place: the question before undoing a change, the report after, a change's counts, and a
// change's products as CSV (for the clipboard or a file a spreadsheet opens).
//
// CSV: one header line, then a line per product; fields separated by ";" (the separator the
// region's spreadsheets expect, the comma being the decimal point), a field holding ";", a
// quote or a line break quoted with doubled quotes; lines end in CRLF:
//   Produto;Código;Nome;Campo;Antes;Depois
//   PRD0000001;01.01.0001;Arroz;Promoção;N;S

#include <cstdint>
#include <string>
#include <vector>

#include "shared/history_records.h"

namespace shared {

// 1800 -> "1.800".
std::string Thousands(int64_t number);
// "Nome" for NMPRODUTO, "Promoção" for IDPROMOCAO.
std::string ColumnWords(const std::string& column);
// "1.800 alterados, 200 já estavam assim", names first for a change in two parts.
std::string ChangeCounts(const HistoryChange& change);

// "Desfazer a alteração 12 (...)? 1.798 produtos voltarão ao valor anterior; 2, alterados
// depois, ficarão como estão."
std::string UndoQuestion(const HistoryChange& change, const std::vector<UndoPreviewPart>& parts);
// "Alteração 12 desfeita (registrada como alteração 15): ..." with the products left alone
// listed, the first ten of them.
std::string UndoReport(const HistoryChange& change, const UndoResult& result);

std::string CsvHeader();
std::string CsvLine(const HistoryItem& item);

}  // namespace shared
