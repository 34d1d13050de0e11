// Saving the curve window's points as a list: the text written, what a list
// saved over keeps, the refusals, the question before unsaved points are
// lost, and random curves that come back from the file as they were typed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <functional>
#include <filesystem>
#include <random>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "core/filler_run.h"
#include "tests/form/editor_harness.h"

namespace varidac::testing {
namespace {

// Types the texts into the fields, from 600 kHz.
void typePoints(EditorHarness& h, const std::array<std::string, kListPoints>& texts) {
    for (int i = 0; i < kListPoints; ++i) h.curve().retype(i, texts[static_cast<std::size_t>(i)]);
}

TEST(SaveList, ANewListAsksForANameWritesTheElevenPointsAndIsReadAsReadFileWould) {
    EditorHarness h;
    h.form.txtDAlist_DblClick();
    typePoints(h, {".75", "2.60", "3.", "3.9", "04.7", "5.6", "6.6", "7.7", "8.9", "10.2", "11.5"});
    EXPECT_EQ(h.curve().title, "Tuning curve - new list *");
    const std::string path = (h.folder.path() / "NEW.INF").string();
    h.platform.saveAnswers.push_back(path);
    h.editor().cmdSave_Click();

    ASSERT_EQ(h.platform.saveRequests.size(), 1u);
    const FileDialogRequest& request = h.platform.saveRequests[0];
    EXPECT_EQ(request.DialogTitle, "Save Varidac *.INF file");
    EXPECT_EQ(request.Filter, "Varidac File (*.inf)|*.inf|Notepad File (*.txt)|*.txt|All files (*.*)|*.*");
    EXPECT_EQ(request.FileName, "");
    EXPECT_EQ(request.InitDir, h.appDir.path().string());
    EXPECT_EQ(request.DefaultExt, "INF");
    EXPECT_EQ(readFile(path), "600,0.75\r\n700,2.6\r\n800,3\r\n900,3.9\r\n1000,4.7\r\n1100,5.6\r\n1200,6.6\r\n"
                              "1300,7.7\r\n1400,8.9\r\n1500,10.2\r\n1600,11.5\r\n");
    // Read as a list: the tune list, the warning about 600 kHz, the fields as the list shows them.
    EXPECT_EQ(h.state().naamzonderpad, "NEW.INF");
    EXPECT_EQ(h.view.items[1], "  600 ,  .75");
    ASSERT_EQ(h.platform.messages.size(), 1u);
    EXPECT_NE(h.platform.messages[0].text.find("StartVoltage"), std::string::npos);
    EXPECT_EQ(h.curve().texts[0], "0.75");
    EXPECT_EQ(h.curve().texts[1], "2.6");
    EXPECT_EQ(h.curve().title, "Tuning curve - NEW.INF");
    EXPECT_EQ(h.editor().listPath(), path);

    // The next save writes there at once; "Save as..." asks, starting at the list.
    h.curve().retype(2, "3.3");
    h.editor().cmdSave_Click();
    EXPECT_EQ(h.platform.saveRequests.size(), 1u);
    EXPECT_NE(readFile(path).find("800,3.3\r\n"), std::string::npos);
    h.editor().cmdSaveAs_Click();
    ASSERT_EQ(h.platform.saveRequests.size(), 2u);
    EXPECT_EQ(h.platform.saveRequests[1].FileName, "NEW.INF");
    EXPECT_EQ(h.platform.saveRequests[1].InitDir, h.folder.path().string());
}

TEST(SaveList, EmptyOrUnfinishedPointsAreNamedAndNothingIsWritten) {
    struct Case {
        std::vector<std::pair<int, std::string>> typed;  // over the example list
        std::string named;
    };
    const Case cases[] = {
        {{{2, ""}, {3, ""}}, "800, 900"},
        {{{0, "."}}, "600"},
        {{{10, ""}, {0, ""}, {5, "."}}, "600, 1100, 1600"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.named);
        EditorHarness h;
        h.openWithList();
        for (const auto& [point, text] : c.typed) h.curve().retype(point, text);
        int16_t key = kKeyS;
        h.editor().txtPoint_KeyDown(4, key, kCtrlMask | kShiftMask);
        h.editor().cmdSave_Click();
        const RecordedMessage refused{"Error !", MessageIcon::Error,
                                      "Something is wrong!  \rNo voltage for " + c.named + " kHz  \rThe list is not saved  \r"};
        EXPECT_EQ(h.platform.messages, (std::vector<RecordedMessage>{refused, refused}));
        EXPECT_TRUE(h.platform.saveRequests.empty());
        EXPECT_EQ(readFile(h.listPath), kExampleText);
        EXPECT_TRUE(h.editor().hasUnsavedChanges());
    }
}

TEST(SaveList, OverAListItKeepsTheOtherRecordsInOrderAndDropsARepeatedPoint) {
    EditorHarness h;
    // 700 kHz twice: the later record is the one the list means.
    h.openWithList("600,2.1\r\n650,2.35\r\n700,2.6\r\n800,3.2\r\n700, 2.7 \r\n900,3.9\r\n1000,4.7\r\n1100,5.6\r\n"
                   "1200,6.6\r\n1300,7.7\r\n1400,8.9\r\n1500,10.2\r\n1550, 11\r\n1600,11.5\r\n");
    EXPECT_EQ(h.curve().texts[1], "2.7");
    h.curve().retype(1, "2.65");
    h.editor().cmdSave_Click();
    EXPECT_EQ(readFile(h.listPath), "600,2.1\r\n650,2.35\r\n700,2.65\r\n800,3.2\r\n900,3.9\r\n1000,4.7\r\n1100,5.6\r\n"
                                    "1200,6.6\r\n1300,7.7\r\n1400,8.9\r\n1500,10.2\r\n1550,11\r\n1600,11.5\r\n");
    EXPECT_TRUE(h.platform.messages.empty());
}

TEST(SaveList, ShortcutsSaveOrAskForANameAndAltGrIsNoShortcut) {
    struct Case {
        int16_t shift;
        bool saves, asks;
    };
    const Case cases[] = {
        {kCtrlMask, true, false},
        {kCtrlMask | kShiftMask, false, true},  // the dialog is cancelled
        {kCtrlMask | 4, false, false},
        {0, false, false},
    };
    for (bool inField : {true, false}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::to_string(c.shift) + (inField ? " in a field" : " in the window"));
            EditorHarness h;
            h.openWithList();
            h.curve().retype(1, "2.65");
            int16_t key = kKeyS;
            if (inField) {
                h.keyDown(1, key, c.shift);
            } else {
                h.editor().CurveWindow_KeyDown(key, c.shift);
            }
            EXPECT_EQ(key, c.saves || c.asks ? 0 : kKeyS);
            EXPECT_EQ(readFile(h.listPath) != kExampleText, c.saves);
            EXPECT_EQ(h.platform.saveRequests.size(), c.asks ? 1u : 0u);
        }
    }
}

