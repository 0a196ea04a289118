#pragma once
// The product family's shared data module and the database connections it holds. Query
// definitions name these connections ("dtmDBGeral.adcGeral"); this client never opens a
// database (all rows come from the application server), so the connections are definitions
// only and refuse to open. The module is a unit global like the original: the first one
// created is dtmDBGeral() until it is freed; names resolve through it when it exists and
// simply resolve to nothing when it does not.

#include <string>
#include <string_view>

#include "toolkit/component.h"

namespace shared {

// A named database connection that is never connected. Open raises EDatabaseError.
class TDbConnection : public tk::TComponent {
 public:
  explicit TDbConnection(tk::TComponent* owner = nullptr) : tk::TComponent(owner) {}
  const char* ClassName() const override { return "TDbConnection"; }

  bool Connected() const { return false; }
  [[noreturn]] void Open();

  // "Connected" (False only), "LoginPrompt", "Left", "Top".
  void SetProperty(const std::string& name, const tk::PropValue& value) override;
};

// The data module: owns adcGeral, dtbGeral and ibtGeral, and is named dtmDBGeral.
class TdtmDBGeral : public tk::TComponent {
 public:
  explicit TdtmDBGeral(tk::TComponent* owner = nullptr);
  ~TdtmDBGeral() override;
  const char* ClassName() const override { return "TdtmDBGeral"; }

  TDbConnection* adcGeral;
  TDbConnection* dtbGeral;
  TDbConnection* ibtGeral;
};

// The live data module, or nullptr.
TdtmDBGeral* dtmDBGeral();

// Resolves a component reference of a definition: "Module.Component" names a component of
// the live data module (when the module name matches), or of a component of that name owned
// by `from`'s owner; a plain "Component" is looked up in `from`'s owner. nullptr when it is
// not there.
tk::TComponent* ResolveComponentPath(const tk::TComponent& from, std::string_view path);

}  // namespace shared
