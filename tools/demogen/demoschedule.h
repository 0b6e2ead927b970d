#pragma once
// The contract proper of the demo: header, counties, sites, notes and the
// schedule of items.

#include <cstdint>

namespace kestrel {
class CContract;
}

namespace kestrel::demo {

// Seconds since 1970-01-01 00:00 UTC of a calendar date and time (UTC).
uint32_t DemoDate(int year, int month, int day, int hour = 0, int minute = 0);

// Header texts, dates, flags, number formats, counties, sites, notes and
// other-report records.
void FillDemoHeader(CContract& contract);

// The demo's schedule: sections with their items, alternate sections and
// items, options, fixed-price and lump-sum items.
void FillDemoSchedule(CContract& contract);

// A generated schedule of about `items` items in sections of 40, for the
// benchmarks.
void FillLargeSchedule(CContract& contract, int items);

} // namespace kestrel::demo
