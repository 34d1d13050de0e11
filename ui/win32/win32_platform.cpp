#include "ui/win32/win32_platform.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <stdexcept>
#include <vector>

#include "os/wide_text.h"
#include "ui/win32/later_loaded.h"

namespace varidac::win32 {

using os::utf8;
using os::wide;

std::wstring messageBoxText(const std::string& text) {
    std::wstring lines = wide(text);
    if (!lines.empty() && lines.back() == L'\r') lines.pop_back();
    std::wstring shown;
    for (wchar_t c : lines) {
        if (c == L'\r') {
            shown += L"\r\n";
        } else {
            shown += c;
        }
    }
    return shown;
}

std::wstring dialogFilter(const std::string& filter) {
    std::wstring parts = wide(filter);
    for (wchar_t& c : parts) {
        if (c == L'|') c = L'\0';
    }
    parts += L'\0';
    parts += L'\0';
    return parts;
}

namespace {

// A dialog disables the window that owns it; the program's other windows
// wait for it too, so that no second command starts while it asks.
class OtherWindowsWait {
public:
    explicit OtherWindowsWait(HWND owner) : owner_(owner) { EnumThreadWindows(GetCurrentThreadId(), disable, reinterpret_cast<LPARAM>(this)); }
    ~OtherWindowsWait() {
        for (HWND window : disabled_) EnableWindow(window, TRUE);
    }
    OtherWindowsWait(const OtherWindowsWait&) = delete;
    OtherWindowsWait& operator=(const OtherWindowsWait&) = delete;

private:
    static BOOL CALLBACK disable(HWND window, LPARAM self) {
        auto& wait = *reinterpret_cast<OtherWindowsWait*>(self);
        const bool captioned = (GetWindowLongW(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
        if (window != wait.owner_ && captioned && IsWindowVisible(window) && IsWindowEnabled(window)) {
            EnableWindow(window, FALSE);
            wait.disabled_.push_back(window);
        }
        return TRUE;
    }

    HWND owner_;
    std::vector<HWND> disabled_;
};

}  // namespace

HWND Win32Platform::dialogOwner() const {
    HWND active = GetActiveWindow();
    return active ? active : owner_;
}

void Win32Platform::showMessage(const std::string& title, MessageIcon icon, const std::string& text) {
    UINT style = MB_OK | MB_SYSTEMMODAL | (icon == MessageIcon::Error ? MB_ICONERROR : MB_ICONINFORMATION);
    const HWND owner = dialogOwner();
    OtherWindowsWait wait(owner);
    MessageBoxW(owner, messageBoxText(text).c_str(), wide(title).c_str(), style);
}

namespace {

// The dialog's fields as the request set them, and room for the longest
// path the system knows in the name it offers and returns.
struct FileDialog {
    std::wstring title, filter, folder, extension, file;
    OPENFILENAMEW dialog{};

    FileDialog(const FileDialogRequest& request, HWND owner, DWORD flags)
        : title(wide(request.DialogTitle)),
          filter(dialogFilter(request.Filter)),
          folder(wide(request.InitDir)),
          extension(wide(request.DefaultExt)),
          file(wide(request.FileName)) {
        file.resize(32768, L'\0');
        dialog.lStructSize = sizeof dialog;
        dialog.hwndOwner = owner;
        dialog.lpstrFilter = filter.c_str();
        dialog.lpstrFile = file.data();
        dialog.nMaxFile = static_cast<DWORD>(file.size());
        dialog.lpstrInitialDir = folder.c_str();
        dialog.lpstrTitle = title.c_str();
        dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
        dialog.Flags = flags;
    }
    FileDialog(const FileDialog&) = delete;
    FileDialog& operator=(const FileDialog&) = delete;

