// What the master's frame hook reports, made readable: each frame paired with its request
// (slave, function, register range, round trip), outcome texts a technician can act on, a ring
// of the latest frames that never grows past its capacity, and the line's counters. No Qt, so
// the window's traffic view, zulmb and the bench share it.
#pragma once

#include "ModbusSerial.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace modbus {

// "Illegal data address" for 02; empty for a code without a standard name.
const char *exceptionName(std::uint8_t code);
// "04 Read input registers"; the number alone for a function the master never sends.
std::string functionText(std::uint8_t function);

struct TrafficRecord
{
    std::chrono::system_clock::time_point time;
    FrameEvent::Direction direction = FrameEvent::Direction::Sent;
    std::vector<std::uint8_t> bytes;
    Outcome outcome = Outcome::Ok;
    // Of the request, also on its reply's row. Items count from 1, as the tool numbers
    // registers and bits (protocol address + 1); quantity 0 when the request is too short.
    std::uint8_t slave = 0;
    std::uint8_t function = 0;
    int firstItem = 0;
    int quantity = 0;
    std::int64_t roundTripUs = -1; // a reply's time since its request was sent; -1 on a request
};

// "good", "time-out", "CRC error", "wrong length", "wrong slave 101",
// "exception 02 Illegal data address", ...; empty for a request.
std::string outcomeText(const TrafficRecord &record);
// "195" or "101-108".
std::string itemRangeText(const TrafficRecord &record);
// "64 04 00 C2 00 01 99 F3"
std::string hexText(const std::vector<std::uint8_t> &bytes);

// Pairs each reply event with the request sent before it; unexpected bytes are shown with the
// request before them too, but without a round trip.
class TrafficDecoder
{
public:
    void decode(const FrameEvent &event, TrafficRecord &record);

private:
    TrafficRecord m_request;
};

// The latest frames, oldest first; once full, each new frame replaces the oldest.
class TrafficRing
{
public:
    explicit TrafficRing(std::size_t capacity);

    // Takes the record's contents; `record` is left with the storage of the frame it replaced
    // (or of an empty slot), so that a caller reusing it allocates nothing once the ring is full.
    void push(TrafficRecord &&record);
    // Drops the `count` oldest frames.
    void dropOldest(std::size_t count);
    void clear();
    std::size_t size() const { return m_size; }
    std::size_t capacity() const { return m_slots.size(); }
    const TrafficRecord &at(std::size_t index) const; // 0 = oldest

private:
    std::vector<TrafficRecord> m_slots;
    std::size_t m_first = 0;
    std::size_t m_size = 0;
};

struct LineCounts
{
    std::uint64_t requests = 0;
    std::uint64_t good = 0;
    std::uint64_t timeouts = 0;
    std::uint64_t damaged = 0; // CRC error or wrong length
    std::uint64_t exceptions = 0;
    std::uint64_t otherErrors = 0; // wrong slave or function, garbled, bad echo
    std::uint64_t unexpected = 0; // bursts heard where no reply belonged, thrown away
    std::int64_t lastRoundTripUs = -1; // of the latest reply that came; -1 before the first
    std::int64_t meanRoundTripUs = -1;
};

// Counts requests and replies by outcome, and unexpected bursts apart; round trips only of
// replies that came (a time-out's wait says nothing about the line).
class LineStatistics
{
public:
    void add(const TrafficRecord &record);
    void reset();
    LineCounts counts() const;

private:
    LineCounts m_counts;
    std::int64_t m_roundTripSumUs = 0;
    std::uint64_t m_roundTrips = 0;
};

} // namespace modbus
