// What the trend draws and the live-value log writes: scaled counts in the channel's unit, the
// bands a test judges against, and the CSV log's header, lines, flushing and hourly rotation.
#include "core/LiveValues.h"
#include "core/AnalogTestArithmetic.h"
#include "core/LiveLog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace zul;
using namespace std::chrono_literals;

namespace {

std::vector<std::string> lines(const std::string &path)
{
    std::ifstream file(path);
    std::vector<std::string> all;
    for (std::string line; std::getline(file, line);)
        all.push_back(line);
    return all;
}

std::array<std::uint16_t, LiveChannels> allOf(std::uint16_t word)
{
    std::array<std::uint16_t, LiveChannels> words {};
    words.fill(word);
    return words;
}

class TempDir
{
public:
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "zul-log-XXXXXX").string();
        m_path = ::mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~TempDir() { std::filesystem::remove_all(m_path); }
    std::string file(const std::string &name) const { return m_path + "/" + name; }
    std::vector<std::string> names() const
    {
        std::vector<std::string> all;
        for (const auto &entry : std::filesystem::directory_iterator(m_path))
            all.push_back(entry.path().filename().string());
        std::sort(all.begin(), all.end());
        return all;
    }

private:
    std::string m_path;
};

} // namespace

TEST(LiveValues, ScaledCountsBecomeVoltsOrMilliampsAndUnknownScalesStayCounts)
{
    std::array<std::uint16_t, LiveChannels> scales {};
    scales.fill(0xFFFF);
    scales[0] = 0x1102; // 0 to 10V
    scales[1] = 0x0203; // 4 to 20mA, sink
    scales[2] = 0x1103; // 1 to 5V
    auto words = allOf(0x6000);
    words[2] = 0x4000;
    const LiveSample sample = ScaledSample("AIN Check", "AIN", words, scales, false);
    EXPECT_DOUBLE_EQ(sample.values[0], 2.5);
    EXPECT_EQ(sample.units[0], "V");
    EXPECT_EQ(sample.scales[0], "0 to 10V");
    EXPECT_DOUBLE_EQ(sample.values[1], 8.0); // a quarter of 16 mA above 4 mA
    EXPECT_EQ(sample.units[1], "mA");
    EXPECT_DOUBLE_EQ(sample.values[2], 1.0); // mid-scale counts are the range's low end
    EXPECT_DOUBLE_EQ(sample.values[3], 0x6000);
    EXPECT_EQ(sample.units[3], "counts");
    EXPECT_EQ(sample.raw, words);
    EXPECT_EQ(UnitsText(sample), "V, mA, counts");

    // Raw converter counts are signed.
    const LiveSample raw = RawSample("AOT Calibration", "AOT", allOf(0xC568));
    EXPECT_DOUBLE_EQ(raw.values[7], -15000);
    EXPECT_EQ(UnitsText(raw), "counts");
}

TEST(LiveValues, BandsAreWhatTheTestsPassInclusive)
{
    // Inputs in counts: expected plus and minus the tolerance, hex or decimal.
    const auto counts = inputBand("$80", "$6000");
    ASSERT_TRUE(counts);
    EXPECT_EQ(*counts, Band(0x6000 - 0x80, 0x6000 + 0x80));
    EXPECT_TRUE(inputPasses("$80", "$6000", "$6080"));
    EXPECT_FALSE(inputPasses("$80", "$6000", "$6081"));
    EXPECT_FALSE(inputBand("x", "$6000"));

    // Outputs in units; a percentage is of the range's high end.
    const TestRange range = outputTestRange(0x0203); // 4 to 20mA
    const auto milliamps = outputBand(range, "5%", "12");
    ASSERT_TRUE(milliamps);
    EXPECT_FLOAT_EQ(static_cast<float>(milliamps->first), 11.0F);
    EXPECT_FLOAT_EQ(static_cast<float>(milliamps->second), 13.0F);
    EXPECT_TRUE(outputPasses(range, "5%", "12", "13"));
    EXPECT_FALSE(outputPasses(range, "5%", "12", "13.01"));
    EXPECT_FALSE(outputBand(range, "", "12"));
}

