#include "simulator/dtu_simulator.h"

#include <cstdio>

#include "platform/clock.h"
#include "platform/process_alive.h"
#include "platform/virtual_devices.h"

namespace sim {

namespace {

constexpr int kFirstFreeCom = 201;
constexpr int kLastFreeCom = 999;
constexpr std::size_t kMaxLine = 4096;         // longer input without a line end is dropped
constexpr std::uint32_t kVanishAfterMs = 200;  // from the half answer to the hang-up

std::string FriendlyName(const std::string& format, int com) {
    char out[256] = {};
    std::snprintf(out, sizeof out, format.c_str(), com);
    return out;
}

// A file left by a simulator that died without cleaning up no longer claims its number.
void RemoveIfStale(const std::string& file) {
    const auto dev = platform::ReadVirtualDeviceFile(file);
    if (dev && platform::IsStaleVirtualDevice(*dev)) {
        platform::RemoveVirtualDevice(file);
    }
}

}  // namespace

std::string GarbageNoise() {
    std::string noise;
    for (int i = 0; i < 64; ++i) {
        const auto c = static_cast<unsigned char>((i * 37 + 11) % 256);
        const bool plain = c != 0 && c != '\r' && c != '\n' && c != 'O' && c != 'K' && c != 'E' && c != 'R';
        noise.push_back(plain ? static_cast<char>(c) : '#');
    }
    return noise;
}

DtuSimulator::~DtuSimulator() {
    Stop();
}

bool DtuSimulator::Start(const SimulatorOptions& options, std::string* error) {
    Stop();
    m_options = options;
    if (!m_pty.Open(error)) {
        return false;
    }
    m_model = DtuModel();
    m_model.SetAdbEnabled(options.adbEnabled);
    if (!options.imsi.empty()) {
        m_model.SetValue("CIMI", options.imsi);
    }
    // The device file name carries the COM number, so creating it exclusively claims the number.
    platform::VirtualDevice dev;
    dev.path = m_pty.PortPath();
    dev.hwids = options.hwids;
    dev.pid = platform::CurrentProcessId();
    const int first = options.com > 0 ? options.com : kFirstFreeCom;
    const int last = options.com > 0 ? options.com : kLastFreeCom;
    for (int com = first; com <= last && m_deviceFile.empty(); ++com) {
        dev.com = com;
        dev.friendly = FriendlyName(options.friendlyFormat, com);
        m_deviceName = "dtusim-COM" + std::to_string(com);
        const std::string folder = platform::VirtualDeviceDirectory();
        if (!folder.empty()) {
            RemoveIfStale(folder + m_deviceName + ".device");
        }
        m_deviceFile = platform::WriteVirtualDevice(m_deviceName, dev, true);
        if (!m_deviceFile.empty()) {
            m_com = com;
        }
    }
    if (m_deviceFile.empty()) {
        *error = "no free COM number for the simulator in " + platform::VirtualDeviceDirectory();
        m_pty.Close();
        return false;
    }
    if (options.adbEnabled) {
        RegisterAdb(true);
    }
    m_stopping = false;
    m_streaming = false;
    m_vanished = false;
    m_answersSent = 0;
    m_thread = std::thread([this] { Run(); });
    return true;
}

void DtuSimulator::Stop() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable()) {
        m_thread.join();
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    Unregister();
    std::lock_guard<std::mutex> writeLock(m_writeMutex);
    m_pty.Close();
    m_com = 0;
}

std::string DtuSimulator::DeviceFile() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_deviceFile;
}

bool DtuSimulator::Present() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return !m_deviceFile.empty();
}

void DtuSimulator::SetBehaviour(const Behaviour& behaviour) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_behaviour = behaviour;
    m_streaming = m_streaming && behaviour.endlessStream;
}

void DtuSimulator::SetEcho(bool on) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_model.SetEcho(on);
}

void DtuSimulator::SetReply(const std::string& line, const std::string& reply) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_replies[line] = reply;
}

void DtuSimulator::ClearReplies() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_replies.clear();
}

std::string DtuSimulator::Value(const std::string& name) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_model.Value(name);
}

void DtuSimulator::SetValue(const std::string& name, const std::string& value) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_model.SetValue(name, value);
}

bool DtuSimulator::AdbEnabled() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_model.AdbEnabled();
}

