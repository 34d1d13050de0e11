// The limits that docs/promises.md lists: how large a tuning list may be, which
// fields it refuses, and what happens to voltage texts too large to mean a
// voltage.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/da_codes.h"
#include "core/filler_run.h"
#include "core/tuning_list.h"
#include "core/voltage_checks.h"
#include "fault_support.h"

namespace varidac::fault {
namespace {

const std::string kHugeDigits = "1" + std::string(400, '0');  // beyond the double range

// A bound that tells a read that ends from one that hangs, loops or grows
// without end (which would take hours here), whatever else the machine is
// doing; how fast a read is, the benchmarks say.
constexpr double kEndsSeconds = kSanitized ? 300.0 : 60.0;

std::string listProblem(const std::string& problem) {
    return printed(listReadMessage(problem));
}

std::size_t countLines(const std::string& text) {
    std::size_t lines = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++lines;
    return lines;
}

TEST(VoltageLimits, TheStepFieldShowsTooLargeWhereItsFormWouldNeedAnExponent) {
    struct Case {
        std::string start;
        std::string end;
        std::string step;
    };
    const Case cases[] = {
        {"1.50", "12.00", "0.0412"},
        {"0", "300", "01.1765"},
        {"0", "254999999999999700", "0999999999999999"},  // the largest step that still shows
        {"0", "254999999999999900", "too large"},          // 15 digits round it up to 10^15
        {"0", "255000000000000000", "too large"},
        {"1.50", "5e306", "too large"},       // pasted: step x 10000 overflows
        {"1.50", kHugeDigits, "too large"},   // reads as infinite
        {kHugeDigits, "12.00", "too large"},
        {kHugeDigits, kHugeDigits, "too large"},  // infinite minus infinite
        {std::string(100000, '0') + "1.5", "12.00", "0.0412"},  // length alone is no limit
        {"1.5" + std::string(100000, '0'), "12" + std::string(100000, '.'), "0.0412"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.start.substr(0, 30) + " .. " + c.end.substr(0, 30));
        TuningState state;
        EXPECT_EQ(recomputeVoltages(state, c.start, c.end), c.step);
        EXPECT_EQ(stepShowable(state.VoltageStep), c.step != "too large");
    }
}

TEST(VoltageLimits, ATooLargeVoltageIsReadAsInfiniteNotWrapped) {
    TuningState state;
    recomputeVoltages(state, "1.50", kHugeDigits);
    EXPECT_TRUE(std::isinf(state.EndVoltage));
    EXPECT_GT(state.EndVoltage, 0);
    recomputeVoltages(state, "70000", "99999.5");  // beyond 16 bits is an ordinary voltage
    EXPECT_EQ(state.StartVoltage, 70000);
    EXPECT_EQ(state.RangeVoltage, 29999.5);
}

class VoltageLimitRuns : public ::testing::Test {
protected:
    void SetUp() override {
        list = folder.file("LIST.INF");
        writeFile(list, kExampleList);
    }
    ScratchFolder folder;
    std::string list;
};

TEST_F(VoltageLimitRuns, TheFillerRunRefusesAStepTooLargeToShow) {
    struct Case {
        std::string start;
        std::string end;
        Message expected;
    };
    const Case cases[] = {
        {"1.50", kHugeDigits, voltageTooLargeMessage()},
        {"1.50", "255000000000000000", voltageTooLargeMessage()},
        {"1.50", "5e306", voltageTooLargeMessage()},
        // The margin checks come first and keep their own messages.
        {kHugeDigits, "12.00", startVoltageMessage()},
        {kHugeDigits, kHugeDigits, startVoltageMessage()},
        {"1.50", "0" + kHugeDigits.substr(0, 2), endVoltageMessage()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.start.substr(0, 20) + " .. " + c.end.substr(0, 20));
        TuningState state = stateWithList(list);
        recomputeVoltages(state, c.start, c.end);
        EXPECT_EQ(fillerRun(state, c.start, c.end, '.'), c.expected);
        EXPECT_EQ(namesIn(folder.path()), std::set<std::string>{"LIST.INF"});
    }
    EXPECT_EQ(voltageTooLargeMessage().lines,
              (std::vector<std::string>{"Something is wrong!  ", "D/A Start or End voltage is too large  ",
                                        "Correct the settings and start again  "}));
}

// Up to the limit a huge step is an ordinary run: every code is 0, and the
// report holds no infinity and no NaN.
TEST_F(VoltageLimitRuns, TheLargestShowableStepStillRuns) {
    TuningState state = stateWithList(list);
    recomputeVoltages(state, "1.50", "254999999999999700");
    Message result = fillerRun(state, "1.50", "254999999999999700", '.');
    ASSERT_EQ(result.title, "Run OK!") << result.text();
    std::string report = readFile(folder.file("LIST_test_DA.TXT")).value_or("");
    EXPECT_EQ(countLines(report), 1015u);
    EXPECT_EQ(report.find("INF"), std::string::npos);
    EXPECT_EQ(report.find("NaN"), std::string::npos);
    EXPECT_NE(report.find("Calculated 255 D/A steps = 0999999999999999 Volt\r\n"), std::string::npos);
    EXPECT_EQ(state.EpromImage[0x0600], 0);
    EXPECT_EQ(state.EpromImage[0x1600], 0);
}

TEST_F(VoltageLimitRuns, TheCompanionRefusesATooLargeVoltage) {
    ChildResult result = Child::companion({"--end", kHugeDigits, list}).wait();
    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, printed(voltageTooLargeMessage()));
    EXPECT_EQ(namesIn(folder.path()), std::set<std::string>{"LIST.INF"});
}

TEST(ListLimits, FieldsAndNumbersAtTheirLimits) {
    auto field = [](std::size_t length, const std::string& digits) { return std::string(length - digits.size(), '0') + digits; };
    struct Case {
        std::string text;
        std::optional<std::string> problem;  // none: the list reads
    };
    const Case cases[] = {
        {"600," + field(1000, "2.1"), std::nullopt},
        {"600," + field(1001, "2.1"), "Line 1: a field is longer than 1000 characters"},
        {field(1001, "600") + ",2.1", "Line 1: a field is longer than 1000 characters"},
        {"600,2.1\r\n32767,1\r\n-32768,1", std::nullopt},
        {"600,2.1\r\n32768,1", "Line 2: frequency 32768 is outside -32768 to 32767"},
        {"600,2.1\r\n-32769,1", "Line 2: frequency -32769 is outside -32768 to 32767"},
        {"600,2.1\r\n1e400,1", "Line 2: frequency 1e400 is outside -32768 to 32767"},
        {"600,2.1\r\n650.5,1", "Line 2: frequency 650.5 is not a whole number"},
        {"600,1e308", std::nullopt},
        {"600,1e400", "Line 1: voltage 1e400 is out of range"},
        {"600,-1e400", "Line 1: voltage -1e400 is out of range"},
        {"600,1e-400", "Line 1: voltage 1e-400 is out of range"},  // too small for a double
        {"600,4.9e-324", std::nullopt},                            // the smallest there is
        {std::string("600,2\0" "1", 7), "Line 1: \"2<00>1\" is not a number"},
        {"600,2.1\xc3\xa9", "Line 1: \"2.1<C3><A9>\" is not a number"},
        {"600," + std::string(30, 'x'), "Line 1: \"xxxxxxxxxxxxxxxxxxxx...\" is not a number"},
        {std::string(5000, ','), "Line 1: a field is empty"},
        {"", "The file holds no records"},
        {std::string("\0\0\0", 3), "Line 1: \"<00><00><00>\" is not a number"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 40));
        ListOrMessage result = parseTuningListText(c.text);
        if (c.problem) {
            ASSERT_TRUE(std::holds_alternative<Message>(result));
            EXPECT_EQ(std::get<Message>(result), listReadMessage(*c.problem));
        } else {
            EXPECT_TRUE(std::holds_alternative<TuningList>(result)) << std::get<Message>(result).text();
        }
    }
}

