// A DTU module on a pseudo-terminal, registered as a virtual device whose friendly name
// contains "AT Port". Used in-process by tests and by the dtusim program.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/pseudo_terminal.h"
#include "simulator/dtu_model.h"

namespace sim {

struct SimulatorOptions {
    int com = 0;  // 0: the first free number from 201 on
    std::string friendlyFormat = "Simulated DTU AT Port (COM%d)";
    std::vector<std::string> hwids = {"USB\\VID_1E0E&PID_9001&REV_0318&MI_00",
                                      "USB\\VID_1E0E&PID_9001&MI_00"};
    std::vector<std::string> adbHwids = {"USB\\VID_1E0E&PID_9001&REV_0318&MI_06",
                                         "USB\\VID_1E0E&PID_9001&MI_06"};
    bool adbEnabled = false;
    std::string imsi;  // what AT+CIMI reports; empty: the model's own (validated by the caller)
};

// How the module answers; may be changed while it runs. Times are in milliseconds and are
// scaled by the process's Clock, so in-process tests keep them in step with the tool's pauses.
struct Behaviour {
    bool silent = false;                   // read requests, answer nothing
    bool errorAll = false;                 // answer "ERROR" to everything
    std::uint32_t answerDelayMs = 0;       // wait before the answer
    std::uint32_t settleMs = 0;            // a request sooner than this after the last answer
                                           // is answered "ERROR" (a module still busy)
    std::size_t splitChunk = 0;            // send answers in pieces of this many bytes (0: whole)
    std::uint32_t splitGapMs = 0;          // pause between pieces
    std::vector<std::string> unsolicited;  // texts sent before each answer, in order
    std::uint32_t unsolicitedGapMs = 0;    // pause after each unsolicited text
    std::string garbage;                   // bytes sent before each answer
    std::uint32_t resetAbsentMs = 3000;    // how long AT+CRESET makes the device disappear
    // Faults of a broken module or line.
    bool garbageAnswer = false;    // answer line noise (no line end, no "OK" or "ERROR") instead
    bool endlessStream = false;    // after each request, stream lines without a final result until
                                   // the next request
    bool vanishMidAnswer = false;  // send half of the answer, then disappear: the device is
                                   // unregistered and the line hangs up for good
    // When not empty, the behaviour above applies only to requests that start with this text;
    // the others are answered as a sound module would (AT+CRESET still takes resetAbsentMs).
    std::string onlyFor;
};

// The noise that garbageAnswer sends.
std::string GarbageNoise();
// One line of the endless stream.
inline constexpr const char* kStreamLine = "+DATA: 0123456789ABCDEF\r\n";

struct RecordedRequest {
    std::chrono::steady_clock::time_point at;
    std::string bytes;  // the request as received, line end included
};

class DtuSimulator {
  public:
    DtuSimulator() = default;
    ~DtuSimulator();
    DtuSimulator(const DtuSimulator&) = delete;
    DtuSimulator& operator=(const DtuSimulator&) = delete;

    bool Start(const SimulatorOptions& options, std::string* error);
    void Stop();

    int Com() const { return m_com; }
    std::string PortPath() const { return m_pty.PortPath(); }
    std::string DeviceFile() const;
    bool Present() const;

    void SetBehaviour(const Behaviour& behaviour);
    void SetEcho(bool on);

    // Answers exactly reply (raw bytes) to a request line equal to line (without line end).
    void SetReply(const std::string& line, const std::string& reply);
    void ClearReplies();

    std::string Value(const std::string& name) const;
    void SetValue(const std::string& name, const std::string& value);
    bool AdbEnabled() const;

    std::vector<RecordedRequest> Requests() const;
    void ClearRequests();
    // Waits until at least count requests have arrived; false on time-out (real milliseconds).
    bool WaitForRequests(std::size_t count, int timeoutMs) const;

    // Sends bytes to the tool unasked (an unsolicited result code, say).
    void SendUnsolicited(const std::string& bytes);

    // Answers sent in full so far (a late answer counts once it has gone out).
    std::size_t AnswersSent() const;
    // Waits until at least count answers have gone out; false on time-out (real milliseconds).
    bool WaitForAnswers(std::size_t count, int timeoutMs) const;
    // True once a vanishMidAnswer fault has taken the device away.
    bool Vanished() const;

  private:
    void Run();
    void HandleLine(const std::string& line, const std::string& raw);
    void SendPaced(const std::string& bytes, const Behaviour& behaviour);
    void Register();
    void Unregister();
    void RegisterAdb(bool on);
    void PauseUnlessStopping(std::uint32_t ms);
    void Vanish();
    void StreamSome();

    SimulatorOptions m_options;
    platform::PseudoTerminal m_pty;
    int m_com = 0;
    std::string m_deviceName;

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    DtuModel m_model;
    Behaviour m_behaviour;
    std::map<std::string, std::string> m_replies;
    std::vector<RecordedRequest> m_requests;
    std::string m_deviceFile;
    std::string m_adbFile;
    std::chrono::steady_clock::time_point m_absentUntil{};
    bool m_stopping = false;
    bool m_streaming = false;
    bool m_vanished = false;
    std::size_t m_answersSent = 0;
    std::chrono::steady_clock::time_point m_lastAnswerAt{};  // when the last answer went out
    std::size_t m_streamAt = 0;                              // position in the stream line
    std::mutex m_writeMutex;
    std::thread m_thread;
};

}  // namespace sim
