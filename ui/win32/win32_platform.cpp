#include "ui/win32/win32_platform.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <stdexcept>

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

void Win32Platform::showMessage(const std::string& title, MessageIcon icon, const std::string& text) {
    UINT style = MB_OK | MB_SYSTEMMODAL | (icon == MessageIcon::Error ? MB_ICONERROR : MB_ICONINFORMATION);
    MessageBoxW(owner_, messageBoxText(text).c_str(), wide(title).c_str(), style);
}

std::optional<std::string> Win32Platform::showOpen(const FileDialogRequest& request) {
    const std::wstring title = wide(request.DialogTitle);
    const std::wstring filter = dialogFilter(request.Filter);
    const std::wstring folder = wide(request.InitDir);
    // The name it offers, with room for the longest path the system knows.
    std::wstring file = wide(request.FileName);
    file.resize(32768, L'\0');

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner_;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrInitialDir = folder.c_str();
    dialog.lpstrTitle = title.c_str();
    // A cancel and a failing dialog alike end Read File without a word.
    static const auto openDialog = laterLoaded<decltype(&GetOpenFileNameW)>(L"comdlg32.dll", "GetOpenFileNameW");
    if (!openDialog || !openDialog(&dialog)) return std::nullopt;
    return utf8(file.c_str());
}

// The guide is HTML under its historic name: the browser that every
// Windows has shows it, from a copy named as HTML.
void Win32Platform::showHelp(const HelpRequest& request) {
    if (request.HelpCommand != kHelpForceFile) throw std::runtime_error("help command not supported");
    wchar_t folder[MAX_PATH + 1] = {};
    if (GetTempPathW(MAX_PATH + 1, folder) == 0) throw std::runtime_error("no folder for the guide");
    const std::wstring copy = std::wstring(folder) + L"VARIDAC user's guide.html";
    if (!CopyFileW(wide(request.HelpFile).c_str(), copy.c_str(), FALSE)) throw std::runtime_error("cannot copy the guide");
    static const auto shellExecute = laterLoaded<decltype(&ShellExecuteW)>(L"shell32.dll", "ShellExecuteW");
    if (!shellExecute) throw std::runtime_error("no program shows the guide");
    auto opened = reinterpret_cast<INT_PTR>(shellExecute(owner_, L"open", copy.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (opened <= 32) throw std::runtime_error("no program shows the guide");
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
