#include "atlink/at_log.h"
#include "platform/app_directory.h"

#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <regex>
#include <thread>
#include <vector>

#include "atlink/at_serial_port.h"
#include "tests/support/calendar_time.h"
#include "tests/support/sim_fixture.h"

extern char** environ;

namespace {

class AtLogFile : public ::testing::Test {
  protected:
    void SetUp() override {
        m_dir = std::filesystem::temp_directory_path() /
                ("marlinq-atlog-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
        m_path = (m_dir / "AtLog.ini").string();
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    std::filesystem::path m_dir;
    std::string m_path;
    std::FILE* m_stream = nullptr;
};

}  // namespace

TEST(AtLogLine, ComposesDateTimeLabelTextAndLineEnd) {
    const std::tm when = testsupport::CalendarTime(2024, 1, 31, 14, 5, 9);
    EXPECT_EQ(atlink::ComposeAtLogLine("AT+CSQ\r\n", false, when, when),
              "01/31/2024 14:05:09 Send: AT+CSQ\r\n\r\n");
    EXPECT_EQ(atlink::ComposeAtLogLine("OK", true, when, when), "01/31/2024 14:05:09 Recv: OK\r\n");
    // Only a single trailing CR is dropped; CR LF stays.
    EXPECT_EQ(atlink::ComposeAtLogLine("OK\r", true, when, when), "01/31/2024 14:05:09 Recv: OK\r\n");
    EXPECT_EQ(atlink::ComposeAtLogLine("OK\r\r", true, when, when), "01/31/2024 14:05:09 Recv: OK\r\r\n");
    EXPECT_EQ(atlink::AtLogDiskBytes("a\r\n\n"), "a\r\r\n\r\n");
}

TEST_F(AtLogFile, StoresEveryLineFeedAsCrLf) {
    atlink::AppendAtLogLine(m_path, "AT+CSQ\r\n", false, &m_stream);
    EXPECT_EQ(m_stream, nullptr);  // nothing stays open between lines
    atlink::AppendAtLogLine(m_path, "\r\n+CSQ: 23,99\r\n\r\nOK\r", true, &m_stream);
    const std::string bytes = testsupport::ReadFile(m_path);
    const std::regex expected(
        "\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d Send: AT\\+CSQ\r\r\n\r\r\n"
        "\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d Recv: \r\r\n\\+CSQ: 23,99\r\r\n\r\r\nOK\r\r\n");
    EXPECT_TRUE(std::regex_match(bytes, expected)) << bytes;
}

TEST_F(AtLogFile, EmptyTextCreatesTheFileWithoutALine) {
    ASSERT_FALSE(std::filesystem::exists(m_path));
    atlink::AppendAtLogLine(m_path, "", true, &m_stream);
    ASSERT_TRUE(std::filesystem::exists(m_path));
    EXPECT_EQ(std::filesystem::file_size(m_path), 0u);
}

TEST_F(AtLogFile, BytesAbove127PassUnchanged) {
    atlink::AppendAtLogLine(m_path, "\xC4\xE3\xBA\xC3", true, &m_stream);
    EXPECT_NE(testsupport::ReadFile(m_path).find("Recv: \xC4\xE3\xBA\xC3\r\r\n"), std::string::npos);
}

TEST_F(AtLogFile, AnUnopenableFileCostsOnlyTheLine) {
    const std::string path = "/dev/null/AtLog.ini";  // not a directory, even for root
    atlink::AppendAtLogLine(path, "AT\r\n", false, &m_stream);
    EXPECT_EQ(m_stream, nullptr);
}

TEST_F(AtLogFile, TwoThreadsLoggingAtOnceLoseNoLine) {
    constexpr int kLines = 1000;
    auto writer = [&](const char* tag) {
        std::FILE* stream = nullptr;
        for (int i = 0; i < kLines; ++i) {
            atlink::AppendAtLogLine(m_path, std::string(tag) + std::to_string(i) + "\r\n", false, &stream);
        }
    };
    std::thread a(writer, "A");
    std::thread b(writer, "B");
    a.join();
    b.join();
    const std::string bytes = testsupport::ReadFile(m_path);
    const std::regex line("\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d Send: ([AB])(\\d+)\r\r\n\r\r\n");
    int next[2] = {0, 0};
    std::size_t consumed = 0;
    for (auto it = std::sregex_iterator(bytes.begin(), bytes.end(), line); it != std::sregex_iterator();
         ++it) {
        ASSERT_EQ(static_cast<std::size_t>(it->position()), consumed) << "garbled text before a line";
        consumed += static_cast<std::size_t>(it->length());
        const int who = (*it)[1] == "A" ? 0 : 1;
        EXPECT_EQ(std::stoi((*it)[2]), next[who]) << "lines of one thread out of order";
        ++next[who];
    }
    EXPECT_EQ(consumed, bytes.size());
    EXPECT_EQ(next[0], kLines);
    EXPECT_EQ(next[1], kLines);
}

TEST_F(AtLogFile, RecordsOfSeveralProcessesNeverInterleave) {
    // Records larger than any stdio buffer, from four processes sharing one program directory.
    constexpr int kProcesses = 4;
    constexpr int kRecords = 100;
    constexpr int kSize = 8192;
    // A torn record needs another writer to land between two writes of one record: three rounds
    // make it all but certain that an unlocked writer is caught.
    constexpr int kRounds = 3;
    for (int round = 0; round < kRounds; ++round) {
        std::vector<pid_t> writers;
        for (int p = 0; p < kProcesses; ++p) {
            const std::string tag(1, static_cast<char>('A' + p));
            const std::string count = std::to_string(kRecords);
            const std::string size = std::to_string(kSize);
            char* argv[] = {const_cast<char*>(LOG_WRITER_EXE), m_path.data(),
                            const_cast<char*>(tag.c_str()),    const_cast<char*>(count.c_str()),
                            const_cast<char*>(size.c_str()),   nullptr};
            pid_t pid = -1;
            ASSERT_EQ(posix_spawn(&pid, LOG_WRITER_EXE, nullptr, nullptr, argv, environ), 0);
            writers.push_back(pid);
        }
        for (pid_t pid : writers) {
            int status = 0;
            ASSERT_EQ(waitpid(pid, &status, 0), pid);
            ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
    }
    const std::string bytes = testsupport::ReadFile(m_path);
    const std::regex head("\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d Recv: ");
    int counts[kProcesses] = {};
    int torn = 0;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t end = bytes.find("\r\r\n", at);
        if (end == std::string::npos) {
            ++torn;
            break;
        }
        const std::string line = bytes.substr(at, end - at);
        at = end + 3;
        const std::size_t text = line.find("Recv: ") + 6;
        const char tag = line.size() > text ? line[text] : '?';
        if (line.size() < text || !std::regex_match(line.substr(0, text), head) ||
            line.substr(text) != std::string(kSize, tag) || tag < 'A' || tag >= 'A' + kProcesses) {
            ++torn;
            continue;
        }
        ++counts[tag - 'A'];
    }
    EXPECT_EQ(torn, 0);
    for (int p = 0; p < kProcesses; ++p) {
        EXPECT_EQ(counts[p], kRounds * kRecords) << "writer " << static_cast<char>('A' + p);
    }
}

TEST(AtLogDirectory, DefaultsToTheProgramDirectory) {
    atlink::SetAtLogDirectoryOverride("");
    const std::string dir = atlink::AtLogDirectory();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), '/');
    EXPECT_EQ(dir, platform::GetAppDirectory());
    platform::SetAppDirectoryOverride("");
    EXPECT_TRUE(std::filesystem::exists(atlink::AtLogDirectory() + "atlink_tests"));
}
