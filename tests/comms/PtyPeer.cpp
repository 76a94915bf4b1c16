#include "PtyPeer.h"

#include "comms/ModbusSerial.h"

#include <chrono>
#include <stdexcept>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Length of a complete request, 0 while it cannot be told yet.
std::size_t requestLength(const Bytes &bytes)
{
    if (bytes.size() < 2)
        return 0;
    if (bytes[1] == 15 || bytes[1] == 16)
        return bytes.size() < 7 ? 0 : 9u + bytes[6];
    return 8;
}

std::uint16_t wordAt(const Bytes &bytes, std::size_t index)
{
    return static_cast<std::uint16_t>(bytes[index] << 8 | bytes[index + 1]);
}

} // namespace

Bytes withCrc(Bytes frame)
{
    modbus::appendCrc(frame);
    return frame;
}

PtyPeer::PtyPeer()
{
    char name[128];
    if (openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    m_path = name;
    // Raw from the start, so that nothing the device sends is echoed or translated.
    termios tio {};
    tcgetattr(m_slave, &tio);
    cfmakeraw(&tio);
    tcsetattr(m_slave, TCSANOW, &tio);
}

PtyPeer::~PtyPeer()
{
    stop();
    ::close(m_slave);
    ::close(m_master);
}

void PtyPeer::start(Responder responder)
{
    stop();
    m_responder = std::move(responder);
    m_stop = false;
    m_thread = std::thread([this] { serve(); });
}

void PtyPeer::stop()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}

void PtyPeer::send(const Bytes &bytes)
{
    if (::write(m_master, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        throw std::runtime_error("pty write failed");
}

void PtyPeer::sendSplit(const Bytes &bytes, std::size_t splitAfter, int pauseMs)
{
    send(Bytes(bytes.begin(), bytes.begin() + static_cast<long>(splitAfter)));
    std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
    send(Bytes(bytes.begin() + static_cast<long>(splitAfter), bytes.end()));
}

std::vector<Bytes> PtyPeer::requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

void PtyPeer::serve()
{
    Bytes pending;
    std::uint8_t chunk[512];
    while (!m_stop) {
        pollfd pfd { m_master, POLLIN, 0 };
        if (poll(&pfd, 1, 10) <= 0)
            continue;
        const ssize_t n = ::read(m_master, chunk, sizeof chunk);
        if (n <= 0)
            continue;
        pending.insert(pending.end(), chunk, chunk + n);
        for (std::size_t length = requestLength(pending); length && pending.size() >= length;
             length = requestLength(pending)) {
            const Bytes request(pending.begin(), pending.begin() + static_cast<long>(length));
            pending.erase(pending.begin(), pending.begin() + static_cast<long>(length));
            {
                std::lock_guard lock(m_mutex);
                m_requests.push_back(request);
            }
            if (m_responder)
                m_responder(*this, request);
        }
    }
}

struct FakeModule::Image
{
    std::mutex mutex;
    std::uint8_t slave = 100;
    std::vector<std::uint16_t> holding = std::vector<std::uint16_t>(Registers, 0);
    std::vector<bool> coils = std::vector<bool>(Coils, false);
    bool ignoreWrites = false;
    WriteAction writeAction;

    Bytes reply(const Bytes &request);
};

FakeModule::FakeModule()
    : m_image(std::make_shared<Image>())
{
}

std::uint16_t FakeModule::holding(std::size_t index) const
{
    std::lock_guard lock(m_image->mutex);
    return m_image->holding.at(index);
}

void FakeModule::setHolding(std::size_t index, std::uint16_t value)
{
    std::lock_guard lock(m_image->mutex);
    m_image->holding.at(index) = value;
}

bool FakeModule::coil(std::size_t index) const
{
    std::lock_guard lock(m_image->mutex);
    return m_image->coils.at(index);
}

void FakeModule::setCoil(std::size_t index, bool on)
{
    std::lock_guard lock(m_image->mutex);
    m_image->coils.at(index) = on;
}

void FakeModule::setIgnoreWrites(bool ignore)
{
    std::lock_guard lock(m_image->mutex);
    m_image->ignoreWrites = ignore;
}

void FakeModule::setWriteAction(WriteAction action)
{
    std::lock_guard lock(m_image->mutex);
    m_image->writeAction = std::move(action);
}

Bytes FakeModule::reply(const Bytes &request)
{
    std::lock_guard lock(m_image->mutex);
    return m_image->reply(request);
}

PtyPeer::Responder FakeModule::responder()
{
    // The image, not the module: the peer's thread may outlive the module object.
    return [image = m_image](PtyPeer &peer, const Bytes &request) {
        Bytes answer;
        {
            std::lock_guard lock(image->mutex);
            answer = image->reply(request);
        }
        if (!answer.empty())
            peer.send(answer);
    };
}

Bytes FakeModule::Image::reply(const Bytes &request)
{
    if (request[0] != slave)
        return {};
    const std::uint8_t function = request[1];
    const std::uint16_t start = wordAt(request, 2);
    const std::uint16_t quantity = wordAt(request, 4);
    Bytes reply { slave, function };
    switch (function) {
    case 1:
    case 2:
        reply.push_back(static_cast<std::uint8_t>((quantity + 7) / 8));
        reply.resize(reply.size() + reply[2], 0);
        for (int i = 0; i < quantity; ++i)
            if (coils[start + i])
                reply[3 + i / 8] |= static_cast<std::uint8_t>(1 << (i % 8));
        break;
    case 3:
    case 4:
        reply.push_back(static_cast<std::uint8_t>(2 * quantity));
        for (int i = 0; i < quantity; ++i) {
            reply.push_back(static_cast<std::uint8_t>(holding[start + i] >> 8));
            reply.push_back(static_cast<std::uint8_t>(holding[start + i] & 0xFF));
        }
        break;
    case 6:
        if (!ignoreWrites)
            holding[start] = quantity;
        reply.assign(request.begin(), request.begin() + 6);
        break;
    case 15:
        for (int i = 0; i < quantity && !ignoreWrites; ++i)
            coils[start + i] = (request[7 + i / 8] >> (i % 8)) & 1;
        reply.assign(request.begin(), request.begin() + 6);
        break;
    case 16:
        for (int i = 0; i < quantity && !ignoreWrites; ++i)
            holding[start + i] = wordAt(request, 7 + 2 * static_cast<std::size_t>(i));
        reply.assign(request.begin(), request.begin() + 6);
        break;
    default:
        reply = { slave, static_cast<std::uint8_t>(function | 0x80), 1 };
    }
    if ((function == 6 || function == 15 || function == 16) && writeAction)
        writeAction(holding);
    return withCrc(reply);
}
