#include "toolkit/component.h"

#include <algorithm>

#include "rtl/strings.h"

namespace tk {

int64_t PropValue::asInteger(std::string_view property) const {
  if (kind != Kind::Integer)
    throw EDefinitionError("property " + std::string(property) + ": an integer is expected");
  return integer;
}

const std::string& PropValue::asString(std::string_view property) const {
  if (kind != Kind::String)
    throw EDefinitionError("property " + std::string(property) + ": a string is expected");
  return text;
}

const std::string& PropValue::asIdentifier(std::string_view property) const {
  if (kind != Kind::Identifier)
    throw EDefinitionError("property " + std::string(property) + ": a name is expected");
  return text;
}

bool PropValue::asBoolean(std::string_view property) const {
  if (kind == Kind::Identifier) {
    if (rtl::SameText(text, "True")) return true;
    if (rtl::SameText(text, "False")) return false;
  }
  throw EDefinitionError("property " + std::string(property) + ": True or False is expected");
}

std::vector<std::string> PropValue::asStrings(std::string_view property) const {
  if (kind != Kind::List)
    throw EDefinitionError("property " + std::string(property) + ": a list of strings is expected");
  std::vector<std::string> out;
  out.reserve(items.size());
  for (const PropValue& item : items) out.push_back(item.asString(property));
  return out;
}

void HandlerTable::add(std::string name, EventHandler handler) {
  handlers_.insert_or_assign(std::move(name), std::move(handler));
}

const EventHandler* HandlerTable::find(std::string_view name) const {
  const auto it = handlers_.find(name);
  return it == handlers_.end() ? nullptr : &it->second;
}

TComponent::TComponent(TComponent* owner) : owner_(owner) {}

TComponent::~TComponent() {
  // Components go in reverse order of creation, so later ones may still use earlier ones.
  while (!components_.empty()) components_.pop_back();
}

TComponent* TComponent::InsertOwned(std::unique_ptr<TComponent> component) {
  TComponent* raw = component.get();
  adopt(std::move(component));
  return raw;
}

void TComponent::adopt(std::unique_ptr<TComponent> component) {
  component->owner_ = this;
  components_.push_back(std::move(component));
}

void TComponent::FreeOwned(TComponent* component) {
  const auto it = std::find_if(components_.begin(), components_.end(),
                               [component](const auto& c) { return c.get() == component; });
  if (it == components_.end()) return;
  // Take it out of the list first, so the owner never holds a dangling entry while the
  // component's destructor runs.
  std::unique_ptr<TComponent> doomed = std::move(*it);
  components_.erase(it);
}

void TComponent::SetName(std::string name) {
  name_ = std::move(name);
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  if (name.empty()) return nullptr;
  for (const auto& c : components_)
    if (rtl::SameText(c->name_, name)) return c.get();
  return nullptr;
}

void TComponent::SetProperty(const std::string& name, const PropValue& value) {
  if (name == "Name") {
    SetName(value.asString(name));
  } else if (name == "Tag") {
    tag_ = static_cast<int>(value.asInteger(name));
  } else {
    unknownProperty(name);
  }
}

void TComponent::SetEvent(const std::string& name, const EventHandler&) {
  throw EDefinitionError(std::string(ClassName()) + " " + name_ + ": unknown event " + name);
}

void TComponent::InsertDefinedChild(TComponent* child) {
  throw EDefinitionError(std::string(ClassName()) + " " + name_ + " cannot contain " +
                         child->ClassName() + " " + child->Name());
}

void TComponent::unknownProperty(const std::string& name) const {
  throw EDefinitionError(std::string(ClassName()) + " " + name_ + ": unknown property " + name);
}

void TComponent::wrongHandler(const std::string& event) const {
  throw EDefinitionError(std::string(ClassName()) + " " + name_ + ": the handler bound to " +
                         event + " has the wrong signature");
}

void ClassRegistry::add(std::string className, Factory factory) {
  factories_.insert_or_assign(std::move(className), std::move(factory));
}

std::unique_ptr<TComponent> ClassRegistry::create(std::string_view className,
                                                  TComponent* owner) const {
  const auto it = factories_.find(className);
  if (it == factories_.end()) throw EDefinitionError("unknown class " + std::string(className));
  return it->second(owner);
}

bool ClassRegistry::contains(std::string_view className) const {
  return factories_.find(className) != factories_.end();
}

}  // namespace tk
