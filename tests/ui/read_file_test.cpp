// "Read File": the dialog's properties, the path check, the reader's
// messages, the 13 list items and the two voltage warnings.
#include <gtest/gtest.h>

#include "tests/ui/expected_messages.h"
#include "tests/ui/window_support.h"

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

// A folder of tuning lists that goes away with the test.
class ListFolder {
public:
    std::string put(const std::string& name, const std::string& content) {
        const std::string path = dir_.path().toStdString() + "/" + name;
        writeBytes(path, content);
        return path;
    }
    std::string path() const { return dir_.path().toStdString(); }

private:
    QTemporaryDir dir_;
};

// Clicks "Read File" with the dialog answering `path`.
void readFile(TestWindow& w, const std::optional<std::string>& path) {
    w.platform.openAnswers.push_back(path);
    w.click("cmdLeeslijst");
}

TEST(ReadFile, SetsTheDialogUpInOrderOnEveryClick) {
    TestWindow w;
    for (int click = 1; click <= 2; ++click) {
        readFile(w, std::nullopt);
        ASSERT_EQ(w.platform.openRequests.size(), static_cast<std::size_t>(click));
        const FileDialogRequest& r = w.platform.openRequests.back();
        EXPECT_EQ(r.DialogTitle, "Open Varidac *.INF file");
        EXPECT_EQ(r.Filter, "Varidac File (*.inf)|*.inf|Notepad File (*.txt)|*.txt");
        EXPECT_EQ(r.FileName, "*.INF");
        EXPECT_EQ(r.InitDir, w.appPath());
    }
}

TEST(ReadFile, CancelChangesNothingAndSaysNothing) {
    TestWindow w;
    ListFolder folder;
    readFile(w, folder.put("EXAMPLE.INF", kExample));
    const TuningState before = w.form->tuningState();
    readFile(w, std::nullopt);
    const TuningState& after = w.form->tuningState();
    EXPECT_EQ(after.pad, before.pad);
    EXPECT_EQ(after.alleendenaam, before.alleendenaam);
    EXPECT_EQ(after.naamzonderpad, before.naamzonderpad);
    EXPECT_EQ(after.UvarTable, before.UvarTable);
    EXPECT_EQ(w.listItems(), kExampleItems);
    EXPECT_TRUE(w.platform.messages.empty());
}

TEST(ReadFile, TheExampleListFillsTheStateAndTheThirteenItems) {
    TestWindow w;
    ListFolder folder;
    const std::string path = folder.put("EXAMPLE.INF", kExample);
    readFile(w, path);
    const TuningState& s = w.form->tuningState();
    EXPECT_EQ(s.pad, folder.path());
    EXPECT_EQ(s.alleendenaam, "EXAMPLE");
    EXPECT_EQ(s.naamzonderpad, "EXAMPLE.INF");
    const double expected[] = {2.1, 2.6, 3.2, 3.9, 4.7, 5.6, 6.6, 7.7, 8.9, 10.2, 11.5};
    for (int i = 6; i <= 16; ++i) EXPECT_EQ(s.UvarTable[static_cast<std::size_t>(i)], expected[i - 6]) << i;
    EXPECT_EQ(s.Freq, 1600);
    EXPECT_EQ(s.Uvar, 11.5);
    EXPECT_EQ(w.listItems(), kExampleItems);
    EXPECT_TRUE(w.platform.messages.empty());
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
        {"1.50", "12.00", "  500 ,  1.50", "  1700 ,  12.00"},
        {"1.2", "12.500", "  500 ,  1.2", "  1700 ,  12.500"},
        {".9", "013", "  500 ,  .9", "  1700 ,  013"},
    };
    ListFolder folder;
    const std::string path = folder.put("EXAMPLE.INF", kExample);
    for (const Case& c : cases) {
        TestWindow w;
        w.retype("txtStartVoltage", c.start);
        w.retype("txtEndVoltage", c.end);
        readFile(w, path);
        const std::vector<std::string> items = w.listItems();
        ASSERT_EQ(items.size(), 13u);
        EXPECT_EQ(items.front(), c.first);
        EXPECT_EQ(items.back(), c.last);
        EXPECT_TRUE(w.platform.messages.empty());
    }
}

TEST(ReadFile, VoltagesAreListedAsNumberText) {
    TestWindow w;
    ListFolder folder;
    readFile(w, folder.put("ODD.INF", "600,0.5\r\n700,-1.25\r\n800,12\r\n1600,11.75\r\n"));
    const std::vector<std::string> expected = {
        "  500 ,  1.50", "  600 ,  .5", "  700 , -1.25", "  800 ,  12", "  900 ,  0",  "  1000 ,  0",      "  1100 ,  0",
        "  1200 ,  0",   "  1300 ,  0", "  1400 ,  0",   "  1500 ,  0",  "  1600 ,  11.75", "  1700 ,  12.00",
    };
    EXPECT_EQ(w.listItems(), expected);
    // 12.00 is not more than 11.75 + 0.25, and 1.50 is not below 0.5 - 0.25:
    // both warnings, the end voltage first.
    EXPECT_EQ(w.platform.messages, (std::vector<RecordedMessage>{kEndVoltage, kStartVoltage}));
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
    ListFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.list) + c.start + " " + c.end);
        TestWindow w;
        w.retype("txtStartVoltage", c.start);
        w.retype("txtEndVoltage", c.end);
        readFile(w, folder.put("W.INF", c.list));
        EXPECT_EQ(w.platform.messages, c.messages);
        EXPECT_EQ(w.listItems().size(), 13u) << "warnings leave the list as read";
    }
}

