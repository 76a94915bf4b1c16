// A ZUL module's register image and behaviour, without any transport: the general registers,
// the store-command handshake and the DIO, AIN and AOT blocks with their live values. The
// simulator serves it on a pseudo-terminal; tests may also drive it directly. Thread-safe: the
// serving thread and a test's control calls may meet.
//
// Power-on image (also after setKind):
// - every kind: input 195 = kind code; identity 801-804 = 0x0102 (firmware 01.02), 0x1241
//   (PCB 1.2A), 0x0012, 0x3456 (serial 00123456); holding 191-194 = 0, 202 = 96 (9600 baud),
//   203 = 0x0011 (none, 1 stop bit), 204 = 156 (5 s output time-out); targets (holding 9-16),
//   pulse output counts (input 9-16) and update times (109-116) 0; coils and inputs off.
// - DIO: 16 coils and 16 discrete inputs; rates (input 1-4) and pulse counts (input 17-24) 0;
//   maximum rate words 101-104 = 60000 (1000 Hz).
// - AIN: 8 coils and inputs; hardware 0x1101 (voltage, single-ended), switch word 0, scales
//   0x1102 (0 to 10V), span 3000 and offset 0 on every channel, stimuli 0 V; stored sets: voltage
//   span 3000 offset 0, both current sets span 1500 offset 0.
// - AOT: 8 coils and inputs; hardware 0x1101 (voltage), switch words 0x0249, scales 0x1102,
//   span 3000 offset 0, outputs 0x4000 (low end); stored voltage span 3000, current 1500, offsets
//   0.
//
// Behaviour: holding 101-140 (analog kinds), 101-104 (DIO) and 109-116 (all) read back as input
// registers. Command registers 191-194: 0x7E21 arms and reads back 0x7E21; 0xA7D2 on an armed
// register runs the store and reads back 0; any other write reads back as written and disarms.
// Store calibration (192) copies each channel's span and offset into the stored set of that
// channel's hardware configuration. AIN: scaled value (input 1-8) and raw value (input 17-24)
// follow each channel's own stimulus, scale code, span and offset; AOT: raw value (input 25-32)
// follows the commanded output word (holding 1-8); with the loop-back on, discrete input n reads
// as coil n. A value set with setInputRegister on a live
// register holds until that channel's stimulus, output word, scale, offset or span changes.
#pragma once

#include "core/KindRegistry.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace zulsim {

// A kind the simulator plays: a row of the tool's kind registry, which gives its code, its name
// and the register map whose image the simulator keeps (ModuleImage.cpp). Every row is played,
// so a kind registered there is offered by --kind, the kind command and the help.
class Kind
{
public:
    constexpr explicit Kind(const zul::TKindRow &row)
        : m_row(&row)
    {
    }
    // The row of that name; a name that is no kind does not compile.
    static consteval Kind named(std::string_view name) { return Kind(zul::kindNamed(name)); }

    constexpr const zul::TKindRow &row() const { return *m_row; }
    constexpr zul::RegisterMap map() const { return m_row->Map; }
    constexpr bool operator==(const Kind &other) const = default;

private:
    const zul::TKindRow *m_row;
};

constexpr const zul::TKindRow &kindRow(Kind kind)
{
    return kind.row();
}

constexpr std::uint16_t kindCode(Kind kind)
{
    return kindRow(kind).Code;
}

// What plays when no kind is asked for.
constexpr std::string_view DefaultKind = "AIN";

std::string kindName(Kind kind); // "DIO", "AIN", "AOT"
std::optional<Kind> kindFromName(const char *name); // case-insensitive
// The simulated kinds' names: ("|", "|") gives "DIO|AIN|AOT", (", ", " or ") "DIO, AIN or AOT".
std::string simulatedKindNames(std::string_view separator, std::string_view last);

class ModuleModel
{
public:
    explicit ModuleModel(Kind kind = Kind::named(DefaultKind));

    // Swaps the module kind at run time (a different module plugged in); resets the image.
    void setKind(Kind kind);
    Kind kind() const;
    // Overrides what input register 195 answers (e.g. 0 for "no module detected").
    void setKindCode(std::uint16_t code);