TEST(SaveList, AFailedWriteOrACancelledDialogLeavesThePointsUnsaved) {
    EditorHarness h;
    h.form.txtDAlist_DblClick();
    typePoints(h, {"2.1", "2.6", "3.2", "3.9", "4.7", "5.6", "6.6", "7.7", "8.9", "10.2", "11.5"});
    h.editor().cmdSave_Click();  // no answer: cancelled
    const std::string missing = (h.folder.path() / "gone" / "NEW.INF").string();
    h.platform.saveAnswers.push_back(missing);
    h.editor().cmdSaveAs_Click();
    EXPECT_EQ(h.platform.saveRequests.size(), 2u);
    ASSERT_EQ(h.platform.messages.size(), 1u);
    EXPECT_EQ(h.platform.messages[0].text, cannotWriteMessage(missing, ENOENT).text());
    EXPECT_FALSE(h.editor().listPath());
    EXPECT_EQ(h.curve().title, "Tuning curve - new list *");
    EXPECT_EQ(h.state().naamzonderpad, "DUMMY_515ZE.INF");
}

#ifndef _WIN32
// What a hostile or careless choice in the save dialog can name: none of it
// is opened for reading (a FIFO would hang the window), written through or
// replaced, and the points stay unsaved.
TEST(SaveList, AFolderAFifoOrALinkAsTargetIsRefusedAndLeftAsItWas) {
    EditorHarness h;
    h.form.txtDAlist_DblClick();
    typePoints(h, {"2.1", "2.6", "3.2", "3.9", "4.7", "5.6", "6.6", "7.7", "8.9", "10.2", "11.5"});
    const std::filesystem::path folder = h.folder.path() / "FOLDER.INF";
    const std::filesystem::path fifo = h.folder.path() / "FIFO.INF";
    const std::filesystem::path kept = h.folder.path() / "KEPT.INF";
    const std::filesystem::path link = h.folder.path() / "LINK.INF";
    std::filesystem::create_directory(folder);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    { std::FILE* f = std::fopen(kept.c_str(), "wb"); ASSERT_NE(f, nullptr); std::fputs("600,1\r\n", f); std::fclose(f); }
    std::filesystem::create_symlink(kept, link);
    for (const std::filesystem::path& target : {folder, fifo, link}) {
        SCOPED_TRACE(target.string());
        h.platform.messages.clear();
        h.platform.saveAnswers.push_back(target.string());
        h.editor().cmdSaveAs_Click();
        ASSERT_EQ(h.platform.messages.size(), 1u);
        EXPECT_EQ(h.platform.messages[0].title, kErrorTitle);
        EXPECT_FALSE(h.editor().listPath());
        EXPECT_EQ(h.curve().title, "Tuning curve - new list *");
    }
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(std::filesystem::status(fifo).type(), std::filesystem::file_type::fifo);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    std::FILE* f = std::fopen(kept.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    char bytes[16] = {};
    const std::size_t n = std::fread(bytes, 1, sizeof bytes, f);
    std::fclose(f);
    EXPECT_EQ(std::string(bytes, n), "600,1\r\n");
    EXPECT_EQ(h.state().naamzonderpad, "DUMMY_515ZE.INF");
}
#endif

// Each way of losing the typed points, with each answer to the question.
TEST(UnsavedPoints, EveryWayOutAsksAndYesSavesNoDiscardsCancelStays) {
    struct Action {
        const char* name;
        std::function<void(EditorHarness&)> run;
        std::function<bool(EditorHarness&)> done;
    };
    const auto readOther = [](EditorHarness& h) { return h.state().naamzonderpad == "OTHER.INF"; };
    const Action actions[] = {
        {"Escape", [](EditorHarness& h) { int16_t k = 27; h.editor().CurveWindow_KeyPress(k); },
         [](EditorHarness& h) { return !h.curve().isOpen && !h.form.curveWindowOpen(); }},
        {"title bar", [](EditorHarness& h) { h.curve().closeFromTitleBar(); },
         [](EditorHarness& h) { return !h.curve().isOpen && !h.form.curveWindowOpen(); }},
        {"New", [](EditorHarness& h) { h.editor().cmdNew_Click(); },
         [](EditorHarness& h) { return h.curve().texts == std::array<std::string, kListPoints>{} && h.curve().title == "Tuning curve - new list"; }},
        {"Exit", [](EditorHarness& h) { h.form.cmdStoppen_Click(); }, [](EditorHarness& h) { return h.platform.endRequests == 1; }},
        {"close button",
         [](EditorHarness& h) {
             int16_t Cancel = 0;
             h.form.Form_QueryUnload(Cancel);
             if (Cancel == 0) h.platform.log.push_back("unloaded");
         },
         [](EditorHarness& h) { return std::count(h.platform.log.begin(), h.platform.log.end(), "unloaded") == 1; }},
        {"Read File", [](EditorHarness& h) { h.readFile((h.folder.path() / "OTHER.INF").string()); }, readOther},
        {"drop", [](EditorHarness& h) { h.form.Form_DragDrop({(h.folder.path() / "OTHER.INF").string()}); }, readOther},
    };
    const std::string edited = "600,2.1\r\n650,2.35\r\n700,2.7\r\n800,3.2\r\n900,3.9\r\n1000,4.7\r\n1100,5.6\r\n"
                               "1200,6.6\r\n1300,7.7\r\n1400,8.9\r\n1500,10.2\r\n1600,11.5\r\n";
    for (const Action& action : actions) {
        for (std::optional<Answer> answer : {std::optional<Answer>{}, std::optional(Answer::Yes), std::optional(Answer::No),
                                             std::optional(Answer::Cancel)}) {
            SCOPED_TRACE(std::string(action.name) + " " + (answer ? std::to_string(static_cast<int>(*answer)) : "clean"));
            EditorHarness h;
            h.openWithList();
            h.folder.write("OTHER.INF", kExampleText);
            if (answer) {
                h.curve().retype(1, "2.7");
                h.platform.answers.push_back(*answer);
            }
            action.run(h);
            EXPECT_EQ(h.platform.questions,
                      answer ? std::vector<std::string>{"Tuning curve: Save changes to EXAMPLE.INF?"} : std::vector<std::string>{});
            EXPECT_EQ(readFile(h.listPath), answer == Answer::Yes ? edited : kExampleText);
            EXPECT_EQ(action.done(h), answer != Answer::Cancel);
            if (answer == Answer::Cancel) {
                EXPECT_EQ(h.curve().texts[1], "2.7");
                EXPECT_TRUE(h.editor().hasUnsavedChanges());
            }
        }
    }
}

TEST(UnsavedPoints, ANewListIsNamedSoInTheQuestionAndYesAsksWhereToSave) {
    EditorHarness h;
    h.form.txtDAlist_DblClick();
    h.curve().type(0, "2.1");
    h.platform.answers = {Answer::Yes, Answer::Yes};
    int16_t escape = 27;
    h.editor().CurveWindow_KeyPress(escape);  // Yes, but the points are incomplete
    typePoints(h, {"2.1", "2.6", "3.2", "3.9", "4.7", "5.6", "6.6", "7.7", "8.9", "10.2", "11.5"});
    h.editor().CurveWindow_KeyPress(escape);  // Yes, and the dialog is cancelled
    EXPECT_EQ(h.platform.questions, std::vector<std::string>(2, "Tuning curve: Save changes to the new list?"));
    EXPECT_EQ(h.platform.messages.size(), 1u);
    EXPECT_EQ(h.platform.saveRequests.size(), 1u);
    EXPECT_TRUE(h.curve().isOpen);
}

// Random curves typed with up to four decimals, saved and read back: the
// same voltages as the same texts written into a list by hand, and the same
// image from a filler run.
TEST(ListRoundTrip, TypedCurvesComeBackAsAHandWrittenListOfTheSameTexts) {
    std::mt19937 random(1604);
    // Outputs are written, but not forced onto the disk: hundreds of runs.
    FileSystemCalls quick = realFileSystemCalls();
    quick.write = [](std::FILE* file, const std::string& bytes) {
        return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() && std::fflush(file) == 0 ? 0 : -1;
    };
    auto image = [&](const TuningState& read) {
        TuningState state = read;
        const Message result = fillerRun(state, "1.50", "12.00", '.', quick);
        EXPECT_EQ(result.title, "Run OK!") << result.text();
        return state.EpromImage;
    };
    EditorHarness editor;
    editor.form.txtDAlist_DblClick();
    FormHarness byHand;
    byHand.form.Form_Shown();
    const std::string saved = (editor.folder.path() / "CURVE.INF").string();
    for (int n = 0; n < 300; ++n) {
        std::array<std::string, kListPoints> texts;
        std::string list;
        for (int i = 0; i < kListPoints; ++i) {
            // Between the margins of 1.50 and 12.00 V (1600 kHz above 7 V, as a run
            // wants it), in steps of 10^-decimals.
            const int decimals = std::uniform_int_distribution<int>(0, 4)(random);
            int scale = 1;
            for (int d = 0; d < decimals; ++d) scale *= 10;
            const int lowest = (i == kListPoints - 1 ? 701 : 176) * scale / 100 + 1;
            const int count = std::uniform_int_distribution<int>(lowest, 1174 * scale / 100)(random);
            std::string fraction = std::to_string(count % scale + scale).substr(1);
            texts[static_cast<std::size_t>(i)] = std::to_string(count / scale) + (decimals > 0 ? "." + fraction : "");
            list += std::to_string(pointKHz(i)) + "," + texts[static_cast<std::size_t>(i)] + "\r\n";
        }
        SCOPED_TRACE(list);
        editor.editor().cmdNew_Click();
        typePoints(editor, texts);
        editor.platform.saveAnswers.push_back(saved);
        editor.editor().cmdSave_Click();
        ASSERT_EQ(editor.state().naamzonderpad, "CURVE.INF");
        ASSERT_FALSE(editor.editor().hasUnsavedChanges());
        byHand.readFile(editor.folder.write("HAND.INF", list));
        ASSERT_EQ(byHand.state().naamzonderpad, "HAND.INF");
        EXPECT_EQ(editor.state().UvarTable, byHand.state().UvarTable);
        EXPECT_TRUE(image(editor.state()) == image(byHand.state()));
    }
    EXPECT_EQ(editor.platform.questions.size(), 0u);
}

}  // namespace
}  // namespace varidac::testing
