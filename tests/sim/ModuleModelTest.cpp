#include "ModuleModel.h"

#include <gtest/gtest.h>

using namespace zulsim;
using Bytes = std::vector<std::uint8_t>;

namespace {

// Request PDUs take register numbers, as the tool's callers do, and put number - 1 on the wire.
Bytes readPdu(std::uint8_t function, int number, int quantity)
{
    return { function, std::uint8_t((number - 1) >> 8), std::uint8_t(number - 1),
        std::uint8_t(quantity >> 8), std::uint8_t(quantity) };
}

Bytes writeSinglePdu(int number, std::uint16_t value)
{
    return { 6, std::uint8_t((number - 1) >> 8), std::uint8_t(number - 1), std::uint8_t(value >> 8),
        std::uint8_t(value) };
}

Bytes writeBlockPdu(int number, const std::vector<std::uint16_t> &values)
{
    Bytes pdu = readPdu(16, number, int(values.size()));
    pdu.push_back(std::uint8_t(2 * values.size()));
    for (std::uint16_t v : values) {
        pdu.push_back(std::uint8_t(v >> 8));
        pdu.push_back(std::uint8_t(v));
    }
    return pdu;
}

// The words of a function 3/4 reply; empty for an exception reply.
std::vector<std::uint16_t> words(const Bytes &reply)
{
    std::vector<std::uint16_t> out;
    if (reply.size() < 2 || (reply[0] & 0x80))
        return out;
    for (std::size_t i = 2; i + 1 < reply.size(); i += 2)
        out.push_back(std::uint16_t(reply[i] << 8 | reply[i + 1]));
    return out;
}

Bytes exception(std::uint8_t function, std::uint8_t code)
{
    return { std::uint8_t(function | 0x80), code };
}

bool executeCommand(ModuleModel &model, int number)
{
    model.handlePdu(writeSinglePdu(number, 0x7E21));
    if (words(model.handlePdu(readPdu(3, number, 1))) != std::vector<std::uint16_t> { 0x7E21 })
        return false;
    model.handlePdu(writeSinglePdu(number, 0xA7D2));
    return words(model.handlePdu(readPdu(3, number, 1))) == std::vector<std::uint16_t> { 0 };
}

} // namespace

TEST(ModuleModel, GeneralRegistersAndIdentity)
{
    ModuleModel model(Kind::named("DIO"));
    EXPECT_EQ(words(model.handlePdu(readPdu(4, 195, 1))), std::vector<std::uint16_t> { 0x0101 });
    EXPECT_EQ(words(model.handlePdu(readPdu(4, 801, 4))),
        (std::vector<std::uint16_t> { 0x0102, 0x1241, 0x0012, 0x3456 }));
    EXPECT_EQ(model.holdingRegister(204), 156);

    model.setKindCode(0);
    EXPECT_EQ(model.inputRegister(195), 0);
    model.setKind(Kind::named("AOT")); // another module plugged in: fresh image, own kind code
    EXPECT_EQ(model.inputRegister(195), 0x0301);
    EXPECT_EQ(model.bitCount(), 8);
}

// A kind is played by its registry row's register map, not by its name: a row with only the
// identity answers its own code and the identity, and holds none of another map's registers.
TEST(ModuleModel, ARowWithTheIdentityMapHoldsOnlyTheIdentityAndTheGeneralRegisters)
{
    static constexpr zul::TKindRow Plain { 0x0901, "PLN", "Plain module", "", 0, {},
        zul::TextsShown::None, "", 0, zul::TextsShown::None, zul::RegisterMap::Identity };
    ModuleModel model { Kind(Plain) };
    EXPECT_EQ(model.inputRegister(195), 0x0901);
    EXPECT_EQ(words(model.handlePdu(readPdu(4, 801, 4))),
        (std::vector<std::uint16_t> { 0x0102, 0x1241, 0x0012, 0x3456 }));
    EXPECT_EQ(model.holdingRegister(204), 156);
    EXPECT_EQ(model.bitCount(), 8);
    // No maximum rates, scales or calibration: the module has no such registers.
    EXPECT_EQ(model.handlePdu(writeSinglePdu(101, 0x1234)), exception(6, 2));
    EXPECT_EQ(model.handlePdu(readPdu(4, 101, 1)), exception(4, 2));
    // No live channels: a stimulus changes nothing the master reads.
    model.setAnalogStimulus(1, 2.5);
    EXPECT_EQ(model.inputRegister(1), 0);
    EXPECT_EQ(model.inputRegister(17), 0);
    // The pulsed outputs are every kind's.
    model.handlePdu(writeSinglePdu(109, 7));
    EXPECT_EQ(model.inputRegister(109), 7);

    // Every row of the registry is played, by its name in any letter case.
    for (const zul::TKindRow &row : zul::ModuleKinds) {
        std::string lower(row.Name);
        for (char &c : lower)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const auto kind = kindFromName(lower.c_str());
        ASSERT_TRUE(kind.has_value()) << row.Name;
        EXPECT_EQ(&kind->row(), &row);
        model.setKind(*kind);
        EXPECT_EQ(model.inputRegister(195), row.Code);
    }
    EXPECT_FALSE(kindFromName("PLN").has_value());
}

