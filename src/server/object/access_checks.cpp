#include "server/object/access_checks.h"

#include "server/object/refusal_texts.h"
#include "server/object/refused.h"

namespace server {

void requireRight(const CallContext& context, Right right) {
  if (context.access && !context.access->may(right))
    throw Refused(messages::rightNotGranted(context.access->account, right));
}

void requireBranch(const CallContext& context, std::string_view branch) {
  if (!reachesBranch(context, branch))
    throw Refused(messages::branchNotGranted(context.access->account, branch));
}

bool reachesBranch(const CallContext& context, std::string_view branch) {
  return !context.access || context.access->reaches(branch);
}

}  // namespace server