TEST(ListLimits, LineNumbersStayRightFarIntoALongList) {
    std::string text;
    for (int i = 0; i < 200000; ++i) text += i % 2 ? "650,2.35\n" : "600,2.1\r\n";
    text += "700,oops\r\n";
    ListOrMessage result = parseTuningListText(text);
    ASSERT_TRUE(std::holds_alternative<Message>(result));
    EXPECT_EQ(std::get<Message>(result), listReadMessage("Line 200001: \"oops\" is not a number"));
}

// A pipe or a device may never end: the reader stops at a too-long field, or
// once it has read 16 MB from it, and lets the writer go.
TEST(ListLimits, AnEndlessListThatIsNoFileIsRefusedSoon) {
    ScratchFolder folder;
    std::string zero = folder.file("ZERO.INF");
    std::filesystem::create_symlink("/dev/zero", zero);
    std::variant<LoadedList, Message> endlessField = loadTuningList(zero);
    ASSERT_TRUE(std::holds_alternative<Message>(endlessField));
    EXPECT_EQ(std::get<Message>(endlessField), listReadMessage("Line 1: a field is longer than 1000 characters"));

    const Message tooMuch = listReadMessage("It is not a regular file and gives more than 16 MB: save the list as a file and read that");
    struct Case {
        std::string first;
        std::string repeated;  // written until the reader stops reading, when not empty
        std::optional<Message> expected;  // none: the list reads
    };
    const Case cases[] = {
        {"600,2.1\n", "1000,4.7\n", tooMuch},
        {"600,2,1\n", "700,2,6\n", tooMuch},
        {"600,2.1\n", "", std::nullopt},
    };
    std::string fifo = folder.file("ENDLESS.INF");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first + c.repeated);
        std::string block = c.first;
        while (!c.repeated.empty() && block.size() < (1u << 16)) block += c.repeated;
        Child writer = Child::run([&] {
            std::signal(SIGPIPE, SIG_IGN);
            int fd = open(fifo.c_str(), O_WRONLY);
            if (fd < 0) return 2;
            for (bool again = true; again; again = !c.repeated.empty()) {
                if (write(fd, block.data(), block.size()) < 0) return errno == EPIPE ? 0 : 3;
            }
            close(fd);
            return 0;
        });
        auto started = std::chrono::steady_clock::now();
        std::variant<LoadedList, Message> loaded = loadTuningList(fifo);
        std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - started;
        ChildResult written = writer.wait();
        EXPECT_TRUE(written.exited && written.status == 0) << written.status << " " << written.signal;
        EXPECT_LT(seconds.count(), kEndsSeconds);
        if (c.expected) {
            ASSERT_TRUE(std::holds_alternative<Message>(loaded));
            EXPECT_EQ(std::get<Message>(loaded), *c.expected);
        } else {
            EXPECT_TRUE(std::holds_alternative<LoadedList>(loaded));
        }
    }
}

