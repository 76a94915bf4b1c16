// Test helper: the far end of the line, a module played on the master side of a pseudo-terminal.
// The code under test opens path() with TRKComm; a thread here collects each complete request and
// hands it to the test's responder, which answers through send(). FakeModule is a small register
// image to answer from.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// The frame with its CRC appended.
Bytes withCrc(Bytes frame);

class PtyPeer
{
public:
    using Responder = std::function<void(PtyPeer &device, const Bytes &request)>;

    PtyPeer();
    ~PtyPeer();
    PtyPeer(const PtyPeer &) = delete;
    PtyPeer &operator=(const PtyPeer &) = delete;

    const std::string &path() const { return m_path; }
    int masterFd() const { return m_master; }

    // Serves requests until stop() or destruction; a null responder keeps the line silent.
    void start(Responder responder);
    void stop();
    void send(const Bytes &bytes);
    // Bytes in the second part go out `pauseMs` later.
    void sendSplit(const Bytes &bytes, std::size_t splitAfter, int pauseMs);

    std::vector<Bytes> requests() const;

private:
    void serve();

    int m_master = -1;
    int m_slave = -1; // held open so the pty keeps its settings between the port's opens
    std::string m_path;
    Responder m_responder;
    std::thread m_thread;
    std::atomic<bool> m_stop { false };
    mutable std::mutex m_mutex;
    std::vector<Bytes> m_requests;
};

// Holding registers and coils of slave 100, served for functions 1, 2, 3, 4, 6, 15 and 16.
// Discrete inputs and input registers read the coils and holding registers.
struct FakeModule
{
    std::uint8_t slave = 100;
    std::vector<std::uint16_t> holding = std::vector<std::uint16_t>(300, 0);
    std::vector<bool> coils = std::vector<bool>(200, false);
    bool ignoreWrites = false;

    void answer(PtyPeer &device, const Bytes &request);
    PtyPeer::Responder responder()
    {
        return [this](PtyPeer &device, const Bytes &request) { answer(device, request); };
    }
};
