#pragma once
// A growable buffer that the encoders append whole messages to, ready to be written to a
// socket. It is meant to be kept and reused: clear() empties it but keeps its memory, which
// saves the page faults of fresh memory on every large answer.

#include <cstddef>
#include <memory>
#include <string_view>

namespace rpc {

class OutBuffer {
 public:
  OutBuffer();
  ~OutBuffer();
  OutBuffer(OutBuffer&&) noexcept;
  OutBuffer& operator=(OutBuffer&&) noexcept;

  const char* data() const;
  size_t size() const;
  std::string_view view() const { return {data(), size()}; }
  void clear();

  // The MessagePack writer behind the buffer; defined in rpc/detail/wire.h for the encoders.
  struct Impl;
  Impl& impl() { return *impl_; }

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace rpc