TEST(ModuleModel, StoreHandshake)
{
    ModuleModel model(Kind::named("AIN"));
    EXPECT_TRUE(executeCommand(model, 191));

    // The run word alone does nothing and reads back as written, so the tool sees a failure.
    model.handlePdu(writeSinglePdu(193, 0xA7D2));
    EXPECT_EQ(model.holdingRegister(193), 0xA7D2);
    // Another write between arming and running disarms.
    model.handlePdu(writeSinglePdu(192, 0x7E21));
    model.handlePdu(writeSinglePdu(192, 0x1234));
    model.handlePdu(writeSinglePdu(192, 0xA7D2));
    EXPECT_EQ(model.holdingRegister(192), 0xA7D2);
    // Function 16 arms and runs as well.
    model.handlePdu(writeBlockPdu(194, { 0x7E21 }));
    model.handlePdu(writeBlockPdu(194, { 0xA7D2 }));
    EXPECT_EQ(model.holdingRegister(194), 0);
}

TEST(ModuleModel, HoldingWritesReadBackAsInputRegisters)
{
    ModuleModel ain(Kind::named("AIN"));
    const std::vector<std::uint16_t> scales(8, 0x0203);
    EXPECT_EQ(ain.handlePdu(writeBlockPdu(101, scales)), readPdu(16, 101, 8));
    EXPECT_EQ(words(ain.handlePdu(readPdu(4, 101, 8))), scales);
    ain.handlePdu(writeBlockPdu(133, std::vector<std::uint16_t>(8, 0x0101)));
    ain.handlePdu(writeSinglePdu(110, 31));
    EXPECT_EQ(ain.inputRegister(133), 0x0101);
    EXPECT_EQ(ain.inputRegister(140), 0x0101);
    EXPECT_EQ(ain.inputRegister(110), 31);
    EXPECT_EQ(ain.holdingRegister(110), 31);
    // The switch word is written only.
    EXPECT_EQ(ain.handlePdu(writeSinglePdu(141, 0x06DB)), writeSinglePdu(141, 0x06DB));
    EXPECT_EQ(ain.handlePdu(readPdu(4, 141, 1)), exception(4, 2));

    ModuleModel dio(Kind::named("DIO"));
    EXPECT_EQ(words(dio.handlePdu(readPdu(4, 101, 4))), std::vector<std::uint16_t>(4, 60000));
    dio.handlePdu(writeBlockPdu(101, { 750, 60001, 0, 60000 }));
    EXPECT_EQ(words(dio.handlePdu(readPdu(4, 101, 4))),
        (std::vector<std::uint16_t> { 750, 60001, 0, 60000 }));
    dio.handlePdu(writeBlockPdu(9, { 5, 6 }));
    EXPECT_EQ(words(dio.handlePdu(readPdu(3, 9, 2))), (std::vector<std::uint16_t> { 5, 6 }));
    EXPECT_EQ(dio.inputRegister(9), 0); // the input at 9 is the count, not the target
}

