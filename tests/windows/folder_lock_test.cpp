// The folder lock between processes, and the interrupt plan carried out
// when the console interrupts a process: both need a second process, since
// a mutex admits its own thread again and an interrupt ends its process.
#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <future>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "os/os.h"
#include "tests/temp_folder.h"
#include "tests/windows/windows_support.h"
#include "util/file_names.h"

namespace varidac::windows {
namespace {

// seam_child.exe from this program's folder, its standard output on a pipe.
class SeamChild {
public:
    // In a console of its own, without a window.
    explicit SeamChild(const std::vector<std::string>& args) {
        const std::wstring program = wide(joinPath(os::programFolder(), "seam_child.exe"));
        std::wstring commandLine = L"\"" + program + L"\"";
        for (const auto& arg : args) commandLine += L" \"" + wide(arg) + L"\"";
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE write = nullptr;
        if (!CreatePipe(&output_, &write, &inherit, 0)) return;
        SetHandleInformation(output_, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = write;
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        PROCESS_INFORMATION process{};
        if (CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process)) {
            process_ = process.hProcess;
            id_ = process.dwProcessId;
            CloseHandle(process.hThread);
        }
        CloseHandle(write);
    }
    ~SeamChild() {
        if (process_) {
            TerminateProcess(process_, 9);
            WaitForSingleObject(process_, 5000);
            CloseHandle(process_);
        }
        if (output_) CloseHandle(output_);
    }
    SeamChild(const SeamChild&) = delete;
    SeamChild& operator=(const SeamChild&) = delete;

    bool started() const { return process_ != nullptr; }
    DWORD id() const { return id_; }

    // Whether it said "ready" within `ms` milliseconds.
    bool ready(DWORD ms) {
        const ULONGLONG deadline = GetTickCount64() + ms;
        for (;;) {
            if (said_.find("ready") != std::string::npos) return true;
            DWORD waiting = 0;
            if (!PeekNamedPipe(output_, nullptr, 0, nullptr, &waiting, nullptr)) return false;  // it has ended
            if (waiting > 0) {
                char buffer[64];
                DWORD got = 0;
                if (ReadFile(output_, buffer, sizeof buffer, &got, nullptr)) said_.append(buffer, got);
                continue;
            }
            if (GetTickCount64() >= deadline) return false;
            Sleep(10);
        }
    }

    void kill() {
        TerminateProcess(process_, 9);
        WaitForSingleObject(process_, 5000);
    }

    // Its exit status once it has ended within `ms`; STILL_ACTIVE otherwise.
    DWORD status(DWORD ms) {
        DWORD status = STILL_ACTIVE;
        if (WaitForSingleObject(process_, ms) == WAIT_OBJECT_0) GetExitCodeProcess(process_, &status);
        return status;
    }

private:
    HANDLE process_ = nullptr;
    HANDLE output_ = nullptr;
    DWORD id_ = 0;
    std::string said_;
};

// lockFolder on a thread of its own, which keeps the lock until release(),
// as the mutex is its owning thread's to give back.
class LockOnThread {
public:
    explicit LockOnThread(std::string folder)
        : thread_([this, folder] {
              std::intptr_t handle = os::lockFolder(folder);
              taken_.set_value(handle);
              released_.get_future().wait();
              os::unlockFolder(handle);
          }) {}
    ~LockOnThread() {
        if (!gotHandle_ && taken_future_.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
            thread_.detach();  // still waiting: the test has failed, the process ends it
            return;
        }
        released_.set_value();
        thread_.join();
    }

