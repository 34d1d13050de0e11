// "Read File": the dialog's properties, the path check, the reader's
// messages, the 13 list items and the two voltage warnings.
#include <gtest/gtest.h>

#include "tests/form/expected_messages.h"
#include "tests/form/form_harness.h"

namespace varidac::testing {
namespace {

const char* const kExample =
    "600,2.1\r\n650,2.35\r\n700,2.6\r\n800,3.2\r\n900,3.9\r\n1000,4.7\r\n1100,5.6\r\n"
    "1200,6.6\r\n1300,7.7\r\n1400,8.9\r\n1500,10.2\r\n1600,11.5\r\n";

const std::vector<std::string> kExampleItems = {
    "  500 ,  1.50", "  600 ,  2.1", "  700 ,  2.6", "  800 ,  3.2",  "  900 ,  3.9",  "  1000 ,  4.7", "  1100 ,  5.6",
    "  1200 ,  6.6", "  1300 ,  7.7", "  1400 ,  8.9", "  1500 ,  10.2", "  1600 ,  11.5", "  1700 ,  12.00",
};

const RecordedMessage kBadPath{"Error !", MessageIcon::Error,
                               "Something is wrong!  \rI don't like what you did !  \rNo empty parameters allowed !  \r"};
const RecordedMessage kBadStart{"Error !", MessageIcon::Error,
                                "Something is wrong!  \rThe INF input file doesn't start the way it should  \r"
                                "Correct the INF file and reload  \r"};
const std::string kCouldNotRead = "Something is wrong!  \rThe INF input file could not be read  \r";

TEST(ReadFile, SetsTheDialogUpOnEveryClickAndACancelChangesNothing) {
    FormHarness h;
    TempFolder folder;
    h.readFile(folder.write("EXAMPLE.INF", kExample));
    const TuningState before = h.state();
    h.readFile(std::nullopt);
    ASSERT_EQ(h.platform.openRequests.size(), 2u);
    for (const FileDialogRequest& r : h.platform.openRequests) {
        EXPECT_EQ(r.DialogTitle, "Open Varidac *.INF file");
        EXPECT_EQ(r.Filter, "Varidac File (*.inf)|*.inf|Notepad File (*.txt)|*.txt|All files (*.*)|*.*");
        EXPECT_EQ(r.FileName, "*.INF");
    }
    EXPECT_EQ(h.platform.openRequests[0].InitDir, h.appDir.path().string());
    EXPECT_EQ(h.platform.openRequests[1].InitDir, folder.path().string());
    EXPECT_EQ(h.state().pad, before.pad);
    EXPECT_EQ(h.state().alleendenaam, before.alleendenaam);
    EXPECT_EQ(h.state().UvarTable, before.UvarTable);
    EXPECT_EQ(h.view.items, kExampleItems);
    EXPECT_TRUE(h.platform.messages.empty());
}

TEST(ReadFile, TheExampleListFillsTheStateAndTheThirteenItems) {
    FormHarness h;
    TempFolder folder;
    h.readFile(folder.write("EXAMPLE.INF", kExample));
    const TuningState& s = h.state();
    EXPECT_EQ(s.pad, folder.path().string());
    EXPECT_EQ(s.alleendenaam, "EXAMPLE");
    EXPECT_EQ(s.naamzonderpad, "EXAMPLE.INF");
    const double expected[] = {2.1, 2.6, 3.2, 3.9, 4.7, 5.6, 6.6, 7.7, 8.9, 10.2, 11.5};
    for (int i = 6; i <= 16; ++i) EXPECT_EQ(s.UvarTable[static_cast<std::size_t>(i)], expected[i - 6]) << i;
    EXPECT_EQ(s.Freq, 1600);
    EXPECT_EQ(s.Uvar, 11.5);
    EXPECT_EQ(h.view.items, kExampleItems);
    EXPECT_TRUE(h.platform.messages.empty());
    // The voltages themselves are not touched by reading.
    EXPECT_EQ(s.StartVoltage, 1.5);
    EXPECT_EQ(s.EndVoltage, 12.0);
}

TEST(ReadFile, FirstAndLastItemsShowTheFieldTextsAsTyped) {
    struct Case {
        const char* start;
        const char* end;
        const char* first;
        const char* last;
    };
    const Case cases[] = {
        {"1.2", "12.500", "  500 ,  1.2", "  1700 ,  12.500"},
        {".9", "013", "  500 ,  .9", "  1700 ,  013"},
    };
    TempFolder folder;
    const std::string path = folder.write("EXAMPLE.INF", kExample);
    for (const Case& c : cases) {
        FormHarness h;
        h.setVoltages(c.start, c.end);
        h.readFile(path);
        ASSERT_EQ(h.view.items.size(), 13u);
        EXPECT_EQ(h.view.items.front(), c.first);
        EXPECT_EQ(h.view.items.back(), c.last);
        EXPECT_TRUE(h.platform.messages.empty());
    }
}

TEST(ReadFile, VoltagesAreListedAsNumberTextAndBothWarningsFollowEndFirst) {
    FormHarness h;
    TempFolder folder;
    h.readFile(folder.write("ODD.INF", "600,0.5\r\n700,-1.25\r\n800,12\r\n900,0\r\n1000,0\r\n1100,0\r\n1200,0\r\n"
                                       "1300,0\r\n1400,0\r\n1500,0\r\n1600,11.75\r\n"));
    const std::vector<std::string> expected = {
        "  500 ,  1.50", "  600 ,  .5", "  700 , -1.25", "  800 ,  12", "  900 ,  0",  "  1000 ,  0",      "  1100 ,  0",
        "  1200 ,  0",   "  1300 ,  0", "  1400 ,  0",   "  1500 ,  0",  "  1600 ,  11.75", "  1700 ,  12.00",
    };
    EXPECT_EQ(h.view.items, expected);
    EXPECT_EQ(h.platform.messages, (std::vector<RecordedMessage>{kEndVoltage, kStartVoltage}));
}

// The records from 700 to 1500 kHz that a list needs besides its ends.
std::string withMiddle(const std::string& ends) {
    std::string text = ends;
    for (int f = 700; f <= 1500; f += 100) text += std::to_string(f) + ",5\r\n";
    return text;
}

TEST(ReadFile, EachVoltageWarningOnItsOwn) {
    struct Case {
        const char* list;
        const char* start;
        const char* end;
        std::vector<RecordedMessage> messages;
    };
    const Case cases[] = {
        {"600,1.75\r\n1600,11\r\n", "1.50", "12.00", {kStartVoltage}},
        {"600,1.76\r\n1600,11\r\n", "1.50", "12.00", {}},
        {"600,3\r\n1600,11.75\r\n", "1.50", "12.00", {kEndVoltage}},
        {"600,3\r\n1600,11.74\r\n", "1.50", "12.00", {}},
        {"600,3\r\n1600,11.5\r\n", "1.50", "11.75", {kEndVoltage}},
        {"600,3\r\n1600,11.5\r\n", "2.75", "12", {kStartVoltage}},
        {"600,3\r\n1600,11.5\r\n", "2.74", "12", {}},
    };
    TempFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.list) + c.start + " " + c.end);
        FormHarness h;
        h.setVoltages(c.start, c.end);
        h.readFile(folder.write("W.INF", withMiddle(c.list)));
        EXPECT_EQ(h.platform.messages, c.messages);
        EXPECT_EQ(h.view.items.size(), 13u) << "warnings leave the list as read";
    }
}

