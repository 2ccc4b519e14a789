// Times of the records: UTC written as ISO 8601 with a Z ("2026-12-10T02:23:00Z"). Written that
// way, text order is time order, so the stores compare them as text.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace records {

// "YYYY-MM-DDTHH:MM:SSZ" of when, to the second (rounded down).
std::string UtcTimestamp(std::chrono::system_clock::time_point when);

// True when text is a time as UtcTimestamp writes it, with a real date (no 2026-02-30) and a
// real time of day.
bool IsUtcTimestamp(std::string_view text);

// The first moment of a --since argument: a date "YYYY-MM-DD" (its midnight, UTC) or a time as
// UtcTimestamp writes it. Nothing for any other text.
std::optional<std::string> SinceBound(std::string_view text);

}  // namespace records
