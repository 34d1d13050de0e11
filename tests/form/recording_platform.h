#pragma once
// A platform that answers the dialogs from a script and writes down every
// message box, dialog, help request, beep and end of the program.
#include <deque>
#include <optional>
#include <set>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "ui/platform.h"

namespace varidac::testing {

struct RecordedMessage {
    std::string title;
    MessageIcon icon;
    std::string text;
    bool operator==(const RecordedMessage&) const = default;
};

// Failure output with the carriage returns made visible.
inline void PrintTo(const RecordedMessage& m, std::ostream* out) {
    *out << "{\"" << m.title << "\", " << (m.icon == MessageIcon::Error ? "Error" : "Information") << ", \"";
    for (char c : m.text) {
        if (c == '\r') {
            *out << "\\r";
        } else {
            *out << c;
        }
    }
    *out << "\"}";
}

class RecordingPlatform : public Platform {
public:
    void showMessage(const std::string& title, MessageIcon icon, const std::string& text) override {
        messages.push_back({title, icon, text});
        log.push_back("message:" + title);
    }

    std::optional<std::string> showOpen(const FileDialogRequest& request) override {
        openRequests.push_back(request);
        log.push_back("open");
        if (openAnswers.empty()) return std::nullopt;
        std::optional<std::string> answer = openAnswers.front();
        openAnswers.pop_front();
        return answer;
    }

    std::optional<std::string> showSave(const FileDialogRequest& request) override {
        saveRequests.push_back(request);
        log.push_back("save");
        if (saveAnswers.empty()) return std::nullopt;
        std::optional<std::string> answer = saveAnswers.front();
        saveAnswers.pop_front();
        return answer;
    }

    Answer askYesNoCancel(const std::string& title, const std::string& question) override {
        questions.push_back(title + ": " + question);
        log.push_back("ask");
        if (answers.empty()) return Answer::Cancel;
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    void showHelp(const HelpRequest& request) override {
        helpRequests.push_back(request);
        log.push_back("help");
        if (helpFails) throw std::runtime_error("the viewer could not be started");
    }

    void beep() override {
        ++beeps;
        log.push_back("beep");
    }

    void endProgram() override {
        ++endRequests;
        log.push_back("end");
    }

    bool canWriteIn(const std::string& folder) override { return !readOnlyFolders.contains(folder); }

    std::string userFolder() override { return "/home/user"; }

    // Answers of the file-open dialog, in turn; nothing left means Cancel.
    std::deque<std::optional<std::string>> openAnswers;
    // Answers of the file-save dialog and of the Yes/No/Cancel questions, in
    // turn; nothing left means Cancel.
    std::deque<std::optional<std::string>> saveAnswers;
    std::deque<Answer> answers;
    bool helpFails = false;
    std::set<std::string> readOnlyFolders;

    std::vector<RecordedMessage> messages;
    std::vector<FileDialogRequest> openRequests;
    std::vector<FileDialogRequest> saveRequests;
    std::vector<std::string> questions;  // "title: question"
    std::vector<HelpRequest> helpRequests;
    int beeps = 0;
    int endRequests = 0;
    std::vector<std::string> log;
};

}  // namespace varidac::testing