TEST(ReadFile, BadPathsAreRefusedAndChangeNothing) {
    ListFolder folder;
    const std::string good = folder.put("EXAMPLE.INF", kExample);
    for (const std::string& bad : {std::string(), std::string("a.in"), std::string("/x/*.INF"), folder.path() + "/*.INF"}) {
        SCOPED_TRACE(bad);
        TestWindow w;
        readFile(w, good);
        readFile(w, bad);
        EXPECT_EQ(w.platform.messages, std::vector<RecordedMessage>{kBadPath});
        EXPECT_EQ(w.form->tuningState().alleendenaam, "EXAMPLE");
        EXPECT_EQ(w.form->tuningState().pad, folder.path());
        EXPECT_EQ(w.listItems(), kExampleItems);
    }
}

TEST(ReadFile, AFiveCharacterPathPassesTheCheck) {
    // "a.INF" names no file here: past the path check, the reader says so.
    TestWindow w;
    readFile(w, "a.INF");
    ASSERT_EQ(w.platform.messages.size(), 1u);
    EXPECT_NE(w.platform.messages[0], kBadPath);
    EXPECT_EQ(w.platform.messages[0].text.rfind("Something is wrong!  \rThe INF input file could not be read  \r", 0), 0u);
}

TEST(ReadFile, ABadStartIsRefusedAndTheListStays) {
    for (const char* first : {"650,2.35\r\n", "700,2.6\r\n", "-600,1\r\n", "60,1\r\n"}) {
        SCOPED_TRACE(first);
        TestWindow w;
        ListFolder folder;
        readFile(w, folder.put("EXAMPLE.INF", kExample));
        const TuningState before = w.form->tuningState();
        readFile(w, folder.put("OTHER.INF", std::string(first) + "1600,12\r\n"));
        EXPECT_EQ(w.platform.messages, std::vector<RecordedMessage>{kBadStart});
        EXPECT_EQ(w.form->tuningState().UvarTable, before.UvarTable);
        EXPECT_EQ(w.form->tuningState().alleendenaam, "EXAMPLE");
        EXPECT_EQ(w.listItems(), kExampleItems);
    }
}

TEST(ReadFile, AFirstRecordOf6005PassesTheStartCheckAndIsNotStored) {
    TestWindow w;
    ListFolder folder;
    readFile(w, folder.put("L.INF", "6005,9\r\n600,2\r\n1600,11\r\n"));
    EXPECT_TRUE(w.platform.messages.empty());
    EXPECT_EQ(w.form->tuningState().UvarTable[6], 2);
    EXPECT_EQ(w.form->tuningState().UvarTable[16], 11);
}

TEST(ReadFile, ReadErrorsAreShownAndChangeNothing) {
    struct Case {
        const char* content;
        const char* problem;
    };
    const Case cases[] = {
        {"600,2.1\r\n700", "Line 2: frequency without a voltage  "},
        {"600,2.1\r\n700,abc\r\n", "Line 2: \"abc\" is not a number  "},
        {"", "The file holds no records  "},
        {"600,2\r\n650.5,3\r\n", "Line 2: frequency 650.5 is not a whole number  "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.content);
        TestWindow w;
        ListFolder folder;
        readFile(w, folder.put("EXAMPLE.INF", kExample));
        readFile(w, folder.put("BROKEN.INF", c.content));
        const RecordedMessage expected{"Error !", MessageIcon::Error,
                                       std::string("Something is wrong!  \rThe INF input file could not be read  \r") +
                                           c.problem + "\r"};
        EXPECT_EQ(w.platform.messages, std::vector<RecordedMessage>{expected});
        EXPECT_EQ(w.form->tuningState().alleendenaam, "EXAMPLE");
        EXPECT_EQ(w.listItems(), kExampleItems);
    }
}

TEST(ReadFile, ANameWithoutExtensionOrAMissingFileIsReported) {
    TestWindow w;
    ListFolder folder;
    readFile(w, folder.put("NOEXTENSION", kExample));
    readFile(w, folder.path() + "/MISSING.INF");
    const std::string head = "Something is wrong!  \rThe INF input file could not be read  \r";
    ASSERT_EQ(w.platform.messages.size(), 2u);
    EXPECT_EQ(w.platform.messages[0].text, head + "The file name has no extension  \r");
    EXPECT_EQ(w.platform.messages[1].text.rfind(head + "It cannot be opened: ", 0), 0u);
    EXPECT_EQ(w.form->tuningState().alleendenaam, "DUMMY_515ZE");
    EXPECT_EQ(w.list()->count(), 0);
}

TEST(ReadFile, EntriesThatAListLacksKeepTheirEarlierValues) {
    TestWindow w;
    ListFolder folder;
    readFile(w, folder.put("EXAMPLE.INF", kExample));
    readFile(w, folder.put("PART.INF", "600,1\r\n800,3\r\n800,3.5\r\n1600,12.5\r\n"));
    EXPECT_EQ(w.form->tuningState().alleendenaam, "PART");
    const std::vector<std::string> items = w.listItems();
    ASSERT_EQ(items.size(), 13u);
    EXPECT_EQ(items[1], "  600 ,  1");
    EXPECT_EQ(items[2], "  700 ,  2.6");
    EXPECT_EQ(items[3], "  800 ,  3.5");
    EXPECT_EQ(items[7], "  1200 ,  6.6");
    EXPECT_EQ(items[11], "  1600 ,  12.5");
    // 12.00 is not above 12.5 + 0.25, and 1.50 is not below 1 - 0.25.
    EXPECT_EQ(w.platform.messages, (std::vector<RecordedMessage>{kEndVoltage, kStartVoltage}));
}

}  // namespace
}  // namespace varidac::testing
