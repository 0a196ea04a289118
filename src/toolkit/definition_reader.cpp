#include "toolkit/definition_reader.h"

#include "rtl/strings.h"

namespace tk {

DefinitionReader::DefinitionReader(const ClassRegistry& classes, TComponent& root,
                                   const HandlerTable& handlers)
    : classes_(classes), root_(root), handlers_(handlers) {}

bool DefinitionReader::IsEventName(std::string_view name) {
  for (std::string_view prefix : {"On", "Before", "After"}) {
    if (name.size() > prefix.size() && name.substr(0, prefix.size()) == prefix &&
        name[prefix.size()] >= 'A' && name[prefix.size()] <= 'Z')
      return true;
  }
  return false;
}

void DefinitionReader::fail(int line, const std::string& what) const {
  throw EDefinitionError(source_ + ":" + std::to_string(line) + ": " + what);
}

void DefinitionReader::Read(std::string_view text, std::string_view source) {
  source_ = source;
  const DefObject root = ParseDefinition(text, source);
  if (definitionsRead_ == 0 && root.inherited)
    fail(root.line, "the first definition of " + root.name + " must start with 'object'");
  if (definitionsRead_ > 0 && !root.inherited)
    fail(root.line, "a definition applied over another must start with 'inherited'");
  ++definitionsRead_;
  root_.SetLoading(true);
  try {
    root_.SetName(root.name);
  } catch (const rtl::Exception& e) {
    fail(root.line, e.message());
  }
  apply(root_, root);
}

void DefinitionReader::apply(TComponent& target, const DefObject& object) {
  for (const DefProperty& p : object.properties) applyProperty(target, p);
  for (const DefObject& child : object.children) applyChild(target, child);
}

void DefinitionReader::applyProperty(TComponent& target, const DefProperty& p) {
  const std::string who = target.Name().empty() ? target.ClassName() : target.Name();
  if (IsEventName(p.name)) {
    if (p.value.kind != PropValue::Kind::Identifier)
      fail(p.line, who + "." + p.name + ": a handler name is expected");
    const EventHandler* handler = handlers_.find(p.value.text);
    if (handler == nullptr) fail(p.line, who + "." + p.name + ": unknown handler " + p.value.text);
    try {
      target.SetEvent(p.name, *handler);
    } catch (const rtl::Exception& e) {
      fail(p.line, e.message());
    }
    return;
  }
  try {
    target.SetProperty(p.name, p.value);
  } catch (const rtl::Exception& e) {
    // Messages of the components name them; those of value conversions do not.
    const bool named = e.message().find(who) != std::string::npos;
    fail(p.line, named ? e.message() : who + ": " + e.message());
  }
}

void DefinitionReader::applyChild(TComponent& enclosing, const DefObject& child) {
  TComponent* existing = root_.FindComponent(child.name);
  if (child.inherited) {
    if (existing == nullptr)
      fail(child.line, "inherited component " + child.name + " does not exist");
    if (!rtl::SameText(existing->ClassName(), child.className))
      fail(child.line, "inherited component " + child.name + " is a " + existing->ClassName() +
                           ", not a " + child.className);
    apply(*existing, child);
    return;
  }
  if (existing != nullptr || rtl::SameText(child.name, root_.Name()))
    fail(child.line, "duplicate name " + child.name);
  if (!classes_.contains(child.className)) fail(child.line, "unknown class " + child.className);
  TComponent* created = nullptr;
  try {
    std::unique_ptr<TComponent> made = classes_.create(child.className, &root_);
    made->SetLoading(true);
    made->SetName(child.name);
    created = root_.InsertOwned(std::move(made));
    enclosing.InsertDefinedChild(created);
  } catch (const rtl::Exception& e) {
    fail(child.line, e.message());
  }
  apply(*created, child);
}

void DefinitionReader::Finish() {
  const size_t count = root_.ComponentCount();
  for (size_t i = 0; i < count; ++i) root_.Components(i)->SetLoading(false);
  root_.SetLoading(false);
  for (size_t i = 0; i < count; ++i) {
    TComponent* c = root_.Components(i);
    try {
      c->Loaded();
    } catch (const EDefinitionError&) {
      throw;
    } catch (const rtl::Exception& e) {
      throw EDefinitionError(c->Name() + ": " + e.message());
    }
  }
  root_.Loaded();
}

}  // namespace tk
