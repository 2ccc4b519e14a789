// How `marlinq-cli records` prints records: a table for people, CSV and JSON for programs.
//
// CSV: one header line, then one line per record (RFC 4180: a field with a comma, a quote, a line
// end or a leading or trailing blank is quoted, its quotes doubled). The values sent and the
// differences, which have any number of entries, are one field each holding JSON text:
// {"tcp.Port": "5020", ...} and [{"name": ..., "sent": ..., "reported": ...}, ...].
//
// JSON: an array with one object per record; its fields are named as the CSV header names them,
// "values" an object and "differences" an array.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "records/stored_record.h"

namespace marlinq::cli {

std::string RecordsTable(const std::vector<records::StoredRecord>& list);
std::string RecordsCsv(const std::vector<records::StoredRecord>& list);
std::string RecordsJson(const std::vector<records::StoredRecord>& list);

// text as one CSV field.
std::string CsvField(std::string_view text);

}  // namespace marlinq::cli
