#include "shared/varnoke.h"

namespace Varnoke {
namespace {
Session& storage() {
  static Session session;
  return session;
}
}  // namespace

void SetSession(const Session& session) {
  storage() = session;
}
const Session& CurrentSession() {
  return storage();
}

std::string FiliProc() {
  return storage().branch;
}
std::string NomeFiliProc() {
  return storage().branchName;
}
bool ModuFili() {
  return storage().branchLocked;
}
std::string WebURL() {
  return storage().serverHost;
}
int WebPort() {
  return storage().serverPort;
}

std::string DBPict(TPictType type) {
  switch (type) {
    case ptProduto:
      return storage().productMask;
  }
  return {};
}

}  // namespace Varnoke
