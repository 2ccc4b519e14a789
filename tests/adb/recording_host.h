// An IAdbHost that records what the process runner reports: log lines and message boxes.
#pragma once

#include <string>
#include <vector>

#include "adb/adb_host.h"

namespace testsupport {

struct RecordingHost : adb::IAdbHost {
    void AddLog(const std::string& text) override { logged.push_back(text); }
    void ShowMessageBox(const std::string& text, const std::string& caption, unsigned type) override {
        boxes.push_back(text + "|" + caption + "|" + std::to_string(type));
    }
    adb::AdbState AtQueryAdb() override { return adb::AdbState::NoAtPort; }
    int AtEnableAdb() override { return 0; }
    int AtResetModule() override { return 0; }
    int AtHideAdb() override { return 0; }
    void OnBtnScanPort() override {}
    void ArmAdbTimeout() override {}
    void DisarmAdbTimeout() override {}
    adb::HTHREAD StartWorker(fw::CWorkerThread::Body) override { return nullptr; }
    adb::HTHREAD StartPushWorker(fw::CWorkerThread::Body) override { return nullptr; }
    int PendingPush() override { return 0; }
    void SetPendingPush(int) override {}
    std::string AppDirectory() override { return {}; }
    std::vector<std::string> logged;
    std::vector<std::string> boxes;
};

}  // namespace testsupport
