#include "data/register.h"

#include "data/client_data_set.h"
#include "data/data_source.h"
#include "data/fields.h"

namespace data {

void RegisterDataClasses(tk::ClassRegistry& registry) {
  registry.add<TClientDataSet>("TClientDataSet");
  registry.add<TDataSource>("TDataSource");
  registry.add<TStringField>("TStringField");
  registry.add<TDateTimeField>("TDateTimeField");
  registry.add<TIntegerField>("TIntegerField");
}

}  // namespace data
