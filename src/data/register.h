#pragma once
// Makes the data classes known to the definition reader by their class names.

#include "toolkit/component.h"

namespace data {

// TClientDataSet, TDataSource, TStringField, TDateTimeField, TIntegerField.
void RegisterDataClasses(tk::ClassRegistry& registry);

}  // namespace data
