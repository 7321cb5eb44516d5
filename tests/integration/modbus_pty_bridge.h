// Two pseudo-terminals joined back to back, for peers that open a device
// path as this program does: bytes written to one device are read from the
// other.
#pragma once

#include <atomic>
#include <string>
#include <thread>

class PtyBridge {
public:
    PtyBridge() = default;
    ~PtyBridge() { Stop(); }
    PtyBridge(const PtyBridge&) = delete;
    PtyBridge& operator=(const PtyBridge&) = delete;

    bool Start(std::string* error);
    void Stop();
    const std::string& PathA() const { return path_[0]; }
    const std::string& PathB() const { return path_[1]; }

private:
    void Relay();

    int master_[2] = {-1, -1};
    int slave_[2] = {-1, -1}; // held open so that the masters never see a hang-up
    int wake_[2] = {-1, -1};
    std::string path_[2];
    std::thread thread_;
};
