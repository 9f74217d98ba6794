#include "runs/run_digest.h"

#include <cstring>
#include <optional>
#include <type_traits>
#include <vector>

#include "rules/run_fields.h"

namespace {

// Each value is mixed in as one 64-bit word: a few operations per value, so
// folding the whole state at every tick costs little beside the tick itself.
class Digest {
 public:
  explicit Digest(std::uint64_t start) : value(start) {}
  template <typename T>
  void add(T v) {
    static_assert(sizeof(T) <= sizeof(std::uint64_t), "one word a value");
    std::uint64_t word = 0;
    std::memcpy(&word, &v, sizeof(T));
    value = (value ^ word) * 0x9e3779b97f4a7c15ULL;
    value ^= value >> 29;
  }
  template <typename T, size_t N>
  void addAll(const T (&values)[N]) {
    for (const T& v : values) add(v);
  }
  std::uint64_t value;
};

// Folds in the fields of the one list (rules/run_fields.h) that are state
// of a run of this kind: each value a word, a place or a box its parts, a
// roster its size and then each fighter.
struct Folder {
  Digest& d;
  bool since3;  // the run is of format version 3 or later

  void operator()(const Position& p, Kept kept) {
    if (!counts(kept)) return;
    d.add(p.x);
    d.add(p.y);
    d.add(p.facingRight);
  }
  void operator()(const Hitbox& box, Kept kept) {
    if (!counts(kept)) return;
    (*this)(box.position, kept);
    d.add(box.halfWidth);
    d.add(box.halfHeight);
  }
  void operator()(const AttackBox& blow, Kept kept) {
    if (!counts(kept)) return;
    (*this)(blow.getBox(), kept);
    d.add(blow.getDamage());
  }
  template <typename T, size_t N>
  void operator()(const T (&values)[N], Kept kept) {
    if (counts(kept)) d.addAll(values);
  }
  void operator()(const std::optional<Player>& hero, Kept kept) {
    if (counts(kept) && hero) forEachHeroField(*hero, *this);
  }
  void operator()(const std::vector<Character>& roster, Kept kept) {
    if (!counts(kept)) return;
    d.add(roster.size());
    for (const Character& fighter : roster) forEachFighterField(fighter, *this);
  }
  void operator()(const std::vector<Element>& sprites, Kept kept) {
    if (!counts(kept)) return;
    d.add(sprites.size());
    for (const Element& sprite : sprites) forEachElementField(sprite, *this);
  }
  void operator()(const Chance& chance, Kept kept) {
    if (!counts(kept)) return;
    d.addAll(chance.table);
    d.add(chance.front);
    d.add(chance.rear);
    d.add(chance.fresh);
    d.add(chance.lastSeed);
    d.add(chance.seeded);
  }
  void operator()(const TickPace& pace, Kept kept) {
    if (!counts(kept)) return;
    d.add(pace.num);
    d.add(pace.den);
  }
  // Everything else is one word, or apart (a listener, a pointer, a picture).
  template <typename T>
  void operator()(const T& value, Kept kept) {
    if constexpr (std::is_arithmetic_v<T> || std::is_enum_v<T>) {
      if (counts(kept)) d.add(value);
    } else {
      (void)value;
      // Only what is apart may be of another kind: state must be folded in.
      if (kept != Kept::Apart) unfolded = true;
    }
  }

  bool counts(Kept kept) const { return kept == Kept::State || (kept == Kept::StateSince3 && since3); }
  bool unfolded = false;
};

}  // namespace

std::uint64_t runStateDigest(const Run& run) {
  Digest d(kRunDigestStart);
  // Runs at 3 ms ticks (format versions 1 and 2) fold in what they folded then.
  Folder fold{d, !run.pace.classic};
  forEachRunField(run, fold);
  return d.value;
}

bool everyStateFieldIsFolded(const Run& run) {
  Digest d(kRunDigestStart);
  Folder fold{d, true};
  forEachRunField(run, fold);
  return !fold.unfolded;
}

std::uint64_t foldRunDigest(std::uint64_t digest, const Run& run) {
  Digest d(digest);
  d.add(runStateDigest(run));
  return d.value;
}
