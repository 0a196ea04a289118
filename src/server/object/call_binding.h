#pragma once
// Binds a method of the remote contract to a method body that reads its arguments by name: the
// i-th member named in the binding takes the i-th argument of the contract, moved out of the
// call once. The member's type says what it takes, and the compiler checks it against the
// kinds the contract accepts:
//
//   std::string    String, StringRef
//   double         Date, or Integer read as a day count (days since 1899-12-30)
//   bool           Boolean
//   int64_t        Integer
//   PacketRef      Packet, or Null as nullptr
//
// Text that is not clean (storage/clean_text.h) is refused here, naming its position, before the
// body runs; a Refused thrown by the body becomes the refusal answer.

#include <cstdint>
#include <memory>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>

#include "server/object/refusal_texts.h"
#include "server/object/refused.h"
#include "server/object/server_object.h"
#include "server/storage/clean_text.h"

namespace server {

using PacketRef = std::shared_ptr<const rtl::DataPacket>;

namespace binding {

template <typename T>
struct MemberOf;
template <typename C, typename T>
struct MemberOf<T C::*> {
  using Class = C;
  using Type = T;
};

template <typename T>
constexpr contract::Kinds takes() {
  using K = rtl::VarKind;
  using contract::operator|;
  if constexpr (std::is_same_v<T, std::string>) return K::String | K::StringRef;
  if constexpr (std::is_same_v<T, double>) return K::Date | K::Integer;
  if constexpr (std::is_same_v<T, bool>) return K::Boolean;
  if constexpr (std::is_same_v<T, int64_t>) return K::Integer;
  if constexpr (std::is_same_v<T, PacketRef>) return K::Packet | K::Null;
}

// Moves one checked argument into its member; false for text that is not clean.
inline bool take(std::string& member, rpc::WireValue& arg) {
  member = std::move(arg.text);
  return isCleanText(member);
}
inline bool take(double& member, rpc::WireValue& arg) {
  member = arg.kind == rpc::WireKind::Integer ? arg.integer : arg.date;
  return true;
}
inline bool take(bool& member, rpc::WireValue& arg) {
  member = arg.boolean;
  return true;
}
inline bool take(int64_t& member, rpc::WireValue& arg) {
  member = arg.integer;
  return true;
}
inline bool take(PacketRef& member, rpc::WireValue& arg) {
  member = std::move(arg.packet);
  return true;
}

template <const contract::Method& M, auto... Members, size_t... I>
constexpr bool fits(std::index_sequence<I...>) {
  return ((M.params[I].kinds.onlyAmong(takes<typename MemberOf<decltype(Members)>::Type>())) &&
          ...);
}

}  // namespace binding

// The call struct of M filled from `args`. Throws Refused for text that is not clean.
template <const contract::Method& M, auto... Members>
auto decodeCall(CallArgs& args) {
  using First = std::tuple_element_t<0, std::tuple<decltype(Members)...>>;
  using Call = typename binding::MemberOf<First>::Class;
  static_assert(sizeof...(Members) == M.params.size(), "one member per argument of the method");
  static_assert(binding::fits<M, Members...>(std::index_sequence_for<decltype(Members)...>{}),
                "a member cannot take every kind the method accepts at its position");
  Call call;
  size_t position = 0;
  const auto one = [&](auto member) {
    if (!binding::take(call.*member, args[position++]))
      throw Refused(messages::invalidText(static_cast<int>(position)));
  };
  (one(Members), ...);
  return call;
}

// A method entry whose handler decodes the call and runs `body(call, context)`, turning a
// refusal into its answer. Every call that gets here, refused or not, is the next call after
// the connection's previous one (connection_memory.h).
template <const contract::Method& M, auto... Members, typename Body>
MethodSpec bindMethod(Body body, bool waitsForLocks = false) {
  MethodSpec entry;
  entry.contract = &M;
  entry.waitsForLocks = waitsForLocks;
  entry.handler = [body = std::move(body)](const CallContext& context, CallArgs& args) -> Answer {
    context.memory.startCall();
    try {
      return body(decodeCall<M, Members...>(args), context);
    } catch (const Refused& refusal) {
      return Answer::refuse(refusal.what());
    }
  };
  return entry;
}

}  // namespace server
