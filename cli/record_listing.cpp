#include "cli/record_listing.h"

#include <algorithm>
#include <iterator>

#include "cli/json_writer.h"

namespace marlinq::cli {

namespace {

using records::ProductionRecord;
using records::StoredRecord;

constexpr const char* kColumns[] = {
    "key",         "started",          "ended",          "station",          "operator", "port",    "imsi",
    "app_version", "hardware_version", "parameter_file", "parameter_sha256", "outcome",  "failure", "unsent",
    "values",      "differences"};

std::string PortText(int port) {
    return port == 0 ? std::string() : "COM" + std::to_string(port);
}

// The values as one line of JSON text.
std::string ValuesJson(const ProductionRecord& r) {
    std::string text = "{";
    for (std::size_t i = 0; i < r.values.size(); ++i) {
        text += (i == 0 ? "" : ", ") + JsonQuoted(r.values[i].name) + ": " + JsonQuoted(r.values[i].value);
    }
    return text + "}";
}

std::string DifferencesJson(const ProductionRecord& r) {
    std::string text = "[";
    for (std::size_t i = 0; i < r.differences.size(); ++i) {
        const auto& d = r.differences[i];
        text += (i == 0 ? "" : ", ") + std::string("{\"name\": ") + JsonQuoted(d.name) +
                ", \"sent\": " + JsonQuoted(d.sent) + ", \"reported\": " + JsonQuoted(d.reported) + "}";
    }
    return text + "]";
}

// The number of characters (UTF-8 code points) of text, for lining up the table's columns.
std::size_t Characters(std::string_view text) {
    std::size_t n = 0;
    for (const char c : text) {
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    }
    return n;
}

// text for a table cell: its first line, control characters as '?', at most limit characters.
std::string Cell(std::string_view text, std::size_t limit) {
    const auto end = text.find_first_of("\r\n");
    const bool cut = end != std::string_view::npos;
    std::string cell;
    std::size_t characters = 0;
    for (const char c : text.substr(0, end)) {
        const auto u = static_cast<unsigned char>(c);
        if ((u & 0xC0) != 0x80 && ++characters > limit) {
            return cell + "...";
        }
        cell += u < 0x20 || u == 0x7F ? '?' : c;
    }
    return cut ? cell + " ..." : cell;
}

}  // namespace

std::string CsvField(std::string_view text) {
    const bool quote = text.find_first_of(",\"\r\n") != std::string_view::npos ||
                       (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!quote) {
        return std::string(text);
    }
    std::string field = "\"";
    for (const char c : text) {
        field += c == '"' ? "\"\"" : std::string(1, c);
    }
    return field + "\"";
}

std::string RecordsCsv(const std::vector<StoredRecord>& list) {
    std::string text;
    for (const char* column : kColumns) {
        text += (text.empty() ? "" : ",") + std::string(column);
    }
    text += "\r\n";
    for (const auto& s : list) {
        const ProductionRecord& r = s.record;
        const std::string fields[] = {r.key,
                                      r.started,
                                      r.ended,
                                      r.station,
                                      r.operatorName,
                                      PortText(r.port),
                                      r.imsi,
                                      r.appVersion,
                                      r.hardwareVersion,
                                      r.parameterFile,
                                      r.parameterSha256,
                                      records::OutcomeText(r.outcome),
                                      r.failure,
                                      s.unsent ? "yes" : "no",
                                      ValuesJson(r),
                                      DifferencesJson(r)};
        for (std::size_t i = 0; i < std::size(fields); ++i) {
            text += (i == 0 ? "" : ",") + CsvField(fields[i]);
        }
        text += "\r\n";
    }
    return text;
}

std::string RecordsJson(const std::vector<StoredRecord>& list) {
    JsonWriter json;
    json.BeginArray();
    for (const auto& s : list) {
        const ProductionRecord& r = s.record;
        json.BeginObject()
            .Field("key", r.key)
            .Field("started", r.started)
            .Field("ended", r.ended)
            .Field("station", r.station)
            .Field("operator", r.operatorName)
            .Field("port", PortText(r.port))
            .Field("imsi", r.imsi)
            .Field("app_version", r.appVersion)
            .Field("hardware_version", r.hardwareVersion)
            .Field("parameter_file", r.parameterFile)
            .Field("parameter_sha256", r.parameterSha256)
            .Field("outcome", records::OutcomeText(r.outcome))
            .Field("failure", r.failure)
            .Field("unsent", s.unsent)
            .Key("values")
            .BeginObject();
        for (const auto& v : r.values) {
            json.Field(v.name, v.value);
        }
        json.EndObject().Key("differences").BeginArray();
        for (const auto& d : r.differences) {
            json.BeginObject()
                .Field("name", d.name)
                .Field("sent", d.sent)
                .Field("reported", d.reported)
                .EndObject();
        }
        json.EndArray().EndObject();
    }
    json.EndArray();
    return json.Text();
}

std::string RecordsTable(const std::vector<StoredRecord>& list) {
    std::vector<std::vector<std::string>> rows = {
        {"STARTED", "OUTCOME", "PORT", "IMSI", "STATION", "PARAMETER FILE", "SENT", "FAILURE"}};
    for (const auto& s : list) {
        const ProductionRecord& r = s.record;
        rows.push_back({r.started, records::OutcomeText(r.outcome), PortText(r.port), r.imsi,
                        Cell(r.station, 24), Cell(r.parameterFile, 40), s.unsent ? "waiting" : "yes",
                        Cell(r.failure, 60)});
    }
    std::vector<std::size_t> widths(rows[0].size(), 0);
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            widths[c] = std::max(widths[c], Characters(row[c]));
        }
    }
    std::string text;
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            line += row[c];
            if (c + 1 < row.size()) {
                line += std::string(widths[c] - Characters(row[c]) + 2, ' ');
            }
        }
        while (!line.empty() && line.back() == ' ') {
            line.pop_back();
        }
        text += line + "\n";
    }
    return text;
}

}  // namespace marlinq::cli