// Lists of 100 MB, written once per test into a scratch folder.
class HugeLists : public ::testing::Test {
protected:
    static constexpr std::size_t kSize = 100u << 20;

    void writeRepeated(const std::string& path, const std::string& unit) {
        std::ofstream out(path, std::ios::binary);
        std::string block;
        while (block.size() < (1u << 20)) block += unit;
        std::size_t written = 0;
        while (written < kSize) {
            out.write(block.data(), static_cast<std::streamsize>(block.size()));
            written += block.size();
        }
        ASSERT_TRUE(out.good());
    }

    // The companion's peak memory and time for `path`, against a small list.
    ChildResult runCompanion(const std::string& path) { return Child::companion({path}).wait(); }

    ScratchFolder folder;
};

TEST_F(HugeLists, A100MegabyteListIsReadInSecondsAndLittleMemory) {
    writeFile(folder.file("SMALL.INF"), kExampleList);
    writeRepeated(folder.file("HUGE.INF"), kExampleList);
    ChildResult small = runCompanion(folder.file("SMALL.INF"));
    ChildResult huge = runCompanion(folder.file("HUGE.INF"));
    ASSERT_TRUE(huge.exited);
    EXPECT_EQ(huge.status, 0) << huge.err;
    EXPECT_EQ(huge.out, "Run OK!\nOkido!  \nHUGE_27C64.BIN is created.  \n");
    EXPECT_EQ(readFile(folder.file("HUGE_test_DA.TXT")), readFile(folder.file("SMALL_test_DA.TXT")));
    EXPECT_LT(huge.maxRssKb - small.maxRssKb, 16 * 1024) << "peak memory grows with the list";
    EXPECT_LT(huge.seconds, kEndsSeconds);
}

TEST_F(HugeLists, Hostile100MegabyteListsAreRefusedInSecondsAndLittleMemory) {
    struct Case {
        const char* what;
        std::string unit;
        std::string message;
    };
    const Case cases[] = {
        {"one endless field", "6", listProblem("Line 1: a field is longer than 1000 characters")},
        {"NUL bytes", std::string(1, '\0'), listProblem("Line 1: a field is longer than 1000 characters")},
        {"only line ends", "\r\n", listProblem("The file holds no records")},
        {"only commas", ",", listProblem("Line 1: a field is empty")},
        {"records without a start", "650,2.35\r\n", printed(badStartMessage())},
    };
    writeFile(folder.file("SMALL.INF"), kExampleList);
    ChildResult small = runCompanion(folder.file("SMALL.INF"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string path = folder.file("HOSTILE.INF");
        writeRepeated(path, c.unit);
        ChildResult result = runCompanion(path);
        ASSERT_TRUE(result.exited);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, c.message);
        EXPECT_LT(result.maxRssKb - small.maxRssKb, 16 * 1024);
        EXPECT_LT(result.seconds, kEndsSeconds);
        EXPECT_EQ(namesIn(folder.path()), (std::set<std::string>{"SMALL.INF", "SMALL_test_DA.TXT", "SMALL_27C64.BIN", "HOSTILE.INF"}));
    }
}

TEST_F(HugeLists, AListThatIsNotAFileIsRefusedWithAReason) {
    std::filesystem::create_directory(folder.file("FOLDER.INF"));
    struct Case {
        std::string path;
        std::string message;
    };
    const Case cases[] = {
        {folder.file("MISSING.INF"), listProblem("It cannot be opened: No such file or directory")},
        {folder.file("FOLDER.INF"), listProblem("It cannot be read: Is a directory")},
        {folder.file("NOEXTENSION"), listProblem("The file name has no extension")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        ChildResult result = runCompanion(c.path);
        ASSERT_TRUE(result.exited);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, c.message);
    }
}

}  // namespace
}  // namespace varidac::fault