    // The handle once the lock is taken within `ms`; nullopt while it waits.
    std::optional<std::intptr_t> taken(int ms) {
        if (taken_future_.wait_for(std::chrono::milliseconds(ms)) != std::future_status::ready) return std::nullopt;
        gotHandle_ = true;
        return taken_future_.get();
    }

private:
    std::promise<std::intptr_t> taken_;
    std::future<std::intptr_t> taken_future_ = taken_.get_future();
    std::promise<void> released_;
    bool gotHandle_ = false;
    std::thread thread_;
};

class FolderLock : public ::testing::Test {
protected:
    TempFolder folder;
    const std::string dir = utf8FromPath(folder.path());
};

TEST_F(FolderLock, AnotherProcessWaitsUntilTheHolderIsKilled) {
    // Another spelling of the same folder is the same lock.
    std::string spelling = dir + "\\.";
    for (char& c : spelling) c = c == '/' ? '\\' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    SeamChild holder({"lock", dir});
    ASSERT_TRUE(holder.started());
    ASSERT_TRUE(holder.ready(10000));
    LockOnThread waiter(spelling);
    EXPECT_EQ(waiter.taken(500), std::nullopt);
    holder.kill();
    auto handle = waiter.taken(10000);
    ASSERT_TRUE(handle.has_value());
    EXPECT_GE(*handle, 0);
}

TEST_F(FolderLock, AWaitingProcessGetsItOnUnlockAndOtherFoldersAreFree) {
    const std::string other = joinPath(dir, "other");
    CreateDirectoryW(wide(other).c_str(), nullptr);
    std::intptr_t held = os::lockFolder(dir);
    ASSERT_GE(held, 0) << os::errorText(errno);
    SeamChild elsewhere({"lock", other});
    EXPECT_TRUE(elsewhere.ready(10000));
    SeamChild waiting({"lock", dir});
    ASSERT_TRUE(waiting.started());
    EXPECT_FALSE(waiting.ready(500));
    os::unlockFolder(held);
    EXPECT_TRUE(waiting.ready(10000));
}

TEST(FolderLockRefusal, AMissingFolderCannotBeLocked) {
    TempFolder folder;
    errno = 0;
    EXPECT_EQ(os::lockFolder(utf8FromPath(folder.path() / "missing")), -1);
    EXPECT_EQ(errno, ENOENT);
}

// Ctrl+C in the console the child runs in. This process shares that
// console to send it and ignores the event itself meanwhile.
class ConsoleInterrupt {
public:
    explicit ConsoleInterrupt(DWORD processId) {
        for (DWORD which : {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) saved_.push_back(GetStdHandle(which));
        FreeConsole();
        attached_ = AttachConsole(processId) && SetConsoleCtrlHandler(nullptr, TRUE);
    }
    ~ConsoleInterrupt() {
        SetConsoleCtrlHandler(nullptr, FALSE);
        FreeConsole();
        AttachConsole(ATTACH_PARENT_PROCESS);
        const DWORD which[] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
        for (std::size_t i = 0; i < 3; ++i) SetStdHandle(which[i], saved_[i]);
    }
    ConsoleInterrupt(const ConsoleInterrupt&) = delete;
    ConsoleInterrupt& operator=(const ConsoleInterrupt&) = delete;

    bool send() { return attached_ && GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0); }

private:
    std::vector<HANDLE> saved_;
    bool attached_ = false;
};

TEST(InterruptPlan, CtrlCCarriesOutThePlanBeforeTheProcessEnds) {
    TempFolder folder;
    const std::string dir = utf8FromPath(folder.path());
    auto at = [&](const char* name) { return joinPath(dir, name); };
    writeFile(at("T.tmp"), "new");
    writeFile(at("T.BIN"), "earlier");
    writeFile(at("T.old"), "earlier");
    // A rename whose file is gone fails alone; a temporary still open goes too.
    SeamChild child({"plan", at("GONE.tmp"), at("G.BIN"), at("T.tmp"), at("T.BIN"), "--", at("T.old"), "+" + at("W.tmp")});
    ASSERT_TRUE(child.ready(10000));
    EXPECT_TRUE(namesIn(dir).count("W.tmp"));
    {
        ConsoleInterrupt interrupt(child.id());
        ASSERT_TRUE(interrupt.send()) << GetLastError();
        EXPECT_NE(child.status(10000), STILL_ACTIVE);
    }
    EXPECT_EQ(readFile(at("T.BIN")), "new");
    EXPECT_EQ(namesIn(dir), std::set<std::string>{"T.BIN"});
}

}  // namespace
}  // namespace varidac::windows
