// The logs the benchmark and the output comparison use, by name. Each is
// generated again from its recipe whenever it is needed.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "log_generator.h"

namespace tav::bench {

struct NamedLog {
  std::string_view name;
  LogRecipe recipe;
};

// small, medium and large are the benchmark's three sizes; oddmail and
// oddforum carry the awkward shapes for the output comparison; smokemail
// and smokeforum are the tiny logs of the CI smoke run.
const std::vector<NamedLog>& NamedLogs();

std::optional<NamedLog> FindLog(std::string_view name);

}  // namespace tav::bench
