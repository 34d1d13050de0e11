#include "core/tuning_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/number_text.h"
#include "core/voltage_checks.h"
#include "tests/temp_folder.h"

namespace varidac {
namespace {

const std::string kExample =
    "600,2.1\r\n650,2.35\r\n700,2.6\r\n800,3.2\r\n900,3.9\r\n1000,4.7\r\n1100,5.6\r\n"
    "1200,6.6\r\n1300,7.7\r\n1400,8.9\r\n1500,10.2\r\n1600,11.5\r\n";

TuningState startupState() {
    TuningState state;
    loadStartupValues(state, "/start/folder");
    return state;
}

TEST(ReadTuningList, ReadsTheExampleAndNamesTheOutputsAfterIt) {
    TempFolder folder;
    std::string path = folder.write("MYLIST.INF", kExample);
    TuningState state = startupState();
    EXPECT_EQ(readTuningList(state, path), std::nullopt);
    const double expected[] = {2.1, 2.6, 3.2, 3.9, 4.7, 5.6, 6.6, 7.7, 8.9, 10.2, 11.5};
    for (std::size_t i = 0; i < 11; ++i) EXPECT_EQ(state.UvarTable[i + 6], expected[i]) << "index " << i + 6;
    for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(state.UvarTable[i], 0);
    EXPECT_EQ(state.pad, folder.path().string());
    EXPECT_EQ(state.alleendenaam, "MYLIST");
    EXPECT_EQ(state.naamzonderpad, "MYLIST.INF");
    EXPECT_EQ(state.Freq, 1600);
    EXPECT_EQ(state.Uvar, 11.5);

    EXPECT_EQ(tuneListItems(state, "1.50", "12.00"),
              (std::vector<std::string>{"  500 ,  1.50", "  600 ,  2.1", "  700 ,  2.6", "  800 ,  3.2", "  900 ,  3.9",
                                        "  1000 ,  4.7", "  1100 ,  5.6", "  1200 ,  6.6", "  1300 ,  7.7", "  1400 ,  8.9",
                                        "  1500 ,  10.2", "  1600 ,  11.5", "  1700 ,  12.00"}));
    EXPECT_TRUE(voltageWarnings(state, "1.50", "12.00").empty());
}

// Runs the parser alone on a list and returns the table it would set on a zeroed state.
std::array<double, kTableSize> tableOf(const std::string& text) {
    ListOrMessage result = parseTuningListText(text);
    std::array<double, kTableSize> table{};
    if (auto* list = std::get_if<TuningList>(&result)) {
        for (std::size_t i = 0; i < kTableSize; ++i) table[i] = list->voltages[i].value_or(0);
    } else {
        ADD_FAILURE() << "refused: " << std::get<Message>(result).text();
    }
    return table;
}

TEST(ParseTuningList, AcceptsTheLayoutsRealFilesHave) {
    struct Case {
        const char* name;
        std::string text;
    };
    const Case cases[] = {
        {"CR LF", "600,2.1\r\n1600,11.5\r\n"},
        {"no final line end", "600,2.1\r\n1600,11.5"},
        {"lone LF", "600,2.1\n1600,11.5\n"},
        {"lone CR", "600,2.1\r1600,11.5\r"},
        {"blank lines", "\r\n600,2.1\r\n\r\n   \r\n1600,11.5\r\n\r\n"},
        {"blanks around fields", "  600 ,\t2.1  \r\n 1600,  11.5\t\r\n"},
        {"one record over two lines", "600\r\n2.1\r\n1600,11.5\r\n"},
        {"several records on one line", "600,2.1,1600,11.5\r\n"},
        {"exponent and plus sign", "6e2,+2.1\r\n1600,1.15e1\r\n"},
    };
    for (const auto& c : cases) {
        auto table = tableOf(c.text);
        EXPECT_EQ(table[6], 2.1) << c.name;
        EXPECT_EQ(table[16], 11.5) << c.name;
    }
}

TEST(ParseTuningList, UsesOnlyTheHundredKilohertzPointsAndTheLastRecordWins) {
    std::string every50;
    for (int f = 600; f <= 1600; f += 50) every50 += std::to_string(f) + "," + std::to_string(f / 100) + ".5\r\n";
    auto table = tableOf(every50);
    for (int i = 6; i <= 16; ++i) EXPECT_EQ(table[static_cast<std::size_t>(i)], i + 0.5) << i;

    table = tableOf("600,2.1\r\n800,3\r\n500,9\r\n1700,9\r\n800,3.3\r\n");
    EXPECT_EQ(table[8], 3.3);
    EXPECT_EQ(table[5], 0);

    ListOrMessage first6005 = parseTuningListText("6005,1\r\n700,2\r\n");
    ASSERT_TRUE(std::holds_alternative<TuningList>(first6005));
    EXPECT_FALSE(std::get<TuningList>(first6005).voltages[6].has_value());
    EXPECT_EQ(std::get<TuningList>(first6005).voltages[7], 2.0);
}

TEST(ParseTuningList, NamesTheHundredKilohertzPointsItLacks) {
    struct Case {
        std::string text;
        std::vector<int> missing;
        std::string line;
    };
    const Case cases[] = {
        {kExample, {}, ""},
        {"600,2\r\n650,2\r\n700,2\r\n1000,4\r\n1100,5\r\n1200,6\r\n1300,7\r\n1400,8\r\n1500,9\r\n1600,10\r\n"
         "800.0,3\r\n",
         {900}, "No record for 900 kHz  "},
        {"600,2\r\n650,2\r\n", {700, 800, 900, 1000, 1100, 1200, 1300, 1400, 1500, 1600},
         "No record for 700, 800, 900, 1000, 1100, 1200, 1300, 1400, 1500, 1600 kHz  "},
        {"6005,2\r\n700,2\r\n800,2\r\n900,2\r\n1000,2\r\n1100,2\r\n1200,2\r\n1300,2\r\n1400,2\r\n1500,2\r\n1700,2\r\n",
         {600, 1600}, "No record for 600, 1600 kHz  "},
    };
    for (const auto& c : cases) {
        ListOrMessage result = parseTuningListText(c.text);
        ASSERT_TRUE(std::holds_alternative<TuningList>(result)) << c.line;
        std::vector<int> missing = missingFrequencies(std::get<TuningList>(result));
        EXPECT_EQ(missing, c.missing);
        if (!missing.empty()) {
            EXPECT_EQ(missingRecordsMessage(missing).lines,
                      (std::vector<std::string>{"Something is wrong!  ", "The INF input file could not be read  ", c.line}));
        }
    }
}

TEST(KeptPointsMessage, NamesEachListThatKeptPointsComeFrom) {
    std::array<std::string, kTableSize> sourceOf;
    sourceOf.fill("FIRST.INF");
    sourceOf[9] = "SECOND.INF";
    EXPECT_EQ(keptPointsMessage("THIRD.INF", {800, 900, 1000}, sourceOf).lines,
              (std::vector<std::string>{"Something is wrong!  ", "THIRD.INF has no record for 800, 900, 1000 kHz  ",
                                        "800, 1000 kHz keep the values of FIRST.INF  ", "900 kHz keeps the value of SECOND.INF  ",
                                        "Correct the INF file and reload  "}));
}

TEST(KeptPointsMessage, ShowsNamesAsEveryMessageDoesCutWithoutSplittingACharacter) {
    struct Case {
        std::string name;
        std::string shown;
    };
    const std::string ae = "\xC3\xA4";  // "ä" in UTF-8
    const Case cases[] = {
        {"Empf" + ae + "nger.INF", "Empf" + ae + "nger.INF"},
        {"\xF0\x9F\x93\xBB Liste.INF", "\xF0\x9F\x93\xBB Liste.INF"},
        {"Tab\tName.INF", "Tab\\x09Name.INF"},
        {"A\x1B[2J.INF", "A\\x1B[2J.INF"},
        {"Latin1 \xE4.INF", "Latin1 \\xE4.INF"},  // not UTF-8: the byte, not a guess
        {"\x01" + std::string(70, 'L'), "\\x01" + std::string(59, 'L') + "..."},
        {std::string(60, 'L'), std::string(60, 'L')},
        {std::string(59, 'L') + ae + "X", std::string(59, 'L') + "..."},
        {std::string(58, 'L') + ae + "X", std::string(58, 'L') + ae + "..."},
        {std::string(57, 'L') + "\xF0\x9F\x93\xBB", std::string(57, 'L') + "..."},
        {std::string(56, 'L') + "\xF0\x9F\x93\xBB" + "X", std::string(56, 'L') + "\xF0\x9F\x93\xBB..."},
    };
    for (const auto& c : cases) {
        std::array<std::string, kTableSize> sourceOf;
        sourceOf.fill(c.name);
        Message message = keptPointsMessage(c.name, {700, 800}, sourceOf);
        ASSERT_EQ(message.lines.size(), 4u);
        EXPECT_EQ(message.lines[1], c.shown + " has no record for 700, 800 kHz  ");
        EXPECT_EQ(message.lines[2], "700, 800 kHz keep the values of " + c.shown + "  ");
    }
}

TEST(ParseTuningList, StartCheckWantsSixHundredFirst) {
    for (const char* passes : {"600,1\r\n", "6000,1\r\n", "6009,1\r\n", "600.0,1\r\n"}) {
        EXPECT_TRUE(std::holds_alternative<TuningList>(parseTuningListText(passes))) << passes;
    }
    for (const char* fails : {"650,1\r\n600,1\r\n", "700,1\r\n", "-600,1\r\n", "60,1\r\n", "6010,1\r\n", "0,1\r\n"}) {
        ListOrMessage result = parseTuningListText(fails);
        ASSERT_TRUE(std::holds_alternative<Message>(result)) << fails;
        EXPECT_EQ(std::get<Message>(result), badStartMessage()) << fails;
    }
}

TEST(ParseTuningList, NamesTheProblemAndItsLine) {
    struct Case {
        std::string text;
        std::string problem;
    };
    const Case cases[] = {
        {"", "The file holds no records"},
        {"\r\n  \r\n\r\n", "The file holds no records"},
        {"600,2.1\r\n700,2.6\r\n800\r\n", "Line 3: frequency without a voltage"},
        {"600", "Line 1: frequency without a voltage"},
        {"600,2.1\r\n700,abc\r\n", "Line 2: \"abc\" is not a number"},
        {"600,2.1,7\r\n", "Line 1: frequency without a voltage"},
        {"600,2.1\r\n\"700\",2\r\n", "Line 2: \"\"700\"\" is not a number"},
        {"600,2.1\r\n70000,2\r\n", "Line 2: frequency 70000 is outside -32768 to 32767"},
        {"600,2.1\r\n1e9,2\r\n", "Line 2: frequency 1e9 is outside -32768 to 32767"},
        {"600,2.1\r\n700.5,2\r\n", "Line 2: frequency 700.5 is not a whole number"},
        {"600,2.1\r\n700,1e999\r\n", "Line 2: voltage 1e999 is out of range"},
        {"600,,2.1\r\n", "Line 1: a field is empty"},
        {"600,2.1,\r\n", "Line 1: a field is empty"},
        {"600,2.1\r\n700," + std::string(5000, '1') + "\r\n", "Line 2: a field is longer than 1000 characters"},
        {std::string("600,2.1\r\n7\0" "00,2\r\n", 17), "Line 2: \"7<00>00\" is not a number"},
        {"600,2.1\r\n\xc3\xa9,2\r\n", "Line 2: \"<C3><A9>\" is not a number"},
        {"600,2.1\r\n7\t00,2\r\n", "Line 2: \"7<09>00\" is not a number"},
        {"600,2.1\r\n<7>\x7f,2\r\n", "Line 2: \"<7><7F>\" is not a number"},
        // Twenty characters as shown, an escape never cut.
        {"600,2.1\r\n7" + std::string(24, '\x01') + ",2\r\n", "Line 2: \"7<01><01><01><01>...\" is not a number"},
        {"600,2.1\r\n" + std::string(19, 'x') + "\x7f,2\r\n", "Line 2: \"" + std::string(19, 'x') + "...\" is not a number"},
        {"600,2.1\r\n" + std::string(16, 'x') + "\x7f,2\r\n", "Line 2: \"" + std::string(16, 'x') + "<7F>\" is not a number"},
    };
    for (const auto& c : cases) {
        ListOrMessage result = parseTuningListText(c.text);
        ASSERT_TRUE(std::holds_alternative<Message>(result)) << c.problem;
        EXPECT_EQ(std::get<Message>(result).lines,
                  (std::vector<std::string>{"Something is wrong!  ", "The INF input file could not be read  ", c.problem + "  "}));
    }
}

// The problem line of a refusal, or "" when the list reads.
std::string problemOf(const ListOrMessage& result) {
    if (std::holds_alternative<TuningList>(result)) return "";
    const Message& message = std::get<Message>(result);
    return message == badStartMessage() ? "bad start" : message.lines.back();
}

// Everything a result holds, to compare two.
std::string contentOf(const ListOrMessage& result) {
    if (auto* message = std::get_if<Message>(&result)) return message->text();
    const TuningList& list = std::get<TuningList>(result);
    std::string text = std::to_string(list.records) + numberText(list.lastFreq) + numberText(list.lastUvar);
    for (const auto& v : list.voltages) text += v ? numberText(*v) : " -";
    return text;
}

TEST(ParseTuningList, RefusesAListWrittenWithDecimalCommas) {
    struct Case {
        std::string text;
        std::string problem;  // "" when the list reads
    };
    const Case cases[] = {
        {"600,2,1\r\n700,2,6\r\n", "Line 1: 600,2,1 has a comma as decimal sign: write 600,2.1  "},
        {"600,2,1", "Line 1: 600,2,1 has a comma as decimal sign: write 600,2.1  "},
        {"\r\n \t\r\n 600 , 2 ,\t1 \n700,2,6\r", "Line 3: 600,2,1 has a comma as decimal sign: write 600,2.1  "},
        // Fields after an error, and a first field that is no number, do not end the judgement.
        {"700,2,6\r\n600,2,1\r\n", "Line 1: 700,2,6 has a comma as decimal sign: write 700,2.6  "},
        {"abc,2,1\r\n600,2,1\r\n", "Line 1: abc,2,1 has a comma as decimal sign: write abc,2.1  "},
        {"600,2,700\n3,800,4", "Line 1: 600,2,700 has a comma as decimal sign: write 600,2.700  "},
        {std::string(30, '6') + ",2,1\n", "Line 1: 66666666666666666666... has a comma as decimal sign: write 66666666666666666666...  "},
        {"\x01" "600,2,1\n", "Line 1: <01>600,2,1 has a comma as decimal sign: write <01>600,2.1  "},
        // Any other list reads as before, or is refused with its first problem.
        {"600,2.1\r\n700,2.6\r\n", ""},
        {"600, 2.1\r\n", ""},
        {"600,2,1,5\r\n", ""},
        {"600,2,1\r\n700\r\n", ""},  // 600 kHz = 2 V, 1 kHz = 700 V
        {"600,2,1\r\n700,2.6\r\n", "Line 2: frequency 2.6 is not a whole number  "},
        {"600,2.1\r\n700,2,6\r\n", "Line 2: frequency without a voltage  "},
        {"x,2,1\r\n1,,9\r\n", "Line 1: \"x\" is not a number  "},
        {"600,2,1\r\n700,x,6\r\n", "Line 2: \"x\" is not a number  "},
        {"600,2, 1 2\r\n", "Line 1: \"1 2\" is not a number  "},
        {"600,2,+1\r\n", "Line 1: frequency without a voltage  "},
        {",2,1\r\n", "Line 1: a field is empty  "},
        {"650,2,1\r\n600,2.1,7\r\n", "bad start"},
        {"600,2,1\r\n700,1e999,6\r\n", "Line 2: frequency 1e999 is outside -32768 to 32767  "},
        {"600,2,1\r\n700,2," + std::string(1001, '6'), "Line 2: a field is longer than 1000 characters  "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 40));
        ListOrMessage result = parseTuningListText(c.text);
        EXPECT_EQ(problemOf(result), c.problem);
        if (c.problem.find("decimal") != std::string::npos) {
            EXPECT_EQ(std::get<Message>(result), listReadMessage(c.problem.substr(0, c.problem.size() - 2)));
        }
    }
}

TEST(ParseTuningList, ReadsFedChunksLikeOneText) {
    const std::string texts[] = {kExample, "600,2,1\r\n700,2,6\r\n", "\r\n600,2,1\r\n700,2.6,0\r\n",
                                 "600,2,1\r\n700,x,6\r\n", "600,2,1\r\n700,2,6\r"};
    for (const std::string& text : texts) {
        SCOPED_TRACE(text);
        ListOrMessage whole = parseTuningListText(text);
        for (std::size_t piece : {1, 2, 3, 5}) {
            TuningListParser parser;
            for (std::size_t at = 0; at < text.size(); at += piece) parser.feed(std::string_view(text).substr(at, piece));
            EXPECT_EQ(contentOf(parser.finish()), contentOf(whole)) << "pieces of " << piece;
        }
    }
    TuningListParser parser;
    for (char c : kExample) parser.feed(std::string_view(&c, 1));
    ListOrMessage result = parser.finish();
    ASSERT_TRUE(std::holds_alternative<TuningList>(result));
    EXPECT_EQ(std::get<TuningList>(result).voltages[16], 11.5);
    EXPECT_EQ(std::get<TuningList>(result).records, 12u);
}

TEST(ParseTuningList, RefusesATooLongFieldBeforeItEnds) {
    struct Case {
        std::string text;
        std::string problem;
    };
    const Case cases[] = {
        {std::string(1001, '6'), "Line 1: a field is longer than 1000 characters  "},
        {"600,2.1\r\n\r\n700," + std::string(1001, ' ') + std::string(1001, '2'), "Line 3: a field is longer than 1000 characters  "},
        {"600,2,1\n" + std::string(1001, '\0'), "Line 2: a field is longer than 1000 characters  "},
        {"x,2,1\n" + std::string(1001, '6'), "Line 1: \"x\" is not a number  "},  // the first problem is kept
    };
    for (const auto& c : cases) {
        TuningListParser parser;
        parser.feed(c.text);
        EXPECT_TRUE(parser.decided()) << c.problem;
        parser.feed(",2\r\n");  // too late: the field never ends
        EXPECT_EQ(problemOf(parser.finish()), c.problem);
    }
}

TEST(ReadTuningList, ChangesNothingUnlessTheWholeFileReads) {
    TempFolder folder;
    TuningState state = startupState();
    ASSERT_EQ(readTuningList(state, folder.write("GOOD.INF", kExample)), std::nullopt);
    const TuningState before = state;

    struct Case {
        std::string name;
        std::string text;
        bool badStart;
    };
    const Case cases[] = {
        {"BADSTART.INF", "700,2.6\r\n1600,12\r\n", true},
        {"LATEERROR.INF", "600,1\r\n700,1\r\n1600,9\r\n1700\r\n", false},
        {"EMPTY.INF", "", false},
    };
    for (const auto& c : cases) {
        std::optional<Message> message = readTuningList(state, folder.write(c.name, c.text));
        ASSERT_TRUE(message.has_value()) << c.name;
        if (c.badStart) {
            EXPECT_EQ(*message, badStartMessage());
        }
        EXPECT_EQ(state.pad, before.pad) << c.name;
        EXPECT_EQ(state.alleendenaam, "GOOD") << c.name;
        EXPECT_EQ(state.naamzonderpad, "GOOD.INF") << c.name;
        EXPECT_EQ(state.UvarTable, before.UvarTable) << c.name;
        EXPECT_EQ(state.Freq, before.Freq) << c.name;
    }

    std::optional<Message> noExtension = readTuningList(state, folder.write("README", kExample));
    ASSERT_TRUE(noExtension.has_value());
    EXPECT_EQ(noExtension->lines.back(), "The file name has no extension  ");
    std::optional<Message> missing = readTuningList(state, (folder.path() / "MISSING.INF").string());
    ASSERT_TRUE(missing.has_value());
    EXPECT_EQ(missing->lines.back(), "It cannot be opened: No such file or directory  ");
    std::filesystem::create_directory(folder.path() / "FOLDER.INF");
    std::optional<Message> directory = readTuningList(state, (folder.path() / "FOLDER.INF").string());
    ASSERT_TRUE(directory.has_value());
#ifdef _WIN32
    EXPECT_EQ(directory->lines.back(), "It cannot be opened: Is a directory  ");  // Windows opens no folder as a file
#else
    EXPECT_EQ(directory->lines.back(), "It cannot be read: Is a directory  ");
#endif
    EXPECT_EQ(state.UvarTable, before.UvarTable);
    EXPECT_EQ(state.alleendenaam, "GOOD");
}

TEST(ReadTuningList, KeepsEarlierValuesOfMissingPoints) {
    TempFolder folder;
    TuningState state = startupState();
    ASSERT_EQ(readTuningList(state, folder.write("A.INF", kExample)), std::nullopt);
    ASSERT_EQ(readTuningList(state, folder.write("B.INF", "600,0.5\r\n1100,-1.25\r\n1600,12\r\n")), std::nullopt);
    std::vector<std::string> items = tuneListItems(state, "1.50", "12.00");
    EXPECT_EQ(items[1], "  600 ,  .5");
    EXPECT_EQ(items[6], "  1100 , -1.25");
    EXPECT_EQ(items[7], "  1200 ,  6.6");  // from A.INF
    EXPECT_EQ(items[11], "  1600 ,  12");

    TuningState fresh = startupState();
    ASSERT_EQ(readTuningList(fresh, folder.write("ONLY600.INF", "600,2.1\r\n")), std::nullopt);
    items = tuneListItems(fresh, "", "12.");
    EXPECT_EQ(items[0], "  500 ,  ");
    EXPECT_EQ(items[2], "  700 ,  0");
    EXPECT_EQ(items[12], "  1700 ,  12.");
}

// A list as Notepad saves it. The compiler encodes each text twice, as UTF-8
// and as UTF-16, so that the reader is checked against an encoder not its own.
enum class Saved { Ascii, Utf8Marked, Utf16Le, Utf16Be };
const Saved kEverySaving[] = {Saved::Ascii, Saved::Utf8Marked, Saved::Utf16Le, Saved::Utf16Be};

const char* savingName(Saved saved) {
    switch (saved) {
        case Saved::Ascii: return "ASCII";
        case Saved::Utf8Marked: return "UTF-8 with mark";
        case Saved::Utf16Le: return "UTF-16LE";
        case Saved::Utf16Be: return "UTF-16BE";
    }
    return "?";
}

struct ListText {
    std::u8string utf8;
    std::u16string utf16;
};
#define LIST_TEXT(literal) ListText{u8##literal, u##literal}

std::string utf16Bytes(const std::u16string& units, bool littleEndian) {
    std::string bytes;
    for (char16_t unit : units) {
        const char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
        bytes += littleEndian ? low : high;
        bytes += littleEndian ? high : low;
    }
    return bytes;
}

std::string savedAs(const ListText& text, Saved saved) {
    const std::string utf8(text.utf8.begin(), text.utf8.end());
    switch (saved) {
        case Saved::Ascii: return utf8;
        case Saved::Utf8Marked: return "\xEF\xBB\xBF" + utf8;
        case Saved::Utf16Le: return "\xFF\xFE" + utf16Bytes(text.utf16, true);
        case Saved::Utf16Be: return "\xFE\xFF" + utf16Bytes(text.utf16, false);
    }
    return {};
}

ListOrMessage fedByteByByte(std::string_view bytes) {
    TuningListParser parser;
    for (char c : bytes) parser.feed(std::string_view(&c, 1));
    return parser.finish();
}

TEST(ParseTuningList, ReadsAListSavedInAnyEncodingAsItsPlainTwin) {
    struct Case {
        ListText text;
        std::string problem;  // "" when the list reads
    };
    const Case cases[] = {
        {LIST_TEXT("600,2.1\r\n650,2.35\r\n700,2.6\r\n1600,11.5\r\n"), ""},
        {LIST_TEXT("\r\n 600 ,\t2.1\n\n700,2.6\r1600,11.5"), ""},
        {LIST_TEXT("600,2.1\r\n700,abc\r\n"), "Line 2: \"abc\" is not a number  "},
        {LIST_TEXT("600,2.1\r\n\r\n7\t00,2\r\n"), "Line 3: \"7<09>00\" is not a number  "},
        {LIST_TEXT("600,2.1\r700,2\r1200,\u00E4\r"), "Line 3: \"<C3><A4>\" is not a number  "},
        {LIST_TEXT("600,2.1\n\U0001F4FB,2\n"), "Line 2: \"<F0><9F><93><BB>\" is not a number  "},
        {LIST_TEXT("600,2,1\r\n700,2,6\r\n"), "Line 1: 600,2,1 has a comma as decimal sign: write 600,2.1  "},
        {LIST_TEXT("700,2.6\r\n"), "bad start"},
        {LIST_TEXT("600,2.1\r\n700"), "Line 2: frequency without a voltage  "},
        {LIST_TEXT(""), "The file holds no records  "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.problem);
        const ListOrMessage plain = parseTuningListText(savedAs(c.text, Saved::Ascii));
        EXPECT_EQ(problemOf(plain), c.problem);
        for (Saved saved : kEverySaving) {
            SCOPED_TRACE(savingName(saved));
            const std::string bytes = savedAs(c.text, saved);
            EXPECT_EQ(contentOf(parseTuningListText(bytes)), contentOf(plain));
            EXPECT_EQ(contentOf(fedByteByByte(bytes)), contentOf(plain));
        }
    }
}

TEST(ParseTuningList, TakesOnlyAWholeMarkAtTheStartAsAMark) {
    struct Case {
        std::string bytes;
        std::string problem;
    };
    const Case cases[] = {
        {"\xEF\xBB\xBF", "The file holds no records  "},
        {"\xFF\xFE", "The file holds no records  "},
        {"\xFE\xFF", "The file holds no records  "},
        {"\xEF\xBB", "Line 1: \"<EF><BB>\" is not a number  "},
        {"\xEF\xBB" "600,2.1\r\n", "Line 1: \"<EF><BB>600\" is not a number  "},
        {"\xEF" "600,2.1\r\n", "Line 1: \"<EF>600\" is not a number  "},
        {"\xFF", "Line 1: \"<FF>\" is not a number  "},
        {"\xFE" "600,2.1\r\n", "Line 1: \"<FE>600\" is not a number  "},
        {"\xFF\xFF" "600,2.1\r\n", "Line 1: \"<FF><FF>600\" is not a number  "},
        {"\xFF\xBB\xBF" "600,2.1\r\n", "Line 1: \"<FF><BB><BF>600\" is not a number  "},
        {"600,2.1\r\n\xFF\xFE" "700,2\r\n", "Line 2: \"<FF><FE>700\" is not a number  "},
        {"\xEF\xBB\xBF\xEF\xBB\xBF" "600,2.1\r\n", "Line 1: \"<EF><BB><BF>600\" is not a number  "},
        {"\xFF\xFE" + utf16Bytes(u"\uFEFF600,2.1\r\n", true), "Line 1: \"<EF><BB><BF>600\" is not a number  "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.problem);
        EXPECT_EQ(problemOf(parseTuningListText(c.bytes)), c.problem);
        EXPECT_EQ(problemOf(fedByteByByte(c.bytes)), c.problem);
    }
}

TEST(ParseTuningList, RefusesBrokenUtf16NamingTheLine) {
    // Units the compiler will not put in a literal: lone surrogates.
    auto units = [](std::u16string before, std::initializer_list<char16_t> odd, std::u16string after) {
        return before + std::u16string(odd) + after;
    };
    struct Case {
        std::u16string text;
        bool oddByte;  // a last byte without its partner
        std::string problem;
    };
    const Case cases[] = {
        {u"600,2.1\r\n700,2", true, "Line 2: the UTF-16 text ends in the middle of a character  "},
        {u"600,2.1\r\n", true, "Line 2: the UTF-16 text ends in the middle of a character  "},
        {u"", true, "Line 1: the UTF-16 text ends in the middle of a character  "},
        {units(u"600,2.1\r\n7", {0xD83D}, u"00,2\r\n"), false, "Line 2: the UTF-16 text has an unpaired surrogate U+D83D  "},
        {units(u"600,2.1\r\n", {0xDC00}, u"700,2\r\n"), false, "Line 2: the UTF-16 text has an unpaired surrogate U+DC00  "},
        {units(u"600,2.1\r\n700,2\r\n", {0xDBFF}, u""), false, "Line 3: the UTF-16 text has an unpaired surrogate U+DBFF  "},
        {units(u"600,2.1\r\n", {0xD800, 0xD800, 0xDC00}, u",2\r\n"), false,
         "Line 2: the UTF-16 text has an unpaired surrogate U+D800  "},
        {units(u"600,2.1\r\n", {0xD83D}, u""), true, "Line 2: the UTF-16 text ends in the middle of a character  "},
        // The first problem stays the one shown; a broken text is no decimal-comma list.
        {units(u"x,2\r\n", {0xDC00}, u""), false, "Line 1: \"x\" is not a number  "},
        {units(u"600,2,1\r\n700,2,6\r\n", {0xDC00}, u"\r\n"), false, "Line 3: the UTF-16 text has an unpaired surrogate U+DC00  "},
        {u"600,2,1\r\n700,2,6\r\n", true, "Line 3: the UTF-16 text ends in the middle of a character  "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.problem);
        for (bool littleEndian : {true, false}) {
            SCOPED_TRACE(littleEndian ? "little endian" : "big endian");
            std::string bytes = (littleEndian ? "\xFF\xFE" : "\xFE\xFF") + utf16Bytes(c.text, littleEndian);
            if (c.oddByte) bytes += '6';
            EXPECT_EQ(problemOf(parseTuningListText(bytes)), c.problem);
            EXPECT_EQ(problemOf(fedByteByByte(bytes)), c.problem);
        }
    }
}

TEST(ParseTuningList, StopsAtBrokenUtf16WithoutWaitingForTheRest) {
    TuningListParser parser;
    parser.feed(std::string("\xFF\xFE" "6\0" "0\0" "0\0" ",\0", 10));
    EXPECT_FALSE(parser.decided());
    parser.feed(std::string("\x00\xDC", 2));
    EXPECT_TRUE(parser.decided());
    parser.feed(std::string("2\0\r\0\n\0", 6));
    EXPECT_EQ(problemOf(parser.finish()), "Line 1: the UTF-16 text has an unpaired surrogate U+DC00  ");
}

TEST(ReadTuningList, ReadsAFileSavedInAnyEncodingAsItsPlainTwin) {
    // Longer than one piece the file is read in, with a character of two
    // UTF-16 units across the end of the first piece of the UTF-16 files:
    // the mark is 2 bytes, so unit 32766 ends at byte 65536.
    std::string ascii = kExample;
    while (ascii.size() + 10 <= 32766) ascii += "650,2.35\r\n";
    ascii.append(32766 - ascii.size(), ' ');
    ASSERT_EQ(ascii.size(), 32766u);
    const std::size_t badLine = 13 + (ascii.size() - kExample.size()) / 10;
    std::u16string utf16(ascii.begin(), ascii.end());

    struct Case {
        std::string tail;  // UTF-8
        std::u16string tail16;
        std::string problem;
    };
    const Case cases[] = {
        {"\r\n1600,12\r\n", u"\r\n1600,12\r\n", ""},
        {"\xF0\x9F\x93\xBB,2\r\n", u"\U0001F4FB,2\r\n",
         "Line " + std::to_string(badLine) + ": \"<F0><9F><93><BB>\" is not a number  "},
    };
    TempFolder folder;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.problem);
        const ListText text{std::u8string(ascii.begin(), ascii.end()) + std::u8string(c.tail.begin(), c.tail.end()), utf16 + c.tail16};
        std::string plain;
        for (Saved saved : kEverySaving) {
            SCOPED_TRACE(savingName(saved));
            std::variant<LoadedList, Message> loaded = loadTuningList(folder.write("LIST.INF", savedAs(text, saved)));
            const ListOrMessage result = std::holds_alternative<Message>(loaded) ? ListOrMessage(std::get<Message>(loaded))
                                                                                 : ListOrMessage(std::get<LoadedList>(loaded).list);
            if (saved == Saved::Ascii) {
                EXPECT_EQ(problemOf(result), c.problem);
                plain = contentOf(result);
            }
            EXPECT_EQ(contentOf(result), plain);
        }
    }
}