// Each refused list after a good one: its message, and the names, the table
// and the list stay as the good one left them.
TEST(ReadFile, RefusedPathsAndListsAreReportedAndChangeNothing) {
    TempFolder folder;
    struct Case {
        std::string path;
        std::string content;  // written to `path` unless empty
        std::string message;
    };
    const std::string dir = folder.path().string();
    const Case cases[] = {
        {"", "", kBadPath.text},
        {"a.in", "", kBadPath.text},
        {"/x/*.INF", "", kBadPath.text},
        {dir + "/*.INF", "", kBadPath.text},
        {dir + "/A.INF", "650,2.35\r\n1600,12\r\n", kBadStart.text},
        {dir + "/B.INF", "700,2.6\r\n1600,12\r\n", kBadStart.text},
        {dir + "/C.INF", "-600,1\r\n1600,12\r\n", kBadStart.text},
        {dir + "/D.INF", "60,1\r\n1600,12\r\n", kBadStart.text},
        {dir + "/E.INF", "600,2.1\r\n700", kCouldNotRead + "Line 2: frequency without a voltage  \r"},
        {dir + "/F.INF", "600,2.1\r\n700,abc\r\n", kCouldNotRead + "Line 2: \"abc\" is not a number  \r"},
        {dir + "/G.INF", "\r\n", kCouldNotRead + "The file holds no records  \r"},
        {dir + "/H.INF", "600,2\r\n650.5,3\r\n", kCouldNotRead + "Line 2: frequency 650.5 is not a whole number  \r"},
        {dir + "/NOEXTENSION", kExample, kCouldNotRead + "The file name has no extension  \r"},
    };
    const std::string good = folder.write("EXAMPLE.INF", kExample);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        if (!c.content.empty()) std::ofstream(c.path, std::ios::binary) << c.content;
        FormHarness h;
        h.readFile(good);
        const TuningState before = h.state();
        h.readFile(c.path);
        ASSERT_EQ(h.platform.messages.size(), 1u);
        EXPECT_EQ(h.platform.messages[0].text, c.message);
        EXPECT_EQ(h.state().alleendenaam, "EXAMPLE");
        EXPECT_EQ(h.state().pad, dir);
        EXPECT_EQ(h.state().UvarTable, before.UvarTable);
        EXPECT_EQ(h.view.items, kExampleItems);
    }
}

