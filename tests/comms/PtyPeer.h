// Test helper: the far end of the line, played on the master side of a pseudo-terminal. The code
// under test opens path() with TRKComm; a thread here collects each complete request and hands it
// to the test's responder, which answers through send(). FakeModule is a small register image to
// answer from.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
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
    using Responder = std::function<void(PtyPeer &peer, const Bytes &request)>;

    PtyPeer();
    // Stops the thread first, so that it never meets a half-destroyed peer.
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
// Discrete inputs and input registers read the coils and holding registers. The image is shared
// with the responder and locked, so the test may read and change it while the peer serves, and
// the module and the peer may die in either order.
class FakeModule
{
public:
    static constexpr std::size_t Registers = 300;
    static constexpr std::size_t Coils = 200;
    // Runs under the image's lock after each write was applied: a module acting on a command.
    using WriteAction = std::function<void(std::vector<std::uint16_t> &holding)>;

    FakeModule();

    std::uint16_t holding(std::size_t index) const;
    void setHolding(std::size_t index, std::uint16_t value);
    bool coil(std::size_t index) const;
    void setCoil(std::size_t index, bool on);
    // Writes are acknowledged but change nothing.
    void setIgnoreWrites(bool ignore);
    void setWriteAction(WriteAction action);

    // The reply to `request`, empty when it is for another slave.
    Bytes reply(const Bytes &request);
    PtyPeer::Responder responder();

private:
    struct Image;
    std::shared_ptr<Image> m_image;
};
