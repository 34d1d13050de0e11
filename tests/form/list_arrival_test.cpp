// How a list arrives: where the dialog starts, a list dropped onto the
// window, a list that lacks points, and the first and last rows following
// the voltage fields.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/form/expected_messages.h"
#include "tests/form/form_harness.h"
#include "util/file_names.h"

namespace varidac::testing {
namespace {

const char* const kExample =
    "600,2.1\r\n650,2.35\r\n700,2.6\r\n800,3.2\r\n900,3.9\r\n1000,4.7\r\n1100,5.6\r\n"
    "1200,6.6\r\n1300,7.7\r\n1400,8.9\r\n1500,10.2\r\n1600,11.5\r\n";

// The example without the records of the given frequencies.
std::string exampleWithout(std::initializer_list<const char*> records) {
    std::string text = kExample;
    for (const char* record : records) text.erase(text.find(record), std::string(record).size());
    return text;
}

RecordedMessage error(const std::string& text) { return {"Error !", MessageIcon::Error, text}; }

TEST(OpenDialog, StartsInTheLastListsFolderElseTheProgramsWhenWritableElseHome) {
    TempFolder lists;
    FormHarness writable, readOnly;
    readOnly.platform.readOnlyFolders.insert(readOnly.appDir.path().string());
    writable.readFile(std::nullopt);
    readOnly.readFile(std::nullopt);
    EXPECT_EQ(writable.platform.openRequests.back().InitDir, writable.appDir.path().string());
    EXPECT_EQ(readOnly.platform.openRequests.back().InitDir, "/home/user");
    EXPECT_EQ(writable.platform.openRequests.back().Filter,
              "Varidac File (*.inf)|*.inf|Notepad File (*.txt)|*.txt|All files (*.*)|*.*");

    // A refused list does not move it; a list read does, for the rest of the run.
    readOnly.readFile(lists.write("BAD.INF", "700,1\r\n"));
    readOnly.readFile(std::nullopt);
    EXPECT_EQ(readOnly.platform.openRequests.back().InitDir, "/home/user");
    readOnly.readFile(lists.write("EXAMPLE.INF", kExample));
    readOnly.readFile(std::nullopt);
    EXPECT_EQ(readOnly.platform.openRequests.back().InitDir, lists.path().string());
}

TEST(DroppedFiles, OneIsReadAsTheDialogsChoiceSeveralAreNot) {
    TempFolder folder;
    const std::string list = folder.write("EXAMPLE.INF", kExample);
    FormHarness dialog, dropped;
    dialog.setVoltages("1.50", "11.6");
    dropped.setVoltages("1.50", "11.6");
    dialog.readFile(list);
    dropped.form.Form_DragDrop({list});
    EXPECT_EQ(dropped.view.items, dialog.view.items);
    EXPECT_EQ(dropped.state().UvarTable, dialog.state().UvarTable);
    EXPECT_EQ(dropped.state().naamzonderpad, "EXAMPLE.INF");
    EXPECT_EQ(dropped.platform.messages, std::vector<RecordedMessage>{kEndVoltage});
    EXPECT_EQ(dropped.platform.messages, dialog.platform.messages);
    EXPECT_TRUE(dropped.platform.openRequests.empty());

    FormHarness several;
    several.form.Form_DragDrop({list, folder.write("OTHER.INF", kExample), list});
    EXPECT_EQ(several.platform.messages,
              std::vector<RecordedMessage>{error("Something is wrong!  \rDrop one INF file at a time  \r"
                                                 "3 files were dropped, none was read  \r")});
    EXPECT_EQ(several.state().naamzonderpad, "DUMMY_515ZE.INF");
    EXPECT_TRUE(several.view.items.empty());

    FormHarness badPath;
    badPath.form.Form_DragDrop({"a.in"});
    ASSERT_EQ(badPath.platform.messages.size(), 1u);
    EXPECT_EQ(badPath.platform.messages[0].text,
              "Something is wrong!  \rI don't like what you did !  \rNo empty parameters allowed !  \r");
}

TEST(ListWithGaps, RefusedBeforeAnyListElseReadWithTheKeptValuesNamed) {
    TempFolder folder;
    FormHarness h;
    const std::string gaps = folder.write("GAPS.INF", exampleWithout({"800,3.2\r\n", "900,3.9\r\n"}));
    h.readFile(gaps);
    EXPECT_EQ(h.platform.messages, std::vector<RecordedMessage>{error(
                                       "Something is wrong!  \rThe INF input file could not be read  \rNo record for 800, 900 kHz  \r")});
    EXPECT_EQ(h.state().naamzonderpad, "DUMMY_515ZE.INF");
    EXPECT_EQ(h.state().UvarTable[7], 0);
    EXPECT_TRUE(h.view.items.empty());
    h.form.Form_DragDrop({gaps});
    EXPECT_EQ(h.platform.messages.size(), 2u) << "a dropped list is refused alike";

    // A first list, then one that lacks 800 (and sets 1600 so that the end
    // voltage is too close), then one that lacks 800 and 900.
    h.platform.messages.clear();
    h.readFile(folder.write("FIRST.INF", kExample));
    std::string second = exampleWithout({"800,3.2\r\n"});
    second.replace(second.find("1600,11.5"), 9, "1600,11.9");
    h.readFile(folder.write("SECOND.INF", second));
    h.readFile(folder.write("THIRD.INF", exampleWithout({"800,3.2\r\n", "900,3.9\r\n"}).replace(0, 7, "600,2.2")));
    EXPECT_EQ(h.state().naamzonderpad, "THIRD.INF");
    EXPECT_EQ(h.state().UvarTable[6], 2.2);
    EXPECT_EQ(h.state().UvarTable[8], 3.2);
    EXPECT_EQ(h.state().UvarTable[16], 11.5);
    EXPECT_EQ(h.view.items[3], "  800 ,  3.2");
    EXPECT_EQ(h.platform.messages,
              (std::vector<RecordedMessage>{
                  kEndVoltage,
                  error("Something is wrong!  \rSECOND.INF has no record for 800 kHz  \r800 kHz keeps the value of FIRST.INF  \r"
                        "Correct the INF file and reload  \r"),
                  error("Something is wrong!  \rTHIRD.INF has no record for 800, 900 kHz  \r"
                        "800 kHz keeps the value of FIRST.INF  \r900 kHz keeps the value of SECOND.INF  \r"
                        "Correct the INF file and reload  \r"),
              }));
}

// ASCII text as Notepad's "Unicode" saves it: UTF-16 little endian with its mark.
std::string notepadUnicode(const std::string& ascii) {
    std::string bytes = "\xFF\xFE";
    for (char c : ascii) bytes += {c, '\0'};
    return bytes;
}

TEST(ListWithGaps, TheKeptValuesNameTheirListsAsTheyAreSpelled) {
    TempFolder folder;
    // Named in UTF-8, as the dialog gives a name on every system.
    auto write = [&](const std::string& name, const std::string& bytes) {
        const std::string path = joinPath(utf8FromPath(folder.path()), name);
        std::ofstream(pathFromUtf8(path), std::ios::binary) << bytes;
        return path;
    };
    FormHarness h;
    const std::string first = "Empf\xC3\xA4nger.INF";
    const std::string second = "Zweite Empf\xC3\xA4nger Liste.INF";
    h.readFile(write(first, notepadUnicode(kExample)));
    h.readFile(write(second, notepadUnicode(exampleWithout({"800,3.2\r\n"}))));
    EXPECT_EQ(h.state().naamzonderpad, second);
    EXPECT_EQ(h.state().UvarTable[8], 3.2);
    EXPECT_EQ(h.platform.messages,
              std::vector<RecordedMessage>{error("Something is wrong!  \r" + second + " has no record for 800 kHz  \r800 kHz keeps the value of " +
                                                 first + "  \rCorrect the INF file and reload  \r")});
}

TEST(TuneList, FirstAndLastRowsFollowTheVoltagesAsTypedOnceAListWasRead) {
    FormHarness h;
    h.view.type(TextBox::txtStartVoltage, "5");
    EXPECT_TRUE(h.view.items.empty());
    TempFolder folder;
    h.readFile(folder.write("EXAMPLE.INF", kExample));
    h.platform.messages.clear();
    h.view.type(TextBox::txtStartVoltage, "\b\b");
    h.view.type(TextBox::txtEndVoltage, "\b\b\b3.");
    ASSERT_EQ(h.view.items.size(), 13u);
    EXPECT_EQ(h.view.items.front(), "  500 ,  1.5");
    EXPECT_EQ(h.view.items[1], "  600 ,  2.1");
    EXPECT_EQ(h.view.items.back(), "  1700 ,  123.");
    EXPECT_TRUE(h.platform.messages.empty()) << "typing warns of nothing";
}

}  // namespace
}  // namespace varidac::testing