TEST(ReadFile, AFiveCharacterPathPassesTheCheckAndAMissingFileIsReported) {
    FormHarness h;
    TempFolder folder;
    h.readFile("a.INF");  // names no file here: past the path check, the reader says so
    h.readFile(folder.path().string() + "/MISSING.INF");
    ASSERT_EQ(h.platform.messages.size(), 2u);
    for (const RecordedMessage& m : h.platform.messages) EXPECT_EQ(m.text.rfind(kCouldNotRead + "It cannot be opened: ", 0), 0u);
    EXPECT_EQ(h.state().alleendenaam, "DUMMY_515ZE");
    EXPECT_TRUE(h.view.items.empty());
}

TEST(ReadFile, A6005FirstRecordPassesAndEntriesALaterListLacksKeepTheirValues) {
    FormHarness h;
    TempFolder folder;
    h.readFile(folder.write("EXAMPLE.INF", kExample));
    h.readFile(folder.write("PART.INF", "6005,9\r\n600,1\r\n800,3\r\n800,3.5\r\n1600,12.5\r\n"));
    EXPECT_EQ(h.state().alleendenaam, "PART");
    ASSERT_EQ(h.view.items.size(), 13u);
    EXPECT_EQ(h.view.items[1], "  600 ,  1");
    EXPECT_EQ(h.view.items[2], "  700 ,  2.6");
    EXPECT_EQ(h.view.items[3], "  800 ,  3.5");
    EXPECT_EQ(h.view.items[7], "  1200 ,  6.6");
    EXPECT_EQ(h.view.items[11], "  1600 ,  12.5");
    // 12.00 is not above 12.5 + 0.25, and 1.50 is not below 1 - 0.25; then
    // which points kept the earlier list's values.
    const RecordedMessage kept{"Error !", MessageIcon::Error,
                               "Something is wrong!  \rPART.INF has no record for 700, 900, 1000, 1100, 1200, 1300, 1400, 1500 kHz  \r"
                               "700, 900, 1000, 1100, 1200, 1300, 1400, 1500 kHz keep the values of EXAMPLE.INF  \r"
                               "Correct the INF file and reload  \r"};
    EXPECT_EQ(h.platform.messages, (std::vector<RecordedMessage>{kEndVoltage, kStartVoltage, kept}));
}

}  // namespace
}  // namespace varidac::testing
