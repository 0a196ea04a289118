#pragma once
// A small price-table catalogue served by the fake server, so that screen tests talk to
// something that answers like the real server: three branches, their price tables, the
// validity periods of table 0001/001 and its items.
//
//   branches  0001 Matriz, 0002 Filial Centro, A1B2 Loja Shopping
//   tables    0001: 001 Tabela Varejo, 002 Tabela Atacado; 0002: 003 Tabela Centro
//   periods   0001/001: 01/11/2026-30/11/2026, 01/12/2026-31/12/2026, 01/01/2027-30/06/2027
//   items     of 0001/001 from 01/12/2026: 0000000001 12.34.5678 Arroz Tipo 1,
//             0000000002 12.34.5679 Feijão Carioca, 0000000003 98.76.5432 Óleo de Soja

#include "support/fake_server.h"

namespace screentest {

void ServeCatalogue(testsupport::FakeServer& server);

}  // namespace screentest
