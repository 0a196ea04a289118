#pragma once
// Makes the shared library's data-side classes known to the definition reader: the message
// catalogue, the definition-only query with its field classes, the data module and its
// connections.

#include "toolkit/component.h"

namespace shared {

// TMessages, TADOIBQuery, TADOIBDateTimeField, TADOIBStringField, TdtmDBGeral, TDbConnection.
void RegisterDataDefinitionClasses(tk::ClassRegistry& registry);

}  // namespace shared