std::vector<RecordedRequest> DtuSimulator::Requests() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

void DtuSimulator::ClearRequests() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_requests.clear();
}

bool DtuSimulator::WaitForRequests(std::size_t count, int timeoutMs) const {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                              [&] { return m_requests.size() >= count; });
}

void DtuSimulator::SendUnsolicited(const std::string& bytes) {
    std::lock_guard<std::mutex> lock(m_writeMutex);
    m_pty.Write(bytes.data(), bytes.size());
}

std::size_t DtuSimulator::AnswersSent() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_answersSent;
}

bool DtuSimulator::WaitForAnswers(std::size_t count, int timeoutMs) const {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                              [&] { return m_answersSent >= count; });
}

bool DtuSimulator::Vanished() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_vanished;
}

void DtuSimulator::Vanish() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        Unregister();
        m_vanished = true;
        m_streaming = false;
    }
    m_changed.notify_all();
    // Closing our ends hangs the line up: the tool's reads fail from now on.
    std::lock_guard<std::mutex> lock(m_writeMutex);
    m_pty.Close();
}

void DtuSimulator::StreamSome() {
    // As much of the stream as the line takes now: a tool that does not read does not stop the
    // simulator, it loses what did not fit.
    const std::string line = kStreamLine;
    std::string chunk;
    for (int i = 0; i < 4; ++i) {
        chunk += line.substr(m_streamAt) + line.substr(0, m_streamAt);
    }
    // Checked under the lock, so that no piece goes out once the stream has been ended.
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_streaming) {
        return;
    }
    std::lock_guard<std::mutex> writeLock(m_writeMutex);
    const std::size_t n = m_pty.WriteSome(chunk.data(), chunk.size());
    m_streamAt = (m_streamAt + n) % line.size();
}

void DtuSimulator::PauseUnlessStopping(std::uint32_t ms) {
    if (ms == 0) {
        return;
    }
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait_for(lock, platform::Clock::Scaled(ms), [&] { return m_stopping; });
}

void DtuSimulator::Run() {
    std::string pending;
    char buffer[512];
    for (;;) {
        bool streaming = false;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            if (m_stopping) {
                return;
            }
            if (m_vanished) {
                m_changed.wait_for(lock, std::chrono::milliseconds(50));  // gone for good: idle
                continue;
            }
            // After a reset the module comes back: register again once the absence is over.
            if (m_deviceFile.empty() && std::chrono::steady_clock::now() >= m_absentUntil) {
                Register();
            }
            streaming = m_streaming;
        }
        const std::size_t n = m_pty.Read(buffer, sizeof buffer, streaming ? 1 : 10);
        if (streaming) {
            StreamSome();
        }
        bool absent = false;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            absent = m_deviceFile.empty();
        }
        if (absent) {
            pending.clear();  // a module that is restarting hears nothing
            continue;
        }
        pending.append(buffer, n);
        for (;;) {
            const std::size_t end = pending.find_first_of("\r\n");
            if (end == std::string::npos) {
                if (pending.size() > kMaxLine) {
                    pending.clear();
                }
                break;
            }
            std::size_t next = end + 1;
            if (pending[end] == '\r' && next < pending.size() && pending[next] == '\n') {
                ++next;
            }
            const std::string line = pending.substr(0, end);
            const std::string raw = pending.substr(0, next);
            pending.erase(0, next);
            if (line.empty()) {
                continue;
            }
            HandleLine(line, raw);
        }
    }
}

