#pragma once
// The one path between the screen and its server. Every remote call: show the busy
// animation, gather the arguments (read only now, so a failure in reading one takes the same
// way out as a failed call), call the method by name, check the answer, load its packet into
// the target data set, hide the animation. On any exception the animation is hidden and the
// same exception goes on; nothing already done is undone, and a target that was not loaded
// keeps what it held.

#include <functional>
#include <vector>

#include "rtl/variant.h"
#include "vnd42406/remote/method_catalogue.h"

namespace data {
class TClientDataSet;
}
namespace remote {
class TSocketConnection;
}

namespace vnd42406 {

using ArgumentGatherer = std::function<std::vector<rtl::Variant>()>;

// `target` is null for the change methods, whose answer is checked and dropped.
void CallFrame(remote::TSocketConnection& connection, const RemoteMethod& method,
               const ArgumentGatherer& gather, data::TClientDataSet* target);

}  // namespace vnd42406
