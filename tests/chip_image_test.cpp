// Image text forms, reading chip dumps, checking a chip and recovering a list.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <variant>
#include <vector>

#include "core/bcd_address.h"
#include "core/chip_check.h"
#include "core/da_codes.h"
#include "core/dump_reader.h"
#include "core/image_file.h"
#include "core/image_formats.h"
#include "core/list_recovery.h"
#include "core/tuning_list.h"

namespace varidac {
namespace {

using namespace std::string_literals;

std::string seventeenBytes() {
    std::string bytes;
    for (int i = 0; i <= 16; ++i) bytes += static_cast<char>(i);
    return bytes;
}

TEST(ImageFormats, RecordsOfSixteenBytesWithChecksumsAndAnEndRecord) {
    EXPECT_EQ(intelHexText(seventeenBytes()),
              ":10000000000102030405060708090A0B0C0D0E0F78\r\n:0100100010DF\r\n:00000001FF\r\n");
    EXPECT_EQ(sRecordText(seventeenBytes()),
              "S1130000000102030405060708090A0B0C0D0E0F74\r\nS104001010DB\r\nS9030000FC\r\n");
    EXPECT_EQ(imageFileContents("\xFF", ImageFormat::Binary), "\xFF");
}

std::string at(std::size_t address, std::string bytes) { return std::string(address, '\xFF') + bytes; }

TEST(DumpReader, TellsTheFormsApartAndPlacesEveryByteAtItsAddress) {
    struct Case {
        std::string content;
        DumpFormat format;
        std::string bytes;
    };
    const Case cases[] = {
        {std::string("\xFF\x00:S1", 5), DumpFormat::Binary, std::string("\xFF\x00:S1", 5)},
        {"0500,1.5\r\n", DumpFormat::Binary, "0500,1.5\r\n"},  // text, but neither form
        // Lower case, LF, blank lines and blanks, an address base of 0, a start address.
        {"\n  :020000040000FA \n:02001000abcd76\n\n:0400000500000000F7\n:00000001FF\n", DumpFormat::IntelHex,
         at(0x10, "\xAB\xCD")},
        {":020000020100FB\r:010005007783\r:00000001FF\r", DumpFormat::IntelHex, at(0x1005, "\x77")},
        {":011FFF0012CF\r\n:00000001FF", DumpFormat::IntelHex, at(0x1FFF, "\x12")},
        {"S00600004844521B\r\nS1050010ABCD72\r\nS205001FFF12CA\r\nS5030002FA\r\nS9030000FC\r\n", DumpFormat::SRecord,
         at(0x10, "\xAB\xCD") + std::string(0x1FFF - 0x12, '\xFF') + "\x12"},
        {"S30600000005777D\nS804000000FB\n", DumpFormat::SRecord, at(5, "\x77")},
        {"S30600000005777D\nS5030001FB\n", DumpFormat::SRecord, at(5, "\x77")},  // counted, no end record
        // A byte-order mark, and padding of ^Z and NULs in any order.
        {"\xEF\xBB\xBF:011FFF0012CF\n:00000001FF\0\x1A\0"s, DumpFormat::IntelHex, at(0x1FFF, "\x12")},
        {"S30600000005777D\nS804000000FB\n\x1A\x1A"s, DumpFormat::SRecord, at(5, "\x77")},
        // Text after a ^Z, a mark twice, or nothing but padding: raw, every byte kept.
        {":00000001FF\r\n\x1A\r\n", DumpFormat::Binary, ":00000001FF\r\n\x1A\r\n"},
        {"\xEF\xBB\xBF\xEF\xBB\xBF:00000001FF", DumpFormat::Binary, "\xEF\xBB\xBF\xEF\xBB\xBF:00000001FF"},
        {"\xEF\xBB\xBF\0\x1A"s, DumpFormat::Binary, "\xEF\xBB\xBF\0\x1A"s},
    };
    for (const auto& c : cases) {
        auto parsed = parseDump(c.content);
        ASSERT_TRUE(std::holds_alternative<Dump>(parsed)) << c.content << std::get<std::string>(parsed);
        EXPECT_EQ(std::get<Dump>(parsed).format, c.format) << c.content;
        EXPECT_EQ(std::get<Dump>(parsed).bytes, c.bytes) << c.content;
    }
}

TEST(DumpReader, RefusesWhatIsNotAWholeChecksummedDump) {
    const std::pair<std::string, std::string> cases[] = {
        {":02001000ABCD77\r\n:00000001FF\r\n", "Line 1: checksum 77H is wrong, the record needs 76H"},
        {"S1050010ABCD73\r\nS9030000FC\r\n", "Line 1: checksum 73H is wrong, the record needs 72H"},
        {":02001000ABCD76\r\n:0200", "Line 2: not an Intel HEX record"},
        {":02001000ABCD76\r\n", "It ends without an end record: the file is incomplete"},
        {"S1050010ABCD72\r\nS10500", "Line 2: the record length does not match its data"},
        {"S1050010ABCD72\r\n", "It ends without an end record: the file is incomplete"},
        {"S1050010ABCD72\r\nS5030003F9\r\n", "Line 2: the count record says 3 data records, the file holds 1"},
        {":02001000ABCD76\r\nS1050010ABCD72\r\n:00000001FF\r\n", "Line 2: not an Intel HEX record"},
        {":03001000ABCD75\r\n", "Line 1: the record length does not match its data"},
        {":00000006FA\r\n", "Line 1: record type 06H is not known"},
        {":0100000201FC\r\n:00000001FF\r\n", "Line 1: a type 02H record holds 1 data byte, it needs 2"},
        {":00000003FD\r\n:00000001FF\r\n", "Line 1: a type 03H record holds 0 data bytes, it needs 4"},
        {":03000005000000F8\r\n:00000001FF\r\n", "Line 1: a type 05H record holds 3 data bytes, it needs 4"},
        {"\xEF\xBB\xBF:02001000ABCD77\r\n:00000001FF\r\n\x1A", "Line 1: checksum 77H is wrong, the record needs 76H"},
        {":02FFFF000102FD\r\n", "Line 1: address 10000H lies beyond 64 KB"},
        {":020000021000EC\r\n:010005007783\r\n", "Line 2: address 10005H lies beyond 64 KB"},
        {":010010009956\r\n:02001000ABCD76\r\n", "Line 2: address 0010H is given twice"},
        {":00000001FF\r\n:010010009956\r\n", "Line 2: a record follows the end record"},
        {"S4030000FC\r\n", "Line 1: record type S4 is not known"},
        {"S105FFFF0102F9\r\n", "Line 1: address 10000H lies beyond 64 KB"},
        {"S1050010ABCD72\r\nSX\r\n", "Line 2: not an S-record"},
    };
    for (const auto& [content, problem] : cases) {
        auto parsed = parseDump(content);
        ASSERT_TRUE(std::holds_alternative<std::string>(parsed)) << content;
        EXPECT_EQ(std::get<std::string>(parsed), problem) << content;
    }
    EXPECT_EQ(dumpReadMessage("C.HEX", "Line 1: x").text(),
              "Something is wrong!  \rThe chip image C.HEX could not be read  \rLine 1: x  \r");
}

// The fuzz seeds are also the dumps programmers' software really writes, and
// some that are broken the way real files break.
TEST(DumpReader, ReadsEachSeedOfTheHostileCorpusAsExpected) {
    struct Case {
        const char* file;
        DumpFormat format;
        std::size_t size;     // 0: refused with `problem`
        const char* sameAs;   // a seed holding the same records without extras
        std::string problem;
    };
    const Case cases[] = {
        {"intel-hex-crlf", DumpFormat::IntelHex, 0x1701, nullptr, ""},
        {"hex-ctrl-z", DumpFormat::IntelHex, 0x1701, "intel-hex-crlf", ""},
        {"hex-nul-padding", DumpFormat::IntelHex, 0x1701, "intel-hex-crlf", ""},
        {"hex-bom", DumpFormat::IntelHex, 0x1701, "intel-hex-crlf", ""},
        {"hex-blank-lines", DumpFormat::IntelHex, 0x1701, "intel-hex-crlf", ""},
        {"intel-hex-segment-lf", DumpFormat::IntelHex, 0x3000, nullptr, ""},
        {"srec-s1-s9", DumpFormat::SRecord, 0x0610, nullptr, ""},
        {"srec-ctrl-z", DumpFormat::SRecord, 0x0610, "srec-s1-s9", ""},
        {"srec-counted-no-end", DumpFormat::SRecord, 0x0640, nullptr, ""},
        {"srec-s2-s3-lower", DumpFormat::SRecord, 0x8000, nullptr, ""},
        {"raw-bytes", DumpFormat::Binary, 217, nullptr, ""},
        {"raw-ending-in-padding", DumpFormat::Binary, 100, nullptr, ""},
        {"hex-ctrl-z-then-text", DumpFormat::Binary, 202, nullptr, ""},
        {"hex-type04-short", DumpFormat::IntelHex, 0, nullptr, "Line 3: a type 04H record holds 1 data byte, it needs 2"},
        {"hex-end-missing", DumpFormat::IntelHex, 0, nullptr, "It ends without an end record: the file is incomplete"},
        {"truncated", DumpFormat::IntelHex, 0, nullptr, "Line 3: not an Intel HEX record"},
        {"bad-checksum", DumpFormat::IntelHex, 0, nullptr, "Line 2: checksum 80H is wrong, the record needs 82H"},
        {"given-twice", DumpFormat::IntelHex, 0, nullptr, "Line 2: address 060FH is given twice"},
    };
    const std::string folder = std::string(VARIDAC_SOURCE_DIR) + "/fuzz/corpus/dump_reader/";
    auto read = [&](const char* file) { return readDumpFile(folder + file); };
    for (const auto& c : cases) {
        auto dump = read(c.file);
        if (c.size == 0) {
            ASSERT_TRUE(std::holds_alternative<Message>(dump)) << c.file;
            EXPECT_EQ(std::get<Message>(dump), dumpReadMessage(folder + c.file, c.problem)) << c.file;
            continue;
        }
        ASSERT_TRUE(std::holds_alternative<Dump>(dump)) << c.file << std::get<Message>(dump).text();
        EXPECT_EQ(std::get<Dump>(dump).format, c.format) << c.file;
        EXPECT_EQ(std::get<Dump>(dump).bytes.size(), c.size) << c.file;
        if (c.sameAs) {
            EXPECT_EQ(std::get<Dump>(dump).bytes, std::get<Dump>(read(c.sameAs)).bytes) << c.file;
        }
    }
    // A seed added without an expectation here is a case nobody checks.
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::string name = entry.path().filename().string();
        EXPECT_TRUE(std::any_of(std::begin(cases), std::end(cases), [&](const Case& c) { return name == c.file; })) << name;
    }
}

TEST(ChipImage, TheSizeNamesTheTypeUnlessTheTypeIsGiven) {
    struct Case {
        DumpFormat format;
        std::size_t size;
        std::optional<int16_t> eprom;
        int16_t type;  // -1: refused with `problem`
        std::string problem;
    };
    const std::string anySize = "It holds 8000 bytes; an image of a 27C64, 27C128, 27C256 or 27C512 holds 8192, 16384, 32768 or 65536";
    const Case cases[] = {
        {DumpFormat::Binary, 8192, {}, 0, ""},
        {DumpFormat::Binary, 16384, {}, 1, ""},
        {DumpFormat::Binary, 32768, {}, 2, ""},
        {DumpFormat::Binary, 65536, {}, 3, ""},
        {DumpFormat::Binary, 32768, 2, 2, ""},
        {DumpFormat::Binary, 8000, {}, -1, anySize},
        {DumpFormat::Binary, 16384, 0, -1, "It holds 16384 bytes; an image of a 27C64 holds 8192"},
        {DumpFormat::IntelHex, 0x1701, {}, 0, ""},
        {DumpFormat::SRecord, 0x2001, {}, 1, ""},
        {DumpFormat::IntelHex, 0x1701, 3, 3, ""},
        {DumpFormat::IntelHex, 0x2001, 0, -1, "It holds data up to 2000H; an image of a 27C64 ends at 1FFFH"},
    };
    for (const auto& c : cases) {
        auto chip = chipImageOf(Dump{c.format, std::string(c.size, '\x5A')}, c.eprom);
        if (c.type < 0) {
            EXPECT_EQ(std::get<std::string>(chip), c.problem) << c.size;
            continue;
        }
        ASSERT_TRUE(std::holds_alternative<ChipImage>(chip)) << c.size;
        const ChipImage& image = std::get<ChipImage>(chip);
        EXPECT_EQ(image.eprom, c.type) << c.size;
        ASSERT_EQ(image.bytes.size(), 8192u << c.type);
        EXPECT_EQ(image.bytes.find_first_not_of('\x5A'), c.size == image.bytes.size() ? std::string::npos : c.size) << c.size;
        EXPECT_EQ(image.bytes.back(), c.size == image.bytes.size() ? '\x5A' : '\xFF') << c.size;
    }
}

// The example list, read, with the start-up voltages.
TuningState exampleState() {
    TuningState state;
    auto list = parseTuningListText("600,2.1\r\n700,2.6\r\n800,3.2\r\n900,3.9\r\n1000,4.7\r\n1100,5.6\r\n1200,6.6\r\n"
                                    "1300,7.7\r\n1400,8.9\r\n1500,10.2\r\n1600,11.5\r\n");
    for (std::size_t i = 6; i <= 16; ++i) state.UvarTable[i] = *std::get<TuningList>(list).voltages[i];
    recomputeVoltages(state, "1.50", "12.00");
    return state;
}

std::string imageOf(const TuningState& state, int copies) {
    return imageBytes(std::get<CodeRun>(computeCodes(state)).image, copies);
}

TEST(ChipCheck, ListsEachDifferenceWithItsFrequencyCodesAndVoltages) {
    TuningState state = exampleState();
    const std::string expected = imageOf(state, 2);
    EXPECT_EQ(comparisonLines(compareChip(expected, expected), state, "L.INF"), std::vector<std::string>{"Same as L.INF"});

    std::string chip = expected;
    chip[0x0650] = '\x00';
    chip[0x2650] = '\x00';
    chip[0x05A0] = '\x7F';
    EXPECT_EQ(comparisonLines(compareChip(expected, chip), state, "L.INF"),
              (std::vector<std::string>{"3 addresses differ from L.INF:",
                                        "05A0H  no frequency: expected FFH (12 V), found 7FH (6.729 V)",
                                        "0650H  650 kHz: expected 15H (2.365 V), found 00H (1.5 V)",
                                        "2650H  650 kHz: expected 15H (2.365 V), found 00H (1.5 V)",
                                        "The copies of the 8 KB image disagree at 1 address:",
                                        "05A0H  no frequency: the copies hold 7FH FFH"}));

    std::string many = expected;
    for (std::size_t a = 0x0100; a < 0x0100 + 25; ++a) many[a] = '\x01';
    std::vector<std::string> lines = comparisonLines(compareChip(expected, many), state, "L.INF");
    ASSERT_EQ(lines.size(), 1 + 20 + 1 + 1 + 20 + 1u);
    EXPECT_EQ(lines[0], "25 addresses differ from L.INF:");
    EXPECT_EQ(lines[20], "0113H  113 kHz: expected FFH (12 V), found 01H (1.541 V)");
    EXPECT_EQ(lines[21], "and 5 more");
    EXPECT_EQ(lines[22], "The copies of the 8 KB image disagree at 25 addresses:");
    EXPECT_EQ(lines[43], "and 5 more");
}

TEST(ListRecovery, ReadsTheCodesAtTheHundredKilohertzPoints) {
    TuningState state = exampleState();
    std::string image = imageOf(state, 4);
    auto recovered = recoverList(ChipImage{2, image}, state.StartVoltage, state.VoltageStep);
    ASSERT_TRUE(std::holds_alternative<RecoveredList>(recovered)) << std::get<std::string>(recovered);
    // 600 kHz holds 0FH: 1.5 + 15 x 10.5 / 255.
    EXPECT_EQ(std::get<RecoveredList>(recovered).text.substr(0, 32), "600,2.11764705882353\r\n700,2.6117");

    struct Case {
        std::size_t address;
        char byte;
        std::size_t copies;  // how many copies, from the first, get `byte`
        std::string problem;
    };
    const Case cases[] = {
        {0x0500, '\x0F', 4, "0500H holds 0FH, not 00H: this is not an image of a Varidac filler"},
        {0x1700, '\x00', 4, "1700H holds 00H, not FFH: this is not an image of a Varidac filler"},
        {0x0700, '\x00', 3, "The copies of the 8 KB image disagree at 0700H: read the chip again"},
    };
    for (const auto& c : cases) {
        std::string broken = image;
        for (std::size_t copy = 0; copy < c.copies; ++copy) broken[copy * kImageSize + c.address] = c.byte;
        EXPECT_EQ(std::get<std::string>(recoverList(ChipImage{2, broken}, state.StartVoltage, state.VoltageStep)), c.problem);
    }
    std::string other = image;
    other[0x6701] = '\x00';  // an address it does not read
    EXPECT_TRUE(std::holds_alternative<RecoveredList>(recoverList(ChipImage{2, other}, state.StartVoltage, state.VoltageStep)));
}

// Recovering a list and filling it again gives the chip's codes at every
// 100 kHz point and at the edges; between them the interpolation runs from
// the code centres instead of the original voltages, so a code there can be
// one off. A chip filled from a recovered list recovers to the same list.
TEST(ListRecovery, RoundTripOnTheExampleAndRandomLists) {
    std::mt19937 random(11);
    std::vector<TuningState> states = {exampleState()};
    for (int n = 0; n < 300; ++n) {
        TuningState state;
        std::uniform_real_distribution<double> unit(0, 1);
        double start = std::floor(unit(random) * 300) / 100;
        double end = start + 8 + std::floor(unit(random) * 1200) / 100;
        std::string startText = std::to_string(start), endText = std::to_string(end);
        recomputeVoltages(state, startText, endText);
        double low = state.StartVoltage + 0.3, high = std::min(state.EndVoltage - 0.3, 14.9);
        std::vector<double> voltages;
        for (int i = 0; i < 11; ++i) voltages.push_back(low + unit(random) * (high - low));
        std::sort(voltages.begin(), voltages.end());
        for (std::size_t i = 0; i < 11; ++i) state.UvarTable[6 + i] = std::floor(voltages[i] * 1000) / 1000;
        if (state.UvarTable[16] <= 7.0) continue;
        states.push_back(state);
    }
    ASSERT_GT(states.size(), 200u);
    for (const TuningState& state : states) {
        const std::string chip = imageOf(state, 1);
        auto recovered = recoverList(ChipImage{0, chip}, state.StartVoltage, state.VoltageStep);
        ASSERT_TRUE(std::holds_alternative<RecoveredList>(recovered));
        const std::string& text = std::get<RecoveredList>(recovered).text;

        TuningState again = state;
        auto list = parseTuningListText(text);
        ASSERT_TRUE(std::holds_alternative<TuningList>(list)) << text;
        for (std::size_t i = 6; i <= 16; ++i) again.UvarTable[i] = *std::get<TuningList>(list).voltages[i];
        const std::string refilled = imageOf(again, 1);
        for (const Difference& d : compareChip(chip, refilled).differences) {
            std::optional<int> frequency = frequencyAt(d.address);
            ASSERT_TRUE(frequency) << d.address;
            EXPECT_TRUE(*frequency > 600 && *frequency < 1600 && *frequency % 100 != 0) << *frequency << "\n" << text;
            EXPECT_EQ(std::abs(d.expected - d.found), 1) << *frequency << "\n" << text;
        }
        auto second = recoverList(ChipImage{0, refilled}, again.StartVoltage, again.VoltageStep);
        EXPECT_EQ(std::get<RecoveredList>(second).text, text);
    }
}

}  // namespace
}  // namespace varidac
