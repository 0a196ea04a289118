#pragma once
// The four methods of Vnd42400.rdmHistorico, one function each, bound to the remote contract by
// history_object.cpp, which has checked and decoded their arguments. Each checks the caller's
// rights (history_access.h) and its arguments itself, answers with rows, refuses by throwing
// Refused, and fails with StorageError.

#include "server/object/history_calls.h"
#include "server/object/server_object.h"
#include "server/storage/storage.h"

namespace server::history {

// The most rows one page may ask for.
inline constexpr int64_t kMostChanges = 500;
inline constexpr int64_t kMostItems = 1000;
// The most products a restore's answer lists as left alone, per part.
inline constexpr size_t kMostLeftAloneListed = 100;

Answer getAlteracoes(Storage& storage, const ChangesCall& call, const CallContext& context);
Answer getItensAlteracao(Storage& storage, const ItemsPageCall& call, const CallContext& context);
Answer getPreviaRestauracao(Storage& storage, const RestoreCall& call, const CallContext& context);
Answer setRestauraAlteracao(Storage& storage, const RestoreCall& call, const CallContext& context);

}  // namespace server::history