void DtuSimulator::HandleLine(const std::string& line, const std::string& raw) {
    Behaviour behaviour;
    ModelReply reply;
    bool echo = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_requests.push_back({std::chrono::steady_clock::now(), raw});
        m_streaming = false;  // a new request ends the stream of the last one
        behaviour = m_behaviour;
        if (!behaviour.onlyFor.empty() && line.rfind(behaviour.onlyFor, 0) != 0) {
            Behaviour sound;
            sound.resetAbsentMs = behaviour.resetAbsentMs;
            behaviour = sound;
        }
        echo = m_model.Echo();
        const auto fixed = m_replies.find(line);
        const bool unsettled =
            behaviour.settleMs > 0 && m_answersSent > 0 &&
            m_requests.back().at - m_lastAnswerAt < platform::Clock::Scaled(behaviour.settleMs);
        if (unsettled) {
            reply.text = DtuModel::Error();  // still busy with the last one: the request is not taken
        } else if (fixed != m_replies.end()) {
            reply.text = fixed->second;
        } else if (behaviour.errorAll) {
            reply.text = DtuModel::Error();
        } else {
            reply = m_model.Handle(line);
        }
    }
    m_changed.notify_all();
    if (behaviour.silent) {
        return;
    }
    if (echo) {
        SendPaced(raw, Behaviour{});
    }
    PauseUnlessStopping(behaviour.answerDelayMs);
    if (!behaviour.garbage.empty()) {
        SendPaced(behaviour.garbage, Behaviour{});
    }
    for (const auto& text : behaviour.unsolicited) {
        SendPaced(text, Behaviour{});
        PauseUnlessStopping(behaviour.unsolicitedGapMs);
    }
    if (behaviour.endlessStream) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_streaming = true;
        return;
    }
    if (behaviour.garbageAnswer) {
        reply = ModelReply{};
        reply.text = GarbageNoise();
    }
    if (behaviour.vanishMidAnswer) {
        // The tool has time to read the half before the line hangs up (a hang-up drops what
        // the tool has not read yet).
        SendPaced(reply.text.substr(0, reply.text.size() / 2), behaviour);
        PauseUnlessStopping(kVanishAfterMs);
        Vanish();
        return;
    }
    SendPaced(reply.text, behaviour);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_answersSent;
        m_lastAnswerAt = std::chrono::steady_clock::now();
    }
    m_changed.notify_all();
    switch (reply.action) {
        case ModelAction::Reset: {
            std::lock_guard<std::mutex> lock(m_mutex);
            Unregister();
            m_absentUntil =
                std::chrono::steady_clock::now() + platform::Clock::Scaled(behaviour.resetAbsentMs);
            break;
        }
        case ModelAction::AdbOn:
        case ModelAction::AdbOff: {
            std::lock_guard<std::mutex> lock(m_mutex);
            RegisterAdb(reply.action == ModelAction::AdbOn);
            break;
        }
        case ModelAction::None:
            break;
    }
}

void DtuSimulator::SendPaced(const std::string& bytes, const Behaviour& behaviour) {
    if (behaviour.splitChunk == 0 || bytes.size() <= behaviour.splitChunk) {
        SendUnsolicited(bytes);
        return;
    }
    for (std::size_t at = 0; at < bytes.size(); at += behaviour.splitChunk) {
        if (at > 0) {
            PauseUnlessStopping(behaviour.splitGapMs);
        }
        SendUnsolicited(bytes.substr(at, behaviour.splitChunk));
    }
}

// The following run with m_mutex held.
void DtuSimulator::Register() {
    platform::VirtualDevice dev;
    dev.path = m_pty.PortPath();
    dev.com = m_com;
    dev.friendly = FriendlyName(m_options.friendlyFormat, m_com);
    dev.hwids = m_options.hwids;
    dev.pid = platform::CurrentProcessId();
    // What came while the module was away is dropped before it is seen again, so that a request
    // written as soon as the device is back is heard.
    m_pty.Discard();
    m_deviceFile = platform::WriteVirtualDevice(m_deviceName, dev, false);
    if (m_model.AdbEnabled()) {
        RegisterAdb(true);
    }
}

void DtuSimulator::Unregister() {
    if (!m_deviceFile.empty()) {
        platform::RemoveVirtualDevice(m_deviceFile);
        m_deviceFile.clear();
    }
    if (!m_adbFile.empty()) {
        platform::RemoveVirtualDevice(m_adbFile);
        m_adbFile.clear();
    }
}

void DtuSimulator::RegisterAdb(bool on) {
    if (on && m_adbFile.empty()) {
        platform::VirtualDevice adb;
        adb.adb = true;
        adb.hwids = m_options.adbHwids;
        adb.friendly = "Simulated DTU ADB Interface";
        adb.pid = platform::CurrentProcessId();
        m_adbFile = platform::WriteVirtualDevice(m_deviceName + "-adb", adb, false);
    } else if (!on && !m_adbFile.empty()) {
        platform::RemoveVirtualDevice(m_adbFile);
        m_adbFile.clear();
    }
}

}  // namespace sim