// A module reads back scales, calibration, hardware codes and outputs only as input registers;
// a master that reads them as holding registers gets exception 02 on real hardware, so the
// simulator must refuse too, or a run that cannot finish on a module passes here.
TEST(ModuleModel, HoldingReadsOnlyWhereTheMapAllowsThem)
{
    for (const Kind kind : { Kind::named("DIO"), Kind::named("AIN"), Kind::named("AOT") }) {
        SCOPED_TRACE(kindName(kind));
        ModuleModel model(kind);
        for (const int number : { 9, 16, 109, 116, 191, 194, 204 })
            EXPECT_FALSE(words(model.handlePdu(readPdu(3, number, 1))).empty()) << number;
        const bool analog = kind != Kind::named("DIO");
        for (const int number : { 101, 117, 125, 132, 133, 140, 202, 203 })
            if (analog || number == 101 || number == 202 || number == 203) {
                EXPECT_EQ(model.handlePdu(readPdu(3, number, 1)), exception(3, 2)) << number;
            }
        // One refused register refuses the whole block.
        EXPECT_EQ(model.handlePdu(readPdu(3, 116, 2)), exception(3, 2));
        if (!analog)
            continue;
        model.handlePdu(writeBlockPdu(117, { 0xFFF6, 0x0005 }));
        EXPECT_EQ(words(model.handlePdu(readPdu(4, 117, 16))).size(), 16u);
        EXPECT_EQ(words(model.handlePdu(readPdu(4, 117, 2))),
            (std::vector<std::uint16_t> { 0xFFF6, 0x0005 }));
        model.setLenientHoldingReads(true);
        EXPECT_EQ(words(model.handlePdu(readPdu(3, 117, 2))),
            (std::vector<std::uint16_t> { 0xFFF6, 0x0005 }));
    }
    ModuleModel aot(Kind::named("AOT"));
    EXPECT_EQ(aot.handlePdu(readPdu(3, 1, 8)), exception(3, 2)); // outputs are written only
}

TEST(ModuleModel, StoreCalibrationGoesToTheSetOfTheHardwareConfiguration)
{
    struct Case
    {
        Kind kind;
        std::uint16_t hardware;
        int set;
    };
    for (const Case c :
        { Case { Kind::named("AIN"), 0x1101, 143 }, Case { Kind::named("AIN"), 0x1102, 143 },
            Case { Kind::named("AIN"), 0x0101, 159 }, Case { Kind::named("AIN"), 0x0102, 175 },
            Case { Kind::named("AOT"), 0x1101, 143 }, Case { Kind::named("AOT"), 0x0101, 159 } }) {
        SCOPED_TRACE(c.set);
        ModuleModel model(c.kind);
        const std::uint16_t before = model.inputRegister(c.set);
        model.handlePdu(writeBlockPdu(133, std::vector<std::uint16_t>(8, c.hardware)));
        model.handlePdu(writeBlockPdu(125, { 232, 233, 234, 235, 236, 237, 238, 239 }));
        model.handlePdu(writeBlockPdu(117, { 32, 0xFFFE, 0, 0, 0, 0, 0, 7 }));
        EXPECT_EQ(model.inputRegister(c.set), before); // nothing is kept before the store
        ASSERT_TRUE(executeCommand(model, 192));
        EXPECT_EQ(model.inputRegister(c.set), 232);
        EXPECT_EQ(model.inputRegister(c.set + 7), 239);
        EXPECT_EQ(model.inputRegister(c.set + 8), 32);
        EXPECT_EQ(model.inputRegister(c.set + 9), 0xFFFE);
        EXPECT_EQ(model.inputRegister(c.set + 15), 7);
        // The other sets keep their values.
        for (int other : { 143, 159, 175 }) {
            if (other != c.set && model.hasInputRegister(other)) {
                EXPECT_NE(model.inputRegister(other), 232);
            }
        }
    }
    // The whole stored block is one read of 48 (AIN) or 32 (AOT) registers.
    EXPECT_EQ(words(ModuleModel(Kind::named("AIN")).handlePdu(readPdu(4, 143, 48))).size(), 48u);
    EXPECT_EQ(ModuleModel(Kind::named("AOT")).handlePdu(readPdu(4, 143, 48)), exception(4, 2));
}

TEST(ModuleModel, AinLiveValuesFollowStimulusScaleAndCalibration)
{
    ModuleModel model(Kind::named("AIN")); // 0 to 10V, span 3000, offset 0
    EXPECT_EQ(model.inputRegister(1), 0x4000);
    model.setAnalogStimulus(1, 5.0);
    EXPECT_EQ(model.inputRegister(1), 0x8000);
    EXPECT_EQ(model.inputRegister(17), 15000);
    model.setAnalogStimulus(2, 10.0);
    EXPECT_EQ(model.inputRegister(2), 0xC000);

    // 4 to 20 mA at 12 mA is mid-range; a negative raw value is two's complement.
    model.handlePdu(writeSinglePdu(103, 0x0203));
    model.handlePdu(writeSinglePdu(127, 232));
    model.handlePdu(writeSinglePdu(119, std::uint16_t(-3000)));
    model.setAnalogStimulus(3, 12.0);
    EXPECT_EQ(model.inputRegister(3), 0x8000);
    EXPECT_EQ(model.inputRegister(19), std::uint16_t(232 * 12 - 3000));
    model.setAnalogStimulus(3, 0.0);
    EXPECT_EQ(std::int16_t(model.inputRegister(19)), -3000);
    EXPECT_EQ(model.inputRegister(3), 0x2000); // below the range the encoding goes on down

    // Beyond the 16-bit ranges the values clamp instead of wrapping.
    model.setAnalogStimulus(4, 30.0);
    EXPECT_EQ(model.inputRegister(4), 0xFFFF);
    EXPECT_EQ(model.inputRegister(20), 32767);
    model.setAnalogStimulus(4, -20.0);
    EXPECT_EQ(model.inputRegister(4), 0);
    EXPECT_EQ(model.inputRegister(20), std::uint16_t(-32768));
    // A scale that is not set spans 0..1.
    model.handlePdu(writeSinglePdu(105, 0xFFFF));
    model.setAnalogStimulus(5, 0.5);
    EXPECT_EQ(model.inputRegister(5), 0x8000);
    // Halves round to even: 0.0000152587890625 V gives 0x4000 + 0.5 -> 0x4000.
    model.setAnalogStimulus(6, 10.0 / 0x10000);
    EXPECT_EQ(model.inputRegister(6), 0x4000);
}

