#include "server/storage/object/change_run.h"

namespace server {

int64_t runChange(Storage& storage, ChangeRecord record, const ChangeSteps& steps) {
  auto connection = storage.connection();
  db::Transaction tx(*connection, db::TxMode::Write);
  if (steps.verify) steps.verify(*connection);
  record.rows = steps.apply(*connection);
  recordChange(*connection, record);
  tx.commit();
  return record.rows;
}

}  // namespace server
