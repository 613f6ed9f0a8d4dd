// File dialogs and message boxes: the system's common dialogs, which take a full path typed
// into their name field and Return as every Windows program's do.
#include "toolkit/win32/internal.h"
#include "toolkit/hooks.h"

#include <commdlg.h>

#include "messages/geoid.h"
#include "messages/messages.h"
#include "textio/files.h"

namespace toolkit {

using namespace detail;

namespace {

// "description|pattern|..." as the common dialogs want it: pairs ended by NULs, two at the end.
std::wstring filters(const std::string& filter)
{
    std::wstring out;
    std::size_t start = 0;
    std::vector<std::string> parts;
    for (std::size_t bar; (bar = filter.find('|', start)) != std::string::npos; start = bar + 1)
        parts.push_back(filter.substr(start, bar - start));
    for (std::size_t k = 0; k + 1 < parts.size(); k += 2) {
        if (parts[k].empty()) continue;
        out += wide(parts[k]);
        out.push_back(L'\0');
        out += wide(parts[k + 1].empty() ? std::string("*.*") : parts[k + 1]);
        out.push_back(L'\0');
    }
    out.push_back(L'\0');
    return out;
}

bool exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring folder_of(const std::wstring& path)
{
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

}  // namespace

void wselectfile2(const std::string& filter, int flags, std::string& path, const std::string& title, const std::string& folder)
{
    State& s = st();
    s.file_dialog_ok = 0;
    if (answering()) {
        const std::string chosen = answer({testing::Modal::Kind::FileDialog, 0, 0, title, folder});
        if (chosen.empty()) return;
        path = chosen;
        s.file_dialog_ok = 1;
        if (flags & kDirChange) SetCurrentDirectoryW(folder_of(wide(chosen)).c_str());
        return;
    }
    const bool load = (flags & kSaveDialog) == 0;
    const bool prompt = (flags & kPromptOn) != 0;
    const std::wstring kinds = filters(filter);
    const std::wstring caption = wide(title);
    std::wstring start = wide(folder.empty() ? textio::current_directory() : folder);
    std::wstring name(32768, L'\0');
    for (;;) {
        OPENFILENAMEW ofn{};
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = modal_owner();
        ofn.lpstrFilter = kinds.c_str();
        ofn.nFilterIndex = 1;
        ofn.lpstrFile = name.data();
        ofn.nMaxFile = static_cast<DWORD>(name.size());
        ofn.lpstrInitialDir = start.c_str();
        ofn.lpstrTitle = caption.c_str();
        ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_ENABLESIZING;
        if (load && !prompt) ofn.Flags |= OFN_FILEMUSTEXIST;
        if (!load && prompt) ofn.Flags |= OFN_OVERWRITEPROMPT;
        const BOOL ok = load ? GetOpenFileNameW(&ofn) : GetSaveFileNameW(&ofn);
        if (!ok) return;
        const std::wstring chosen(name.c_str());
        // An input that does not exist (yet) is taken only when the user says so.
        if (load && prompt && !exists(chosen)) {
            const std::size_t slash = chosen.find_last_of(L"\\/");
            const std::string text = messages::fill(messages::geoid::kNoSuchFile,
                                                    {narrow(slash == std::wstring::npos ? chosen : chosen.substr(slash + 1))});
            if (MessageBoxW(modal_owner(), control_text(text).c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES) {
                start = folder_of(chosen);
                continue;
            }
        }
        path = narrow(chosen);
        s.file_dialog_ok = 1;
        if (flags & kDirChange) SetCurrentDirectoryW(folder_of(chosen).c_str());
        return;
    }
}

int winfodialog(int item)
{
    return item == 4 ? st().file_dialog_ok : 0;
}

void wmessagebox(int, int, int, const std::string& text, const std::string& title)
{
    if (answering()) {
        answer({testing::Modal::Kind::Message, 0, 0, title, text});
        return;
    }
    MessageBoxW(modal_owner(), control_text(text).c_str(), wide(title).c_str(), MB_OK | MB_ICONINFORMATION);
}

}  // namespace toolkit