TEST(ModuleModel, AotRawValueFollowsTheCommandedOutput)
{
    ModuleModel model(Kind::named("AOT")); // 0 to 10V, span 3000
    model.handlePdu(writeBlockPdu(1, { 0x8000, 0xC000 }));
    EXPECT_EQ(model.inputRegister(25), 15000);
    EXPECT_EQ(model.inputRegister(26), 30000);
    model.handlePdu(writeSinglePdu(103, 0x0103)); // 4 to 20 mA source
    model.handlePdu(writeSinglePdu(127, 1000));
    model.handlePdu(writeSinglePdu(119, 100));
    model.handlePdu(writeSinglePdu(3, 0x4000));
    EXPECT_EQ(model.inputRegister(27), 4 * 1000 + 100);
    EXPECT_EQ(model.handlePdu(readPdu(4, 1, 1)), exception(4, 2)); // outputs are not inputs
}

TEST(ModuleModel, DioBitsAndCounts)
{
    ModuleModel model(Kind::named("DIO"));
    model.setPulseInputCount(2, 0x00010002);
    model.setPulseInputRate(4, 1234);
    model.setPulseOutputCount(8, 77);
    EXPECT_EQ(words(model.handlePdu(readPdu(4, 17, 8))),
        (std::vector<std::uint16_t> { 0, 0, 1, 2, 0, 0, 0, 0 }));
    EXPECT_EQ(model.inputRegister(4), 1234);
    EXPECT_EQ(model.inputRegister(16), 77);

    // Coils: three coils true, false, true travel as one byte 0x05, first bit lowest.
    EXPECT_EQ(model.handlePdu({ 15, 0, 0, 0, 3, 1, 0x05 }), (Bytes { 15, 0, 0, 0, 3 }));
    EXPECT_TRUE(model.coil(1));
    EXPECT_FALSE(model.coil(2));
    EXPECT_TRUE(model.coil(3));
    model.setDiscreteInput(9, true);
    model.setDiscreteInput(16, true);
    EXPECT_EQ(model.handlePdu(readPdu(2, 1, 16)), (Bytes { 2, 2, 0x00, 0x81 }));
    EXPECT_EQ(model.handlePdu(readPdu(1, 1, 16)), (Bytes { 1, 2, 0x05, 0x00 }));
    EXPECT_EQ(model.handlePdu(readPdu(1, 16, 2)), exception(1, 2)); // only 16 coils
    EXPECT_EQ(ModuleModel(Kind::named("AIN")).handlePdu(readPdu(2, 1, 9)), exception(2, 2));
}

