#include "shared/data_definitions.h"

#include "shared/adoib_query.h"
#include "shared/dtm_db_geral.h"
#include "shared/messages.h"

namespace shared {

void RegisterDataDefinitionClasses(tk::ClassRegistry& registry) {
  registry.add<TMessages>("TMessages");
  registry.add<TADOIBQuery>("TADOIBQuery");
  registry.add<TADOIBDateTimeField>("TADOIBDateTimeField");
  registry.add<TADOIBStringField>("TADOIBStringField");
  registry.add<TdtmDBGeral>("TdtmDBGeral");
  registry.add<TDbConnection>("TDbConnection");
}

}  // namespace shared
