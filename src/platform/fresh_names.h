// The names of fresh files, for every file system: ".tav-", 16 random
// hexadecimal digits and ".tmp". Random, so that two runs (or a run and a
// user's file) do not even try the same name; the exclusive creation
// settles the rest. One name serves every write of its owner in turn (each
// fresh file is renamed away before the next is made), which the system
// finds again faster than a new name per file.
#pragma once

#include <cstdint>
#include <random>
#include <string>

namespace tav {

class FreshNames {
 public:
  // Seeded from the system's entropy and the process.
  FreshNames();
  // Seeded as given: the same names every time (for tests).
  explicit FreshNames(std::uint64_t seed) : random_(seed) {}

  // Makes a file under a fresh name: `create(name)` (the bare file name)
  // returns what it made, and `clashed(made)` tells whether a file of that
  // name was there already, in which case the next name is tried.
  template <typename Create, typename Clashed>
  auto MakeFresh(Create create, Clashed clashed) -> decltype(create(std::string())) {
    for (int attempt = 1;; ++attempt) {
      if (name_.empty()) name_ = NextName();
      auto made = create(name_);
      if (!clashed(made) || attempt == kAttempts) return made;
      name_.clear();
    }
  }

  // Whether `name` is one of these names (so possibly a run's leftover).
  static bool IsFreshName(std::string_view name);

 private:
  static constexpr int kAttempts = 100;
  std::string NextName();

  std::mt19937_64 random_;
  std::string name_;
};

}  // namespace tav
