#pragma once
// The 64-bit FNV-1a hash: bytes folded one by one into a word. Names are
// told apart by it (base/console.h) and runs of the first format hash their
// state with it (runs/run_log.h): both fold the same way, so it is said once.

#include <cstddef>
#include <cstdint>

constexpr std::uint64_t kFnvStart = 0xcbf29ce484222325ULL;

// `hash` with the `size` bytes at `bytes` folded in, in order.
inline std::uint64_t fnv1a(std::uint64_t hash, const void* bytes, std::size_t size) {
  const unsigned char* at = static_cast<const unsigned char*>(bytes);
  for (std::size_t i = 0; i < size; ++i) {
    hash ^= at[i];
    hash *= 0x100000001b3ULL;
  }
  return hash;
}
