#pragma once
// The rights and branches a call needs, checked by the server on every call whatever the client
// did: a refusal names the account and what it may not do, and nothing has been read or changed
// yet. A caller without access limits (a server without accounts) passes every check.

#include <string_view>

#include "server/object/server_object.h"

namespace server {

// Throw Refused unless the caller holds `right`, or reaches `branch`.
void requireRight(const CallContext& context, Right right);
void requireBranch(const CallContext& context, std::string_view branch);
// True when the caller may see `branch` (lists hold only those).
bool reachesBranch(const CallContext& context, std::string_view branch);

}  // namespace server