TEST(LiveLog, WritesAHeaderAndOneFlushedLinePerTickAndRotatesHourly)
{
    TempDir dir;
    LiveLog log;
    LiveLog::Module module { "AIN", "00123456", {} };
    module.scales[0] = "0 to 10V";
    const auto start = LiveLog::Clock::now();
    std::string error;
    ASSERT_TRUE(log.Start(dir.file("values.csv"), module, start, 60min, &error)) << error;

    std::array<std::uint16_t, LiveChannels> scales {};
    scales.fill(0x1102);
    LiveSample sample = ScaledSample("AIN Check", "AIN", allOf(0x6000), scales, false);
    sample.page = "AIN Check, live"; // a comma in a field is quoted
    ASSERT_TRUE(log.Write(sample, start + 1s, &error));
    ASSERT_TRUE(log.Write(sample, start + 2s, &error));

    // Read while the log is still open: every line is on disk already.
    auto first = lines(dir.file("values.csv"));
    ASSERT_EQ(first.size(), 4U);
    EXPECT_EQ(
        first[0].rfind("module,AIN,serial,00123456,AIN1 scale,0 to 10V,AIN2 scale,not set", 0), 0U)
        << first[0];
    EXPECT_EQ(first[1].rfind("time,page,unit,AIN1,", 0), 0U);
    EXPECT_NE(first[1].find(",AIN8,AIN1 raw,"), std::string::npos);
    const std::string stamp = LiveLog::IsoTime(start + 1s);
    EXPECT_EQ(stamp.size(), std::string("2026-12-07T17:05:01.123+01:00").size()) << stamp;
    EXPECT_EQ(first[2],
        stamp
            + ",\"AIN Check, live\",V,2.5,2.5,2.5,2.5,2.5,2.5,2.5,2.5,"
              "24576,24576,24576,24576,24576,24576,24576,24576");

    // An hour after the file began, the next line opens the next file, with its own header.
    ASSERT_TRUE(log.Write(sample, start + 60min + 3s, &error));
    const std::string rotated = LiveLog::RotatedPath(dir.file("values.csv"), start + 60min + 3s);
    EXPECT_EQ(log.CurrentPath(), rotated);
    const auto second = lines(rotated);
    ASSERT_EQ(second.size(), 3U);
    EXPECT_EQ(second[0], first[0]);
    EXPECT_EQ(lines(dir.file("values.csv")).size(), 4U);
    EXPECT_EQ(dir.names().size(), 2U);
    log.Stop();
    EXPECT_FALSE(log.Write(sample, start + 61min, &error));

    // A carriage return and a NUL in a text field stay inside their quoted field.
    TempDir odd;
    LiveLog::Module damaged { "AIN",
        std::string("0012\r\0"
                    "3456",
            10),
        {} };
    ASSERT_TRUE(log.Start(odd.file("odd.csv"), damaged, start, 60min, &error)) << error;
    sample.page = "AIN\rCheck";
    ASSERT_TRUE(log.Write(sample, start + 1s, &error));
    log.Stop();
    std::ifstream in(odd.file("odd.csv"), std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(written.rfind("module,AIN,serial,\"0012\r\\03456\",AIN1 scale,", 0), 0U) << written;
    EXPECT_NE(written.find(",\"AIN\rCheck\",V,2.5,"), std::string::npos) << written;
    EXPECT_EQ(written.find('\0'), std::string::npos);

    // A file that cannot be written says why.
    EXPECT_FALSE(log.Start(dir.file("no-such-folder/values.csv"), module, start, 60min, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(log.Active());
}

TEST(LiveLog, NamesChangedScalesInANewHeaderBeforeTheNextLineAndInLaterFiles)
{
    TempDir dir;
    LiveLog log;
    LiveLog::Module module { "AIN", "00123456", {} };
    module.scales.fill("0 to 10V");
    const auto start = LiveLog::Clock::now();
    std::string error;
    ASSERT_TRUE(log.Start(dir.file("values.csv"), module, start, 60min, &error)) << error;
    const LiveSample before = ScaledSample("AIN Check", "AIN", allOf(0x6000), allOf(0x1102), false);
    ASSERT_TRUE(log.TakeScales(module.scales, &error));
    ASSERT_TRUE(log.Write(before, start + 1s, &error));

    std::array<std::string, LiveChannels> changed = module.scales;
    changed[0] = "0 to 5V";
    changed[7] = ""; // read as no scale
    const LiveSample after = ScaledSample("AIN Check", "AIN", allOf(0x6000), allOf(0x1101), false);
    ASSERT_TRUE(log.TakeScales(changed, &error));
    ASSERT_TRUE(log.Write(after, start + 2s, &error));
    ASSERT_TRUE(log.TakeScales(changed, &error)); // unchanged: no header
    ASSERT_TRUE(log.Write(after, start + 3s, &error));

    const auto written = lines(dir.file("values.csv"));
    ASSERT_EQ(written.size(), 7U);
    EXPECT_EQ(
        written[3].rfind("module,AIN,serial,00123456,AIN1 scale,0 to 5V,AIN2 scale,0 to 10V,", 0),
        0U)
        << written[3];
    EXPECT_NE(written[3].find(",AIN8 scale,not set"), std::string::npos) << written[3];
    EXPECT_EQ(written[4], written[1]);
    EXPECT_NE(written[5].find(",V,1.25,"), std::string::npos) << written[5];
    EXPECT_NE(written[6].find(",V,1.25,"), std::string::npos) << written[6];

    // The next file of the rotation begins with the scales now held, not those at the start.
    ASSERT_TRUE(log.Write(after, start + 60min + 1s, &error));
    const auto rotated = lines(log.CurrentPath());
    ASSERT_EQ(rotated.size(), 3U);
    EXPECT_EQ(rotated[0], written[3]);
    log.Stop();
    EXPECT_FALSE(log.TakeScales(module.scales, &error));
}