    // A cancel and a failing dialog alike give nothing.
    std::optional<std::string> run(BOOL(WINAPI* show)(OPENFILENAMEW*)) {
        if (!show || !show(&dialog)) return std::nullopt;
        return utf8(file.c_str());
    }
};

}  // namespace

std::optional<std::string> Win32Platform::showOpen(const FileDialogRequest& request) {
    static const auto openDialog = laterLoaded<decltype(&GetOpenFileNameW)>(L"comdlg32.dll", "GetOpenFileNameW");
    FileDialog dialog(request, dialogOwner(), 0);
    OtherWindowsWait wait(dialog.dialog.hwndOwner);
    return dialog.run(openDialog);
}

std::optional<std::string> Win32Platform::showSave(const FileDialogRequest& request) {
    static const auto saveDialog = laterLoaded<decltype(&GetSaveFileNameW)>(L"comdlg32.dll", "GetSaveFileNameW");
    // The dialog asks before a file is replaced, and starts in the same
    // folder every time: the program's own working folder stays.
    FileDialog dialog(request, dialogOwner(), OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_EXPLORER);
    OtherWindowsWait wait(dialog.dialog.hwndOwner);
    return dialog.run(saveDialog);
}

Answer Win32Platform::askYesNoCancel(const std::string& title, const std::string& question) {
    const HWND owner = dialogOwner();
    OtherWindowsWait wait(owner);
    switch (MessageBoxW(owner, messageBoxText(question).c_str(), wide(title).c_str(), MB_YESNOCANCEL | MB_ICONQUESTION)) {
        case IDYES:
            return Answer::Yes;
        case IDNO:
            return Answer::No;
        default:
            return Answer::Cancel;
    }
}

namespace {

// The folder of the user's own copy of the guide, made if it is missing:
// one copy per user, replaced each time, where the uninstaller finds it.
std::wstring guideFolder() {
    static const auto folderPath = laterLoaded<decltype(&SHGetFolderPathW)>(L"shell32.dll", "SHGetFolderPathW");
    wchar_t local[MAX_PATH + 1] = {};
    if (!folderPath || folderPath(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, local) != S_OK) {
        throw std::runtime_error("no folder for the guide");
    }
    std::wstring folder = std::wstring(local) + L"\\" + wide(kGuideFolderName);
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        throw std::runtime_error("no folder for the guide");
    }
    return folder;
}

// Whether some program opens HTML. Where none does, ShellExecuteW may still
// report success (Wine's winebrowser starts and finds no browser), so the
// user would see nothing at all.
bool htmlHasAProgram() {
    static const auto queryAssociation = laterLoaded<decltype(&AssocQueryStringW)>(L"shlwapi.dll", "AssocQueryStringW");
    if (!queryAssociation) return false;
    wchar_t program[MAX_PATH + 1] = {};
    DWORD length = MAX_PATH + 1;
    return queryAssociation(0, ASSOCSTR_EXECUTABLE, L".html", L"open", program, &length) == S_OK && program[0] != L'\0';
}

}  // namespace

// The guide is HTML under its historic name: the browser shows it, from a
// copy named as HTML. Whatever keeps it from showing throws, so that the
// form tells the user as it does of a missing guide.
void Win32Platform::showHelp(const HelpRequest& request) {
    if (request.HelpCommand != kHelpForceFile) throw std::runtime_error("help command not supported");
    if (!htmlHasAProgram()) throw std::runtime_error("no program shows the guide");
    const std::wstring copy = guideFolder() + L"\\" + wide(kGuideCopyName);
    if (!CopyFileW(wide(request.HelpFile).c_str(), copy.c_str(), FALSE)) throw std::runtime_error("cannot copy the guide");
    static const auto shellExecute = laterLoaded<decltype(&ShellExecuteExW)>(L"shell32.dll", "ShellExecuteExW");
    if (!shellExecute) throw std::runtime_error("no program shows the guide");
    SHELLEXECUTEINFOW shown{};
    shown.cbSize = sizeof shown;
    shown.fMask = SEE_MASK_NOCLOSEPROCESS;
    shown.hwnd = owner_;
    shown.lpVerb = L"open";
    shown.lpFile = copy.c_str();
    shown.nShow = SW_SHOWNORMAL;
    // An application "handle" of 32 or less is the shell's error number.
    if (!shellExecute(&shown) || reinterpret_cast<INT_PTR>(shown.hInstApp) <= 32) throw std::runtime_error("no program shows the guide");
    if (!shown.hProcess) return;
    // A program that ends at once with a failure has shown nothing: Wine's
    // winebrowser, where the system has no browser, ends so within a fifth
    // of a second. A browser that stays, or hands the page to one already
    // open and ends well, passes.
    DWORD status = 0;
    const bool failed = WaitForSingleObject(shown.hProcess, 1000) == WAIT_OBJECT_0 && GetExitCodeProcess(shown.hProcess, &status) &&
                        status != 0;
    CloseHandle(shown.hProcess);
    if (failed) throw std::runtime_error("no program shows the guide");
}

void Win32Platform::beep() { MessageBeep(MB_OK); }

void Win32Platform::endProgram() { PostQuitMessage(0); }

// Asked of the system by making a file there: a folder's rights say more
// than its attributes.
bool Win32Platform::canWriteIn(const std::string& folder) {
    wchar_t probe[MAX_PATH + 1] = {};
    if (GetTempFileNameW(wide(folder).c_str(), L"vdc", 0, probe) == 0) return false;
    DeleteFileW(probe);
    return true;
}

std::string Win32Platform::userFolder() {
    static const auto folderPath = laterLoaded<decltype(&SHGetFolderPathW)>(L"shell32.dll", "SHGetFolderPathW");
    wchar_t folder[MAX_PATH + 1] = {};
    if (!folderPath || folderPath(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, folder) != S_OK) return {};
    return utf8(folder);
}

}  // namespace varidac::win32
