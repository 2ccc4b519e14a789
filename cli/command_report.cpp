#include "cli/command_report.h"

#include <algorithm>

#include "cli/failures.h"
#include "cli/json_writer.h"

namespace marlinq::cli {

int CommandReport::KeepingBuffer::overflow(int c) {
    if (c == traits_type::eof()) {
        return traits_type::not_eof(c);
    }
    m_kept.push_back(static_cast<char>(c));
    return m_to->sputc(static_cast<char>(c));
}

std::streamsize CommandReport::KeepingBuffer::xsputn(const char* s, std::streamsize n) {
    m_kept.append(s, static_cast<std::size_t>(n));
    return m_to->sputn(s, n);
}

CommandReport::CommandReport(std::string command, const Args& args, std::ostream& out, std::ostream& err)
    : m_command(std::move(command)),
      m_json(std::find(args.begin(), args.end(), "--json") != args.end()),
      m_out(out),
      m_err(err),
      m_errBuffer(err.rdbuf()),
      m_errStream(&m_errBuffer) {}

void CommandReport::Put(const std::string& key, Value value) {
    for (auto& field : m_fields) {
        if (field.first == key) {
            field.second = std::move(value);
            return;
        }
    }
    m_fields.emplace_back(key, std::move(value));
}

void CommandReport::Add(const std::string& key, long long number) {
    Put(key, number);
}
void CommandReport::Add(const std::string& key, bool value) {
    Put(key, value);
}
void CommandReport::Add(const std::string& key, const std::string& text) {
    Put(key, text);
}
void CommandReport::Add(const std::string& key, const std::vector<std::string>& lines) {
    Put(key, lines);
}

std::string CommandReport::FirstFailure() const {
    const std::string& kept = m_errBuffer.Kept();
    return kept.substr(0, kept.find('\n'));
}

int CommandReport::Finish(int exitCode) {
    m_errStream.flush();
    if (!m_json) {
        return exitCode;
    }
    JsonWriter json;
    json.BeginObject().Field("command", m_command).Field("ok", exitCode == kExitDone).Field("exit", exitCode);
    const std::string failure = FirstFailure();
    json.Key("failure");
    if (failure.empty()) {
        json.Null();
    } else {
        json.String(failure);
    }
    for (const auto& [key, value] : m_fields) {
        json.Key(key);
        if (const auto* number = std::get_if<long long>(&value)) {
            json.Number(*number);
        } else if (const auto* flag = std::get_if<bool>(&value)) {
            json.Bool(*flag);
        } else if (const auto* text = std::get_if<std::string>(&value)) {
            json.String(*text);
        } else {
            json.BeginArray();
            for (const auto& line : std::get<std::vector<std::string>>(value)) {
                json.String(line);
            }
            json.EndArray();
        }
    }
    json.EndObject();
    m_out << json.Text() << std::flush;
    return exitCode;
}

std::vector<std::string> AnswerLines(const std::string& answer) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < answer.size()) {
        std::size_t end = answer.find_first_of("\r\n", start);
        end = end == std::string::npos ? answer.size() : end;
        if (end > start) {
            lines.push_back(answer.substr(start, end - start));
        }
        start = end + 1;
    }
    return lines;
}

}  // namespace marlinq::cli