    // Register numbers are 1-based, as everywhere in the tool. Unmapped registers read as 0.
    std::uint16_t inputRegister(int number) const;
    std::uint16_t holdingRegister(int number) const;
    bool hasInputRegister(int number) const;
    bool hasHoldingRegister(int number) const;
    // Setting an unmapped register maps it. A holding register set here behaves as if a master
    // had written it (read-back, handshake, live values).
    void setInputRegister(int number, std::uint16_t value);
    void setHoldingRegister(int number, std::uint16_t value);
    int bitCount() const; // coils and discrete inputs: 16 on DIO, 8 on the analog kinds
    bool coil(int number) const;
    bool discreteInput(int number) const;
    void setCoil(int number, bool on); // numbers outside 1..bitCount() are ignored
    void setDiscreteInput(int number, bool on);
    // A loop-back fixture (output n wired to input n): discrete input n reads as coil n while it
    // is on; what setDiscreteInput set shows again once it is off. Plugging in another kind
    // leaves the fixture as it is.
    void setLoopback(bool on);
    bool loopback() const;
    // Makes a holding register unmapped (exception 02), e.g. a module without register 204.
    void removeHoldingRegister(int number);
    // The same for an input register, e.g. an identity block that cannot be read.
    void removeInputRegister(int number);

    // A module answers a holding-register read only where its map allows one (exception 02
    // elsewhere, as for an unmapped register). Lenient, every holding register can be read back,
    // as early simulators did.
    void setLenientHoldingReads(bool on);

    // Live values; inputs and outputs outside their range are ignored.
    void setAnalogStimulus(int channel, double value); // AIN: volts or milliamps at input 1..8
    void setPulseInputCount(int input, std::uint32_t count); // DIO1..DIO4 (DIO only)
    void setPulseInputRate(int input, std::uint16_t rate); // DIO1..DIO4 (DIO only)
    void setPulseOutputCount(int output, std::uint16_t count); // DIO1..DIO8

    // A bad input or a restless signal, as a master reads it: an analog channel's live values
    // (AIN scaled 1-8 and raw 17-24, AOT raw 25-32) read that many counts off, with noise of up
    // to +-counts at random on every read, or drifting by counts from one read to the next (a
    // channel that never settles in a band narrower than twice that). 0 ends each; a new kind
    // of module ends all. The registers themselves (inputRegister, `get`) stay undisturbed.
    void setChannelError(int channel, int counts);
    void setChannelNoise(int channel, int counts);
    void setChannelDrift(int channel, int counts);
    void clearDisturbances();

    // The MODBUS application layer: a request PDU (function code and data, no address, no CRC)
    // gives the reply PDU, an exception reply for an unknown function (01), an unmapped address
    // (02) or a bad quantity or length (03); an empty request gives an empty reply.
    std::vector<std::uint8_t> handlePdu(const std::vector<std::uint8_t> &pdu);

private:
    std::vector<std::uint8_t> handleLocked(const std::vector<std::uint8_t> &pdu);
    std::vector<std::uint8_t> readBitsLocked(const std::vector<std::uint8_t> &pdu);
    std::vector<std::uint8_t> readRegistersLocked(const std::vector<std::uint8_t> &pdu);
    std::vector<std::uint8_t> writeCoilsLocked(const std::vector<std::uint8_t> &pdu);
    std::vector<std::uint8_t> writeRegistersLocked(const std::vector<std::uint8_t> &pdu);
    void resetLocked(Kind kind);
    void writeHoldingLocked(int number, std::uint16_t value);
    void runStoreCommand(int number);
    void refreshChannel(int channel); // 0-based
    std::uint16_t readInputLocked(int number); // with the channel's disturbance

    struct Disturbance
    {
        int error = 0;
        int noise = 0;
        int drift = 0;
        unsigned reads = 0;
    };

    mutable std::mutex m_mutex;
    Kind m_kind;
    std::map<int, std::uint16_t> m_input;
    std::map<int, std::uint16_t> m_holding;
    std::vector<bool> m_coils;
    std::vector<bool> m_discrete;
    bool m_loopback = false;
    bool m_lenientHoldingReads = false;
    double m_stimulus[8] = {};
    Disturbance m_disturbance[8];
    std::minstd_rand m_random; // the default seed: a test sees the same noise every time
};

} // namespace zulsim
