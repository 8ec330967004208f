#include "bench_logs.h"

namespace tav::bench {

const std::vector<NamedLog>& NamedLogs() {
  static const std::vector<NamedLog> logs = {
      {"small", {LogKind::Mail, 1, 70'000, 0, false}},
      {"medium", {LogKind::Forum, 2, 1'000'000, 0, false}},
      {"large", {LogKind::Forum, 3, 0, 100'000'000, false}},
      {"oddmail", {LogKind::Mail, 11, 30'000, 0, true}},
      {"oddforum", {LogKind::Forum, 12, 30'000, 0, true}},
      {"smokemail", {LogKind::Mail, 21, 3'000, 0, false}},
      {"smokeforum", {LogKind::Forum, 22, 5'000, 0, false}},
  };
  return logs;
}

std::optional<NamedLog> FindLog(std::string_view name) {
  for (const NamedLog& log : NamedLogs()) {
    if (log.name == name) return log;
  }
  return std::nullopt;
}

}  // namespace tav::bench