TEST(ChosenPath, NeedsFiveCharactersAndNoWildcard) {
    for (const char* bad : {"", "a.in", "C:\\*.INF", "/tmp/*"}) EXPECT_EQ(checkChosenPath(bad), badPathMessage()) << bad;
    for (const char* good : {"a.inf", "/tmp/x/MYLIST.INF"}) EXPECT_EQ(checkChosenPath(good), std::nullopt) << good;
    EXPECT_EQ(badPathMessage().text(), "Something is wrong!  \rI don't like what you did !  \rNo empty parameters allowed !  \r");
    EXPECT_EQ(badStartMessage().text(),
              "Something is wrong!  \rThe INF input file doesn't start the way it should  \rCorrect the INF file and reload  \r");
}

TEST(VoltageWarnings, WarnAtTheMarginsEndVoltageFirst) {
    TuningState state;
    state.UvarTable[6] = 2.1;
    state.UvarTable[16] = 11.75;
    std::vector<Message> warnings = voltageWarnings(state, "1.50", "12.00");
    ASSERT_EQ(warnings.size(), 1u);  // 12.00 is not more than 11.75 + 0.25
    EXPECT_EQ(warnings[0], endVoltageMessage());

    state.UvarTable[6] = 1.75;
    warnings = voltageWarnings(state, "1.50", "12.00");
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_EQ(warnings[0], endVoltageMessage());
    EXPECT_EQ(warnings[1], startVoltageMessage());
    EXPECT_TRUE(voltageWarnings(state, "1.49", "12.01").empty());

    EXPECT_EQ(endVoltageMessage().text(),
              "Something is wrong!  \rD/A EndVoltage must be at least \r0.25V larger than the 1600-Voltage  \r"
              "Correct the settings and reload input file  \r");
    EXPECT_EQ(startVoltageMessage().text(),
              "Something is wrong!   \rD/A StartVoltage must be at least\r0.25V lower than the 600-Voltage  \r"
              "Correct the settings and reload input file  \r");
    EXPECT_EQ(startVoltageMessage().title, "Error !");
}

}  // namespace
}  // namespace varidac
