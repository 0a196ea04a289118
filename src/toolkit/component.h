#pragma once
// TComponent: the root of everything a form is built from. A component has a name and an
// owner; the owner owns it (frees it when the owner is freed, in reverse order of creation)
// and finds it by name. Components are built from a form definition: the definition reader
// creates them by class name through a ClassRegistry, sets their properties by name with
// SetProperty and binds their events by handler name with SetEvent. A component that does not
// know a property or event raises EDefinitionError naming it.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "rtl/exceptions.h"

namespace tk {

class TComponent;

// A definition error: an unknown class, property, event or handler, a value of the wrong
// kind. The message names what was not understood and where.
class EDefinitionError : public rtl::Exception {
 public:
  using rtl::Exception::Exception;
  const char* className() const noexcept override { return "EDefinitionError"; }
};

// A property value as the definition writes it.
struct PropValue {
  enum class Kind { Integer, String, Identifier, List, Set, Binary };
  Kind kind = Kind::Integer;
  int64_t integer = 0;
  std::string text;              // String: the text; Identifier: the name; Binary: the bytes
  std::vector<PropValue> items;  // List: the items; Set: identifiers

  static PropValue Int(int64_t v) { return {Kind::Integer, v, {}, {}}; }
  static PropValue Str(std::string v) { return {Kind::String, 0, std::move(v), {}}; }
  static PropValue Ident(std::string v) { return {Kind::Identifier, 0, std::move(v), {}}; }

  // Checked readers; each raises EDefinitionError naming `property` on a kind mismatch.
  int64_t asInteger(std::string_view property) const;
  const std::string& asString(std::string_view property) const;
  const std::string& asIdentifier(std::string_view property) const;
  bool asBoolean(std::string_view property) const;  // the identifiers True / False
  std::vector<std::string> asStrings(std::string_view property) const;  // a list of strings
};

// Why a form closes, and what closing it does (the close handler may change it).
enum class TCloseAction { caNone, caHide, caFree, caMinimize };

// Event handlers as a form publishes them. Every event passes its sender; some pass more.
using TNotifyEvent = std::function<void(TComponent* sender)>;
using TCloseEvent = std::function<void(TComponent* sender, TCloseAction& action)>;
using TBeforeSearchEvent = std::function<void(TComponent* sender, bool& cancel)>;
using EventHandler = std::variant<TNotifyEvent, TCloseEvent, TBeforeSearchEvent>;

// The handlers a form class publishes, by name.
class HandlerTable {
 public:
  void add(std::string name, EventHandler handler);
  // nullptr when no handler has that name.
  const EventHandler* find(std::string_view name) const;

 private:
  std::map<std::string, EventHandler, std::less<>> handlers_;
};

class TComponent {
 public:
  // With an owner, the new component is owned by it (see Create / InsertOwned).
  explicit TComponent(TComponent* owner = nullptr);
  virtual ~TComponent();
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  // Creates a component of type T owned by this one and returns it.
  template <class T, class... Args>
  T* Create(Args&&... args) {
    auto owned = std::make_unique<T>(this, std::forward<Args>(args)...);
    T* raw = owned.get();
    adopt(std::move(owned));
    return raw;
  }
  // Takes ownership of a component built elsewhere (the definition reader's factories).
  TComponent* InsertOwned(std::unique_ptr<TComponent> component);

  const std::string& Name() const { return name_; }
  void SetName(std::string name);
  TComponent* Owner() const { return owner_; }

  // The owned component of that name (exact, case-insensitive as names are), or nullptr.
  TComponent* FindComponent(std::string_view name) const;
  // Frees an owned component now (its own components first). Does nothing for a component
  // this one does not own.
  void FreeOwned(TComponent* component);
  size_t ComponentCount() const { return components_.size(); }
  TComponent* Components(size_t index) const { return components_[index].get(); }

  virtual const char* ClassName() const { return "TComponent"; }

  // Sets a property by its definition name ("Left", "Font.Style", "Items"). The base knows
  // "Name" and "Tag"; subclasses handle theirs and defer to their base for the rest, which
  // finally raises EDefinitionError naming the class and the property.
  virtual void SetProperty(const std::string& name, const PropValue& value);
  // Binds an event ("OnClick") to a handler. Unknown events and handlers of the wrong
  // signature raise EDefinitionError.
  virtual void SetEvent(const std::string& name, const EventHandler& handler);
  // The definition nests `child` inside this component: a container control makes it a child
  // control, a data set makes it one of its fields. The base refuses with EDefinitionError.
  virtual void InsertDefinedChild(TComponent* child);
  // Called on every component once its whole definition has been read.
  virtual void Loaded() {}
  // True while the definition reader is building this component: change events are quiet.
  bool Loading() const { return loading_; }
  void SetLoading(bool loading) { loading_ = loading; }

  int Tag() const { return tag_; }

 protected:
  // Raised by subclasses for an event they do not have or a handler of another signature.
  [[noreturn]] void unknownProperty(const std::string& name) const;
  [[noreturn]] void wrongHandler(const std::string& event) const;

 private:
  void adopt(std::unique_ptr<TComponent> component);

  std::string name_;
  TComponent* owner_ = nullptr;
  std::vector<std::unique_ptr<TComponent>> components_;
  bool loading_ = false;
  int tag_ = 0;
};

// Builds components by class name for the definition reader.
class ClassRegistry {
 public:
  using Factory = std::function<std::unique_ptr<TComponent>(TComponent* owner)>;

  void add(std::string className, Factory factory);
  template <class T>
  void add(std::string className) {
    add(std::move(className),
        [](TComponent* owner) -> std::unique_ptr<TComponent> { return std::make_unique<T>(owner); });
  }
  // Raises EDefinitionError "unknown class <name>" when no factory has that name.
  std::unique_ptr<TComponent> create(std::string_view className, TComponent* owner) const;
  bool contains(std::string_view className) const;

 private:
  std::map<std::string, Factory, std::less<>> factories_;
};

// Reads a handler of a given signature from an EventHandler, or raises wrongHandler.
template <class Fn>
const Fn* handlerAs(const EventHandler& handler) {
  return std::get_if<Fn>(&handler);
}

}  // namespace tk