TEST(ModuleModel, ExceptionReplies)
{
    ModuleModel model(Kind::named("AIN"));
    EXPECT_EQ(model.handlePdu({ 5, 0, 0, 0xFF, 0 }), exception(5, 1));
    EXPECT_EQ(model.handlePdu({ 0x2B, 0x0E, 1, 0 }), exception(0x2B, 1));
    EXPECT_EQ(model.handlePdu(readPdu(4, 1, 0)), exception(4, 3));
    EXPECT_EQ(model.handlePdu(readPdu(3, 101, 126)), exception(3, 3));
    EXPECT_EQ(words(model.handlePdu(readPdu(4, 1, 24))).size(), 24u); // the AIN block reads whole
    EXPECT_EQ(model.handlePdu(readPdu(4, 25, 1)), exception(4, 2));
    EXPECT_EQ(model.handlePdu(readPdu(4, 190, 2)), exception(4, 2)); // runs into 191
    EXPECT_EQ(model.handlePdu(readPdu(3, 0x10000, 1)), exception(3, 2));
    EXPECT_EQ(model.handlePdu(readPdu(1, 1, 2001)), exception(1, 3));
    // A byte count that does not match the quantity.
    EXPECT_EQ(model.handlePdu({ 16, 0, 100, 0, 2, 2, 0, 1 }), exception(16, 3));

    // A block that runs into an unmapped register changes nothing.
    EXPECT_EQ(model.handlePdu(writeBlockPdu(140, { 0x0101, 0, 0 })), exception(16, 2));
    EXPECT_EQ(model.holdingRegister(140), 0x1101);

    model.removeHoldingRegister(204);
    EXPECT_EQ(model.handlePdu(readPdu(3, 204, 1)), exception(3, 2));
    EXPECT_EQ(model.handlePdu(writeSinglePdu(204, 1)), exception(6, 2));
    EXPECT_TRUE(model.handlePdu({}).empty());
}

TEST(ModuleModel, DisturbedChannelsReadOffNoisyOrDriftingWhileTheRegistersStayExact)
{
    ModuleModel model(Kind::named("AIN"));
    model.handlePdu(writeBlockPdu(101, { 0x1101 })); // channel 1: 0 to 5V
    for (int ch = 1; ch <= 8; ++ch)
        model.setAnalogStimulus(ch, 2.5);
    const std::vector<std::uint16_t> exact = words(model.handlePdu(readPdu(4, 1, 8)));
    const std::vector<std::uint16_t> exactRaw = words(model.handlePdu(readPdu(4, 17, 8)));
    ASSERT_EQ(exact[0], 0x8000);
    ASSERT_EQ(exactRaw[0], 3000 * 2.5);

    model.setChannelError(2, -300);
    model.setChannelNoise(4, 20);
    model.setChannelDrift(6, 3);
    std::vector<int> noisy, drifting;
    for (int read = 0; read < 40; ++read) {
        const auto scaled = words(model.handlePdu(readPdu(4, 1, 8)));
        const auto raw = words(model.handlePdu(readPdu(4, 17, 8)));
        for (int ch : { 0, 2, 4, 6, 7 }) { // the undisturbed channels read exactly
            EXPECT_EQ(scaled[std::size_t(ch)], exact[std::size_t(ch)]);
            EXPECT_EQ(raw[std::size_t(ch)], exactRaw[std::size_t(ch)]);
        }
        EXPECT_EQ(scaled[1], exact[1] - 300); // off by a constant, both values
        EXPECT_EQ(std::int16_t(raw[1]), std::int16_t(exactRaw[1]) - 300);
        noisy.push_back(int(scaled[3]) - int(exact[3]));
        drifting.push_back(int(scaled[5]) - int(exact[5]));
    }
    // Noise: within +-20, and not the same value three times running (it would settle).
    const auto [least, most] = std::minmax_element(noisy.begin(), noisy.end());
    EXPECT_GE(*least, -20);
    EXPECT_LE(*most, 20);
    EXPECT_GT(*most - *least, 20);
    // Drift: every three consecutive reads of a tick span more than a band of 4.
    for (std::size_t n = 2; n < drifting.size(); ++n) {
        const auto [low, high] =
            std::minmax_element(drifting.begin() + n - 2, drifting.begin() + n + 1);
        EXPECT_GT(*high - *low, 4) << n;
    }
    // The register itself, as `get` shows it, is what the stimulus makes.
    EXPECT_EQ(model.inputRegister(2), exact[1]);

    // Off the ends of a word the value stops at the end, unsigned for scaled and signed for raw.
    model.setChannelError(2, 70000);
    EXPECT_EQ(words(model.handlePdu(readPdu(4, 2, 1)))[0], 0xFFFF);
    EXPECT_EQ(words(model.handlePdu(readPdu(4, 18, 1)))[0], 0x7FFF);

    // steady / a new module: exact again. AOT: the raw values are the live ones.
    model.clearDisturbances();
    EXPECT_EQ(words(model.handlePdu(readPdu(4, 1, 8))), exact);
    model.setKind(Kind::named("AOT"));
    const std::uint16_t aotRaw = words(model.handlePdu(readPdu(4, 25, 1)))[0];
    model.setChannelError(1, 5);
    EXPECT_EQ(words(model.handlePdu(readPdu(4, 25, 1)))[0], aotRaw + 5);
    model.setKind(Kind::named("AOT"));
    EXPECT_EQ(words(model.handlePdu(readPdu(4, 25, 1)))[0], aotRaw);
}
