// What a module command tells at its end. Without --json nothing more: its log went to standard
// output as it came, its failures to standard error. With --json its log goes to standard error
// instead, and at the end one JSON object goes to standard output: the command, whether it was
// carried out ("ok"), its exit code ("exit"), the first failure's line ("failure", null when none) and what
// the command got (the port, the request and the answer's lines, the file pushed, ...).
#pragma once

#include <iostream>
#include <streambuf>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "cli/commands.h"

namespace marlinq::cli {

class CommandReport {
  public:
    // json: whether args hold "--json" (the option itself is parsed with the others).
    CommandReport(std::string command, const Args& args, std::ostream& out = std::cout,
                  std::ostream& err = std::cerr);
    CommandReport(const CommandReport&) = delete;
    CommandReport& operator=(const CommandReport&) = delete;

    bool Json() const { return m_json; }
    // Where the window's log and the command's own lines go: out, or err with --json.
    std::ostream& Log() { return m_json ? m_err : m_out; }
    // Where failure lines go: err; the first line is kept for the JSON object.
    std::ostream& Err() { return m_errStream; }

    // What the command got, in the order given; a key given again replaces its value.
    void Add(const std::string& key, long long number);
    void Add(const std::string& key, bool value);
    void Add(const std::string& key, const std::string& text);
    void Add(const std::string& key, const std::vector<std::string>& lines);

    // With --json prints the object; returns exitCode.
    int Finish(int exitCode);
    // The first line written to Err(), without its line end.
    std::string FirstFailure() const;

  private:
    // Passes everything on to another buffer and keeps a copy.
    class KeepingBuffer : public std::streambuf {
      public:
        explicit KeepingBuffer(std::streambuf* to) : m_to(to) {}
        const std::string& Kept() const { return m_kept; }

      protected:
        int overflow(int c) override;
        std::streamsize xsputn(const char* s, std::streamsize n) override;
        int sync() override { return m_to->pubsync(); }

      private:
        std::streambuf* m_to;
        std::string m_kept;
    };
    using Value = std::variant<long long, bool, std::string, std::vector<std::string>>;
    void Put(const std::string& key, Value value);

    std::string m_command;
    bool m_json = false;
    std::ostream& m_out;
    std::ostream& m_err;
    KeepingBuffer m_errBuffer;
    std::ostream m_errStream;
    std::vector<std::pair<std::string, Value>> m_fields;
};

// The lines of a module's answer without their line ends, empty lines left out.
std::vector<std::string> AnswerLines(const std::string& answer);

}  // namespace marlinq::cli
