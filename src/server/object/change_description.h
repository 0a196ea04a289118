#pragma once
// What a change asked for, in words, as the history shows it (DSPEDIDO): read from the
// selection it recorded, the two selections of a change in two together.
//
//   Colocar na promoção: todos os produtos
//   Retirar da promoção: produtos de 0000000001 a 0000000050
//   Adicionar o prefixo "PROMO " e colocar na promoção: lista de 40 produtos
//   Desfazer a alteração 17
//
// A prefix is shown as a JSON string and cut to 60 characters; a selection that is not a JSON
// object of this server's is shown as recorded, cut to the column's 250 characters.

#include <string>

#include "server/storage/journal/journal_reader.h"

namespace server {

std::string describeRequest(const JournalEntry& entry);

}  // namespace server
